// The player's one state record and the entry points of its logic.
#pragma once

#include "platform/win32.h"

// The child controls in layout-table order; row n of the table fills slot n.
enum ControlSlot : int {
    StatusLine,
    TimeLabel,
    PositionBar,
    BackButton,
    PlayButton,
    PauseButton,
    StopButton,
    NextButton,
    VolumeLabel,
    VolumeBar,
    TrackList,
    ControlSlotCount
};

// Control ids as given to the window system; the status line and the labels have 0.
constexpr int ID_BACK = 101;
constexpr int ID_PLAY = 102;
constexpr int ID_PAUSE = 103;
constexpr int ID_STOP = 104;
constexpr int ID_NEXT = 105;
constexpr int ID_VOLUME_BAR = 106;
constexpr int ID_TRACK_LIST = 200;
constexpr int ID_POSITION_BAR = 201;

constexpr UINT_PTR POLL_TIMER_ID = 1;

// Buffer capacities in UTF-16 units, terminator included. A folder of at most 1023
// units, a backslash and a name of at most 259 stay below the path's 1600, and the open
// command around such a path below the command's 1800.
constexpr int MODULE_DIRECTORY_CAPACITY = 1024; // also what GetModuleFileNameW may fill
constexpr int SEARCH_PATTERN_CAPACITY = 1100;
constexpr int SELECTED_NAME_CAPACITY = 520;
constexpr int FULL_PATH_CAPACITY = 1600;
constexpr int COMMAND_TEXT_CAPACITY = 1800;
constexpr int REPLY_TEXT_CAPACITY = 64;  // passed with every MCI query
constexpr int ERROR_TEXT_CAPACITY = 256; // passed to mciGetErrorStringW
constexpr int NUMBER_TEXT_CAPACITY = 11; // ten digits of a 32-bit value and the terminator
constexpr int SEEK_DIGITS_CAPACITY = 32;
constexpr int TIME_LABEL_CAPACITY = 32;
constexpr int VOLUME_LABEL_CAPACITY = 64;

constexpr int INITIAL_VOLUME_PERCENT = 30;

// Every field starts at zero but the volume, which the entry point sets first: a record
// that is all zeros stays out of the executable's file (it lands in .bss).
struct PlayerState {
    HWND mainWindow;
    HFONT uiFont;
    HWND controls[ControlSlotCount];

    // winmm's two functions, taken at start from the system folder's winmm (LoadWinmm);
    // both null when either could not be had, and then every MCI command fails.
    decltype(&mciSendStringW) mciSendString;
    decltype(&mciGetErrorStringW) mciGetErrorString;

    BYTE isOpen;   // a track is open on the alias "song"
    BYTE isPaused; // the open track was paused by the Pause command
    // 1 when the open track changed while the position bar held the mouse, until that
    // gesture ends: the rest of it belongs to the track that was closed.
    BYTE isGestureVoid;
    DWORD lengthMs;
    DWORD positionMs;
    DWORD seekTargetMs;
    int volumePercent;

    WCHAR moduleDirectory[MODULE_DIRECTORY_CAPACITY];
    WCHAR searchPattern[SEARCH_PATTERN_CAPACITY];
    WCHAR selectedName[SELECTED_NAME_CAPACITY];
    WCHAR fullPath[FULL_PATH_CAPACITY];
    WCHAR commandText[COMMAND_TEXT_CAPACITY];
    WCHAR replyText[REPLY_TEXT_CAPACITY];
    WCHAR errorText[ERROR_TEXT_CAPACITY];
    WCHAR numberText[NUMBER_TEXT_CAPACITY];
    WCHAR seekDigits[SEEK_DIGITS_CAPACITY];
    WCHAR timeLabelText[TIME_LABEL_CAPACITY];
    WCHAR volumeLabelText[VOLUME_LABEL_CAPACITY];
};

// The one player. Zero-initialised: there is no C runtime to run constructors.
extern PlayerState player;

void ShowStatus(LPCWSTR text);
LRESULT OnCommand(WPARAM wParam);
LRESULT OnMediaNotify(WPARAM wParam);

// Track list: the list box is the only store of the names and of the selection.
BOOL GetModuleDirectory();
void ScanFolder();
void ShowSelected();
void StepNext();
void StepPrevious();

// Playback control.
void PlaySelected();
void PlayOrResume();
void PauseTrack();
void StopTrack();

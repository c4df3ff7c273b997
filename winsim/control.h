// The test-facing side of winsim: arrange a world before the program runs, drive it the
// way a user and the system would, and inspect what the program did to it.
#pragma once

#include "winsim/winsim.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace winsim {

// Thrown by ExitProcess, so a test can run TolvaneEntry() and read the exit code.
struct ProcessExit {
    UINT code;
};

// Thrown where real Windows would block forever or the program loops without end:
// GetMessageW with nothing that could ever arrive or past the clock limit, or a message storm.
struct Hang : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Clears the whole world: windows, classes, queue, clock, timers, files, GDI, MCI, faults.
void Reset();

// ---- faults on demand ---------------------------------------------------------------
struct Faults {
    bool registerClass = false;  // RegisterClassW returns 0
    bool mainWindow = false;     // CreateWindowExW of a window without parent returns null
    int createWindowCall = 0;    // the Nth CreateWindowExW call (1-based) returns null; 0 none
    std::u16string controlClass; // CreateWindowExW of this class returns null (any case)
    bool getMessage = false;     // GetMessageW returns -1
    bool moduleHandle = false;   // GetModuleHandleW returns null
    bool moduleFileName = false; // GetModuleFileNameW returns 0
    bool createFont = false;     // CreateFontW returns null
    bool mciErrorString = false; // mciGetErrorStringW returns FALSE
    bool systemFolder = false;   // GetSystemDirectoryW returns 0
    bool winmm = false;          // LoadLibraryExW of the system folder's winmm.dll returns null
    std::string missingExport;   // GetProcAddress of this name returns null
    // What GetVersion answers: 6.2, as Windows 8 and later tell a program without a manifest.
    DWORD version = 0x23F00206;
};
Faults& faults();

// ---- windows and controls -----------------------------------------------------------
struct Window {
    std::u16string className; // as registered, or the predefined name in upper case
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    UINT_PTR id = 0; // the HMENU value given to a child
    HINSTANCE instance = nullptr;
    bool alive = true;
    int destroyMessages = 0; // WM_DESTROY received
    int showCalls = 0;
    int lastShow = -1;
    HFONT font = nullptr; // the last WM_SETFONT
    BOOL fontRedraw = FALSE;
    int fontMessages = 0;
    int scrollMin = 0, scrollMax = 0, scrollPos = 0; // SB_CTL of a scroll bar
    int scrollPosCalls = 0;
    // List box entries in display order. LBS_SORT compares unit by unit with ASCII and
    // Latin-1 letters folded: "Track 10" before "Track 2", as Windows has it too. Names with
    // hyphens, apostrophes or accents may stand elsewhere than Windows' linguistic order.
    std::vector<std::u16string> items;
    int selection = LB_ERR;
    // WM_SETREDRAW's state. Each list box insert made while it is on costs the list a scroll
    // bar update, and a repaint when it is visible. Only a whole-window InvalidateRect with
    // erase made while redraw is on counts as the one repaint a fill asks for.
    bool redraw = true;
    int insertsWhileRedrawing = 0;
    int repaintsAsked = 0;
};

// The record of a window ever created (also after its destruction); throws for others.
const Window& Info(HWND hwnd);
bool IsAlive(HWND hwnd);
std::vector<HWND> AllWindows(); // in creation order
int CreateWindowCalls();
HINSTANCE ModuleInstance(); // what GetModuleHandleW(NULL) returns

// A user's actions. Each sends to the control's parent what Windows would send.
// List box: select the index, then WM_COMMAND MAKEWPARAM(id, code) with lParam = list.
LRESULT ClickList(HWND list, int index, WORD code = LBN_SELCHANGE);
// Button: WM_COMMAND MAKEWPARAM(id, code) with lParam = button.
LRESULT ClickButton(HWND button, WORD code = BN_CLICKED);
// Scroll bar: WM_HSCROLL MAKEWPARAM(code, thumb) with lParam = bar.
LRESULT Scroll(HWND bar, WORD code, WORD thumb = 0);
// A gesture on a scroll bar as Windows delivers it: the bar holds the capture from the
// button-down (HoldBar), its events (Scroll) come while it is held, and its tracking loop
// dispatches what is posted in between (AdvanceClock, Pump). The release sends SB_THUMBPOSITION
// after a thumb drag (thumb >= 0), then SB_ENDSCROLL; the capture goes before that
// SB_THUMBPOSITION (as Wine lets it go) or after both. LoseCapture: another window takes it,
// and the gesture ends without SB_ENDSCROLL.
enum class Release { CaptureFirst, CaptureLast };
void HoldBar(HWND bar);
void ReleaseBar(HWND bar, Release order, int thumb = -1);
void LoseCapture();

// ---- GDI ----------------------------------------------------------------------------
struct DrawCall {
    enum Kind { FillRect, FrameRect, SelectObject, Polygon, SetBkMode, SetTextColor, DrawText };
    Kind kind;
    RECT rect = {};           // FillRect, FrameRect, DrawText
    HGDIOBJ object = nullptr; // the brush of FillRect/FrameRect, the object selected
    std::vector<POINT> points;
    DWORD value = 0; // SetBkMode's mode, SetTextColor's colour, DrawText's format
    std::u16string text;
    int count = 0; // DrawText's count argument as given
};
HDC CreateRecordingDC();
const std::vector<DrawCall>& DrawCalls(HDC dc);

struct PaintResult {
    LRESULT result;
    std::vector<DrawCall> calls;
};
// WM_DRAWITEM to the button's parent, as Windows sends it for an owner-drawn button.
PaintResult PaintButton(HWND button, UINT itemState = 0);

struct Font {
    int height, width, escapement, orientation, weight;
    DWORD italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality,
        pitchAndFamily;
    std::u16string faceName;
};
std::vector<HFONT> Fonts(); // in creation order
const Font& FontInfo(HFONT font);
int DeleteCount(HGDIOBJ object); // DeleteObject calls with this handle
int GdiCreated();
int GdiLive();

// ---- messages, timers, clock --------------------------------------------------------
DWORD Now(); // virtual milliseconds since Reset
// Dispatch what is queued (and what that posts) without moving the clock; returns the count.
int Pump();
// Move the clock on by ms, firing timers and MCI completions as they fall due, and
// dispatching every message posted on the way.
void AdvanceClock(DWORD ms);
std::vector<MSG> Queue();
bool QuitPosted(); // PostQuitMessage was called since Reset
int QuitCode();
bool TimerActive(HWND hwnd, UINT_PTR id);
UINT TimerPeriod(HWND hwnd, UINT_PTR id);
// Runs action when the virtual clock reaches at (inside GetMessageW or AdvanceClock).
void ScheduleAt(DWORD at, std::function<void()> action);
void SetClockLimit(DWORD ms); // GetMessageW throws Hang rather than pass it (default 1 h)

// ---- files and module ---------------------------------------------------------------
// Full Windows-style paths; the parent folders come into being on their own. A folder
// delivers its entries to FindFirstFileW/FindNextFileW in the order they were added.
void AddFile(const std::u16string& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
void AddDirectory(const std::u16string& path);
void SetModulePath(const std::u16string& path); // what GetModuleFileNameW(NULL) reports
std::vector<std::u16string> FindPatterns();     // every FindFirstFileW pattern, in order
// "C:\Windows\system32" holds winmm.dll (with its two MCI functions) and mciqtz32.dll;
// LoadLibraryExW loads those by full path only. The loader's calls in order, as
// "LoadLibraryExW PATH FLAGS", "SetDefaultDllDirectories FLAGS" (flags by name) and
// "SetDllDirectoryW PATH".
const std::vector<std::u16string>& LoaderLog();
int OpenFindHandles();

struct MessageBoxCall {
    HWND owner;
    std::u16string text, caption;
    UINT type;
};
const std::vector<MessageBoxCall>& MessageBoxes();

// ---- MCI ----------------------------------------------------------------------------
// A file the device can open (openError 0) or refuses with openError; any other fails.
// Notifications: a play that reaches the end posts MCI_NOTIFY_SUCCESSFUL; a later
// "play song notify" supersedes a pending one; stop, close, seek or a plain play abort it;
// pause keeps it pending. A command that fails has no effect.
void AddMciFile(const std::u16string& path, DWORD lengthMs, MCIERROR openError = 0);
// Commands whose text starts with prefix fail with code, once or until Reset.
void FailMci(const std::u16string& prefix, MCIERROR code, bool once = true);
const std::vector<std::u16string>& MciLog(); // every command, exactly as sent
void ClearMciLog();
std::u16string MciErrorText(MCIERROR code); // what mciGetErrorStringW writes

struct MciDevice {
    enum Mode { Stopped, Playing, Paused };
    bool open = false;
    std::u16string path;
    Mode mode = Stopped;
    DWORD lengthMs = 0;
    DWORD positionMs = 0; // as "status song position" would report it now
    int volume = 1000;
    bool notifyPending = false;
    HWND notifyWindow = nullptr;
};
MciDevice Mci();

} // namespace winsim

#include "core/player.h"
#include "mci/mci_channel.h"

static const WCHAR RESUMED_TEXT[] = TEXT("Wiedergabe");
static const WCHAR PAUSED_TEXT[] = TEXT("Pause");
static const WCHAR STOPPED_TEXT[] = TEXT("Gestoppt");

// Opens the list's current selection under the alias "song" and plays it from the start.
// The previous track is closed first, whatever state it was in.
void PlaySelected() {
    HWND list = player.controls[TrackList];
    const int index = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (index == LB_ERR) {
        return; // nothing selected: whatever plays goes on
    }
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(player.selectedName));
    lstrcpyW(player.fullPath, player.moduleDirectory);
    lstrcatW(player.fullPath, TEXT("\\"));
    lstrcatW(player.fullPath, player.selectedName);

    SendMci(CMD_CLOSE);
    player.isOpen = 0;
    player.isPaused = 0;
    // The position bar holds the mouse from a button-down to its release, and its tracking
    // loop dispatches the end-of-track notice that may have brought us here.
    player.isGestureVoid = GetCapture() == player.controls[PositionBar];

    // The quotation marks keep blanks and other punctuation in the path one argument; a "!"
    // in it would end the device type, so such a path comes after a type of its own.
    LPCWSTR prefix = CMD_OPEN_PREFIX;
    LPCWSTR suffix = CMD_OPEN_SUFFIX;
    for (LPCWSTR unit = player.fullPath; *unit != 0; ++unit) {
        if (*unit == TEXT('!')) {
            prefix = CMD_OPEN_TYPED_PREFIX;
            suffix = CMD_OPEN_TYPED_SUFFIX;
        }
    }
    lstrcpyW(player.commandText, prefix);
    lstrcatW(player.commandText, player.fullPath);
    lstrcatW(player.commandText, suffix);
    MCIERROR result = SendMci(player.commandText);
    if (result != 0) {
        ShowMciError(result);
        return;
    }
    player.isOpen = 1;

    SendMci(CMD_TIME_FORMAT_MS);
    player.lengthMs = QueryMci(CMD_STATUS_LENGTH) == 0 ? ParseReplyNumber() : 0;
    ApplyVolume();

    result = SendMciNotify(CMD_PLAY_NOTIFY);
    if (result != 0) {
        ShowMciError(result);
        SendMci(CMD_CLOSE);
        player.isOpen = 0;
        return;
    }
    player.isPaused = 0;
    ShowStatus(player.selectedName);
}

// A paused track resumes, even if another entry has been selected since; in every other
// state, and when the resume fails, the selected entry starts from its beginning.
void PlayOrResume() {
    if (player.isPaused == 1 && SendMci(CMD_RESUME) == 0) {
        player.isPaused = 0;
        ShowStatus(RESUMED_TEXT);
        return;
    }
    PlaySelected();
}

void PauseTrack() {
    if (player.isOpen != 1) {
        return;
    }
    if (SendMci(CMD_PAUSE) == 0) {
        player.isPaused = 1;
        ShowStatus(PAUSED_TEXT);
    }
}

// A stopped track stays open, so the poll keeps reading its position.
void StopTrack() {
    if (player.isOpen != 1) {
        return;
    }
    SendMci(CMD_STOP);
    player.isPaused = 0;
    ShowStatus(STOPPED_TEXT);
}

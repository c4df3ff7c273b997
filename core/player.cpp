#include "core/player.h"

// The braces make the all-zero record a constant initializer, as constinit asks: without
// them Clang sees a record whose fields are left uninitialised and rejects it.
constinit PlayerState player{};

void ShowStatus(LPCWSTR text) {
    SetWindowTextW(player.controls[StatusLine], text);
}

// The buttons act on every notification code: owner-drawn buttons report the second
// click of a double click as BN_DBLCLK, and it should count as a click.
LRESULT OnCommand(WPARAM wParam) {
    const WORD id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    switch (id) {
    case ID_BACK: StepPrevious(); break;
    case ID_PLAY: PlayOrResume(); break;
    case ID_PAUSE: PauseTrack(); break;
    case ID_STOP: StopTrack(); break;
    case ID_NEXT: StepNext(); break;
    case ID_TRACK_LIST:
        if (code == LBN_SELCHANGE) {
            ShowSelected();
        } else if (code == LBN_DBLCLK) {
            PlaySelected();
        }
        break;
    default: break; // the status line and the labels (id 0) are not commands
    }
    return 0;
}

// Only a play that reached its end moves on; aborted or superseded plays were ended
// by the player itself.
LRESULT OnMediaNotify(WPARAM wParam) {
    if (wParam == MCI_NOTIFY_SUCCESSFUL) {
        player.isPaused = 0;
        StepNext();
    }
    return 0;
}

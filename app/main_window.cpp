#include "app/app.h"
#include "core/player.h"
#include "mci/mci_channel.h"
#include "transport/transport.h"
#include "ui/ui.h"

// Runs inside CreateWindowExW, before the window is shown. The window is created whatever
// fails here: missing controls leave null slots that the steps below pass over.
LRESULT OnCreate() {
    player.uiFont = CreateUiFont();
    CreateControls(LayoutTable, player.controls);
    UpdateVolumeLabel();
    UpdateTimeLabel();
    SetUpPositionBar();
    SetUpVolumeBar();
    if (player.controls[TrackList] != nullptr) {
        ScanFolder();
        StartPollTimer();
    }
    return 0;
}

// The controls go with the main window; what the program made itself, it ends here.
LRESULT OnDestroy() {
    KillTimer(player.mainWindow, POLL_TIMER_ID);
    SendMci(CMD_CLOSE);
    if (player.uiFont != nullptr) {
        DeleteObject(player.uiFont);
    }
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE:
        // WM_CREATE arrives before CreateWindowExW returns, and the start sequence
        // already needs the window as the controls' parent and the timer's owner.
        player.mainWindow = hwnd;
        return OnCreate();
    case WM_DESTROY: return OnDestroy();
    case WM_DRAWITEM: return DrawTransportButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(wParam);
    case WM_TIMER: OnTimer(); return 0;
    case WM_HSCROLL: return OnHScroll(wParam, lParam);
    case MM_MCINOTIFY: return OnMediaNotify(wParam);
    default: return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
}

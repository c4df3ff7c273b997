#include "app/app.h"
#include "core/player.h"
#include "mci/mci_channel.h"

HINSTANCE moduleInstance = nullptr;

const WCHAR MAIN_WINDOW_CLASS[] = TEXT("Tolvane06f");
const WCHAR MAIN_WINDOW_TITLE[] = TEXT("Tolvane 0.6f - Powered by Vantorel / Ossilane / MCI");
const WCHAR STARTUP_ERROR_CAPTION[] = TEXT("Tolvane 0.6f - Startfehler");

// The exit code is 0 on every path, the failures included.
[[noreturn]] static void ReportFailure(LPCWSTR text) {
    MessageBoxW(nullptr, text, STARTUP_ERROR_CAPTION, MB_OK | MB_ICONERROR);
    ExitProcess(0);
}

// There is no C runtime: this is the process's first instruction of the program's own,
// and it never returns. No command line is read and the window is shown as normal.
extern "C" void TolvaneEntry() {
    LoadWinmm();
    player.volumePercent = INITIAL_VOLUME_PERCENT;
    moduleInstance = GetModuleHandleW(nullptr);
    if (moduleInstance == nullptr) {
        ReportFailure(TEXT("GetModuleHandleW ist fehlgeschlagen."));
    }

    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = moduleInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // A system colour index plus one is accepted in place of a brush.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    if (RegisterClassW(&windowClass) == 0) {
        ReportFailure(TEXT("RegisterClassW ist fehlgeschlagen."));
    }

    // The start sequence runs inside this call, from WM_CREATE.
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, MAIN_WINDOW_STYLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, MAIN_WINDOW_WIDTH,
                                  MAIN_WINDOW_HEIGHT, nullptr, nullptr, moduleInstance, nullptr);
    if (window == nullptr) {
        ReportFailure(TEXT("CreateWindowExW ist fehlgeschlagen."));
    }
    player.mainWindow = window;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG msg;
    for (;;) {
        const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
        if (result == -1) {
            ReportFailure(TEXT("GetMessageW ist fehlgeschlagen."));
        }
        if (result == 0) {
            break; // WM_QUIT
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ExitProcess(0);
}

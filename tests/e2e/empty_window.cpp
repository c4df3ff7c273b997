// The smallest window program built the way Tolvane.exe is (own entry point, no C runtime):
// the baseline that scripts/bench sets the player's size and start-up time against.

#include <windows.h>

namespace {

LRESULT CALLBACK EmptyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

extern "C" void TolvaneEntry() {
    HINSTANCE instance = GetModuleHandleW(NULL);
    // Filled field by field: a zeroing initializer could call memset, which nothing provides.
    WNDCLASSW wc;
    wc.style = 0;
    wc.lpfnWndProc = EmptyWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = NULL;
    wc.hCursor = LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = L"TolvaneEmptyWindow";
    RegisterClassW(&wc);
    // One cheap call into GDI32 gives this image Tolvane.exe's three imports. In a folder of
    // many names Wine looks through the folder for every DLL a program imports, and that must
    // weigh on both start times alike.
    GdiFlush();
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 550, 585, NULL, NULL, instance, NULL);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ExitProcess(0);
}

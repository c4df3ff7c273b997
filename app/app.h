// The program's outer frame: entry point, window procedure, start and stop sequences.
#pragma once

#include "platform/win32.h"

extern HINSTANCE moduleInstance;

extern const WCHAR MAIN_WINDOW_CLASS[]; // "Tolvane06f"
extern const WCHAR MAIN_WINDOW_TITLE[];
extern const WCHAR STARTUP_ERROR_CAPTION[];
constexpr DWORD MAIN_WINDOW_STYLE = 0x00CA0000; // caption, system menu, minimise box
constexpr int MAIN_WINDOW_WIDTH = 550;
constexpr int MAIN_WINDOW_HEIGHT = 585;

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT OnCreate();
LRESULT OnDestroy();

// The process entry point: never returns, every path ends in ExitProcess(0).
extern "C" void TolvaneEntry();

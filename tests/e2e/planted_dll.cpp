// A DLL named like a system DLL, as it might lie in a folder of downloads: when anything
// loads it, it leaves "<its own path>.loaded" beside itself. It exports what a program or MCI
// would take from the real one, each answering a failure, so a program that loads it still
// starts and shows its error.

#define WIN32_LEAN_AND_MEAN // without mmsystem.h, whose declarations import what this exports
#include <windows.h>

extern "C" {

__declspec(dllexport) UINT WINAPI mciSendStringW(LPCWSTR, LPWSTR, UINT, HWND) {
    return 263; // MCIERR_INVALID_DEVICE_NAME
}

__declspec(dllexport) BOOL WINAPI mciGetErrorStringW(UINT, LPWSTR, UINT) {
    return FALSE;
}

// An MCI driver's one entry point; 0 refuses every message, the opening one included.
__declspec(dllexport) LRESULT WINAPI DriverProc(DWORD_PTR, HANDLE, UINT, LPARAM, LPARAM) {
    return 0;
}

BOOL WINAPI PlantedDllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t marker[MAX_PATH + 8];
        const DWORD n = GetModuleFileNameW(instance, marker, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            lstrcatW(marker, L".loaded");
            CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
        }
    }
    return TRUE;
}
}

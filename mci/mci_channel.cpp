#include "mci/mci_channel.h"
#include "core/player.h"

// Each text is aligned to its units only: x86-64 gives an array of 16 bytes or more a 16-byte
// alignment, and the padding between the texts would take bytes the image has none to spare of.
alignas(WCHAR) const WCHAR CMD_OPEN_PREFIX[] = TEXT("open \"");
alignas(WCHAR) const WCHAR CMD_OPEN_SUFFIX[] = TEXT("\" type mpegvideo alias song");
alignas(WCHAR) const WCHAR CMD_OPEN_TYPED_PREFIX[] = TEXT("open \"mpegvideo!");
alignas(WCHAR) const WCHAR CMD_OPEN_TYPED_SUFFIX[] = TEXT("\" alias song");
alignas(WCHAR) const WCHAR CMD_CLOSE[] = TEXT("close song");
alignas(WCHAR) const WCHAR CMD_TIME_FORMAT_MS[] = TEXT("set song time format milliseconds");
alignas(WCHAR) const WCHAR CMD_STATUS_LENGTH[] = TEXT("status song length");
alignas(WCHAR) const WCHAR CMD_STATUS_POSITION[] = TEXT("status song position");
alignas(WCHAR) const WCHAR CMD_PLAY_NOTIFY[] = TEXT("play song notify");
alignas(WCHAR) const WCHAR CMD_PAUSE[] = TEXT("pause song");
alignas(WCHAR) const WCHAR CMD_RESUME[] = TEXT("resume song");
alignas(WCHAR) const WCHAR CMD_STOP[] = TEXT("stop song");
alignas(WCHAR) const WCHAR CMD_SEEK_PREFIX[] = TEXT("seek song to ");
alignas(WCHAR) const WCHAR CMD_VOLUME_PREFIX[] = TEXT("setaudio song volume to ");

static const WCHAR PLAY_FAILED_TEXT[] = TEXT("MP3 konnte nicht abgespielt werden.");

// The exe's folder is often a downloads folder, and Windows looks there first for a DLL that
// is no KnownDLL: winmm, and the "mpegvideo" driver that winmm loads by name on the first open.
static const WCHAR WINMM_FILE[] = TEXT("\\winmm.dll");
static const WCHAR MPEGVIDEO_DRIVER_FILE[] = TEXT("\\mciqtz32.dll");

// A DLL of the system folder by its full path; the altered search takes its own imports from
// its folder, the system folder, too. No path, no load: a bare name would search the exe's.
static HMODULE LoadSystemDll(LPCWSTR file) {
    WCHAR path[MAX_PATH + 16];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    lstrcatW(path, file);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void LoadWinmm() {
    // Windows 8, and 7 with its 2011 update, can restrict every later load by name to the
    // system folder. A COM server, a DirectShow decoder among them, is loaded by full path
    // with the altered search, which still finds the DLLs beside it. Vista has the call with
    // that update too, but COM fails under it there (major 6, minor 0 in the low word).
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesProc)(DWORD);
    const auto restrictSearch =
        reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(TEXT("kernel32")), "SetDefaultDllDirectories")));
    if (LOWORD(GetVersion()) == 0x0006 || restrictSearch == nullptr ||
        !restrictSearch(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Elsewhere the current folder leaves the search, and the driver is loaded now from
        // the system folder, so that winmm's load by name finds it already loaded.
        SetDllDirectoryW(TEXT(""));
        LoadSystemDll(MPEGVIDEO_DRIVER_FILE);
    }
    const HMODULE winmm = LoadSystemDll(WINMM_FILE);
    if (winmm == nullptr) {
        return;
    }
    const auto send = reinterpret_cast<decltype(&mciSendStringW)>(
        reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendStringW")));
    const auto errorString = reinterpret_cast<decltype(&mciGetErrorStringW)>(
        reinterpret_cast<void*>(GetProcAddress(winmm, "mciGetErrorStringW")));
    if (send != nullptr && errorString != nullptr) {
        player.mciSendString = send;
        player.mciGetErrorString = errorString;
    }
}

// Without winmm every command fails the way MCI fails a device whose driver cannot be loaded.
static MCIERROR SendString(LPCWSTR command, LPWSTR reply, UINT capacity, HWND callback) {
    if (player.mciSendString == nullptr) {
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    return player.mciSendString(command, reply, capacity, callback);
}

MCIERROR SendMci(LPCWSTR command) {
    return SendString(command, nullptr, 0, nullptr);
}

MCIERROR QueryMci(LPCWSTR command) {
    return SendString(command, player.replyText, REPLY_TEXT_CAPACITY, nullptr);
}

// "notify" makes MCI post MM_MCINOTIFY to the main window when the command completes.
MCIERROR SendMciNotify(LPCWSTR command) {
    return SendString(command, nullptr, 0, player.mainWindow);
}

// MCI's volume runs from 0 to 1000, ten steps per percent.
void ApplyVolume() {
    lstrcpyW(player.commandText, CMD_VOLUME_PREFIX);
    FormatDecimal(static_cast<DWORD>(player.volumePercent) * 10, player.numberText);
    lstrcatW(player.commandText, player.numberText);
    SendMci(player.commandText);
}

void ShowMciError(MCIERROR code) {
    if (player.mciGetErrorString != nullptr &&
        player.mciGetErrorString(code, player.errorText, ERROR_TEXT_CAPACITY)) {
        ShowStatus(player.errorText);
    } else {
        ShowStatus(PLAY_FAILED_TEXT);
    }
}

LPWSTR FormatDecimal(DWORD value, LPWSTR destination) {
    WCHAR scratch[10]; // 4294967295 has ten digits
    int count = 0;
    do {
        scratch[count++] = static_cast<WCHAR>(TEXT('0') + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *destination++ = scratch[--count];
    }
    *destination = 0;
    return destination;
}

// MCI answers with bare decimal digits; anything after them (or a reply that does not
// start with one) is not part of the number. The walk stays inside the reply buffer even
// if a reply filled it without a terminator.
DWORD ParseReplyNumber() {
    DWORD value = 0;
    for (int i = 0; i < REPLY_TEXT_CAPACITY; ++i) {
        const WCHAR unit = player.replyText[i];
        if (unit < TEXT('0') || unit > TEXT('9')) {
            break;
        }
        value = value * 10 + static_cast<DWORD>(unit - TEXT('0'));
    }
    return value;
}

// Drives a running Tolvane window the way a user would, from a separate process under the same
// Wine server, and reads back what the user would see. One call runs a sequence of commands:
//
//   driver.exe wait-window 10000 click 102 wait status Pause 5000 get time
//
// Values (get, wait, wait-not): status, time, volume (texts), sel, count (list), pos, volpos
// (bars), capture (the id of the control that holds the mouse capture, 0 for none). Actions:
// click ID, mouseclick ID (a real click at the control's middle), press X Y, move X Y, release
// (the left button of a real mouse, held from press to release), select N, dblclk N, scroll BAR
// CODE THUMB, close, repaint TIMES. Reports: dump, list, screenpos ID, barpos BAR PART (the
// screen point of a bar's left or right arrow, its thumb, or the thumb at a value of the bar),
// ink X Y W H (the share of dark pixels in that part of the screen), resources, module (the
// player's own path, as it sees it). Timing: sleep MS, wait-window MS, wait-class CLASS MS,
// wait-gone CLASS MS, ping MS (until the window's thread takes messages, that is, until its
// start is over), poll MS (the pause between two looks of every later wait), launch EXE,
// elapsed (ms since launch), scan FOLDER (a bare listing, and why when the folder cannot be read),
// short FILE (the file's 8.3 short name, or its long name where the drive makes none).
//
// Without a player window: record SECONDS FILE.wav (the default recording device, 44100 Hz
// 16-bit stereo; it ends early when FILE.wav.stop appears), devices (the waveOut and waveIn
// devices), probe FILE.mp3 (MCI opens and plays it for a second while the default input
// records; one line with its length, position and the RMS heard), probe-end FILE.mp3 (MCI
// opens it, seeks to its length and plays with notify: one line with the notification that
// comes back), screenshot FILE.bmp (the whole desktop).
//
// Before a mouse click or press, a barpos, an ink reading or a screenshot the player's window
// is brought to the front of the topmost windows (a window that still covers it is minimised);
// when it cannot be uncovered, the command fails (the screenshot is taken all the same) and
// says what covers it.
//
// Exit code 0 when every command succeeded, 1 when a wait timed out or a command failed (the
// reason goes to stderr), 2 for a usage error or when no player window exists.

#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>
#include <winternl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <math.h>

namespace {

const wchar_t MAIN_CLASS[] = L"Tolvane06f";

HWND mainWindow;

// The pause between two looks of a wait: -1 keeps each wait's own (50 ms for values, 20 ms
// for windows); the bench sets 1 ms, so a time it reads is not rounded up to the pause.
int pollMs = -1;

void Pause(int usualMs) {
    Sleep(pollMs >= 0 ? pollMs : usualMs);
}

bool FindMain(const wchar_t* cls, int timeoutMs) {
    DWORD start = GetTickCount();
    while (!(mainWindow = FindWindowW(cls, NULL))) {
        if ((int)(GetTickCount() - start) >= timeoutMs) {
            return false;
        }
        Pause(20);
    }
    return true;
}

// Text goes out as UTF-8 so the shell sees the same bytes as the file names on disk.
void Print(const wchar_t* text) {
    char buffer[8192];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (n > 0) {
        DWORD written;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buffer, n - 1, &written, NULL);
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\n", 1, &written, NULL);
    }
}

const int LINE_CAPACITY = 4096;

// One formatted line, always terminated, however long the values.
void FormatLine(wchar_t* line, const wchar_t* format, va_list args) {
    _vsnwprintf(line, LINE_CAPACITY - 1, format, args);
    line[LINE_CAPACITY - 1] = 0;
}

void Printf(const wchar_t* format, ...) {
    wchar_t line[LINE_CAPACITY];
    va_list args;
    va_start(args, format);
    FormatLine(line, format, args);
    va_end(args);
    Print(line);
}

void Fail(const wchar_t* format, ...) {
    wchar_t line[LINE_CAPACITY];
    va_list args;
    va_start(args, format);
    FormatLine(line, format, args);
    va_end(args);
    char buffer[8192];
    if (WideCharToMultiByte(CP_UTF8, 0, line, -1, buffer, sizeof buffer, NULL, NULL) > 0) {
        fprintf(stderr, "driver: %s\n", buffer);
    }
}

// Every message to the player has a time limit: a player stuck inside Wine's MCI fails the
// command that talks to it instead of holding up the whole suite.
const UINT SEND_LIMIT_MS = 15000;

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, SEND_LIMIT_MS, &result)) {
        Fail(L"no answer to message 0x%x within %u ms", msg, SEND_LIMIT_MS);
        ExitProcess(1);
    }
    return static_cast<LRESULT>(result);
}

bool ClassIs(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64];
    return GetClassNameW(hwnd, cls, 64) > 0 && _wcsicmp(cls, name) == 0;
}

// The child's rectangle in the main window's client coordinates.
RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, mainWindow, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND ChildById(int id) {
    return GetDlgItem(mainWindow, id);
}

// Controls without an id are told apart by class and by their place from the top.
HWND ChildByClass(const wchar_t* cls, int nth) {
    HWND found[16];
    int count = 0;
    for (HWND c = GetWindow(mainWindow, GW_CHILD); c && count < 16; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassIs(c, cls)) {
            found[count++] = c;
        }
    }
    for (int i = 1; i < count; i++) {
        for (int j = i; j > 0 && ChildRect(found[j]).top < ChildRect(found[j - 1]).top; j--) {
            HWND t = found[j];
            found[j] = found[j - 1];
            found[j - 1] = t;
        }
    }
    return nth < count ? found[nth] : NULL;
}

HWND StatusLine() {
    return ChildByClass(L"Edit", 0);
}

HWND TrackList() {
    return ChildById(200);
}

// Reads a value the way a user sees it; the names are the harness's vocabulary.
bool Get(const wchar_t* what, wchar_t* out, int capacity) {
    out[0] = 0;
    HWND c = NULL;
    if (!wcscmp(what, L"status")) {
        c = StatusLine();
    } else if (!wcscmp(what, L"time")) {
        c = ChildByClass(L"Static", 0);
    } else if (!wcscmp(what, L"volume")) {
        c = ChildByClass(L"Static", 1);
    } else if (!wcscmp(what, L"sel")) {
        _snwprintf(out, capacity, L"%d", (int)Send(TrackList(), LB_GETCURSEL, 0, 0));
        return true;
    } else if (!wcscmp(what, L"count")) {
        _snwprintf(out, capacity, L"%d", (int)Send(TrackList(), LB_GETCOUNT, 0, 0));
        return true;
    } else if (!wcscmp(what, L"capture")) {
        // A scroll bar holds the mouse capture from a press on it to the release.
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow, NULL), &info);
        _snwprintf(out, capacity, L"%d", info.hwndCapture ? GetDlgCtrlID(info.hwndCapture) : 0);
        return true;
    } else if (!wcscmp(what, L"pos") || !wcscmp(what, L"volpos")) {
        HWND bar = ChildById(what[0] == L'p' ? 201 : 106);
        _snwprintf(out, capacity, L"%d", GetScrollPos(bar, SB_CTL));
        return true;
    } else {
        Fail(L"unknown value '%ls'", what);
        return false;
    }
    if (!c) {
        Fail(L"no control for '%ls'", what);
        return false;
    }
    // WM_GETTEXT is marshalled across processes; GetWindowTextW would not ask the other one.
    Send(c, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(out));
    return true;
}

void Dump() {
    wchar_t text[1024];
    RECT r;
    GetWindowRect(mainWindow, &r);
    RECT client;
    GetClientRect(mainWindow, &client);
    GetClassNameW(mainWindow, text, 1024);
    Printf(L"window class=%ls style=0x%08lx exstyle=0x%08lx w=%ld h=%ld cw=%ld ch=%ld", text,
           GetWindowLongW(mainWindow, GWL_STYLE), GetWindowLongW(mainWindow, GWL_EXSTYLE),
           r.right - r.left, r.bottom - r.top, client.right, client.bottom);
    Send(mainWindow, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    Printf(L"title=%ls", text);
    for (HWND c = GetWindow(mainWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[64];
        GetClassNameW(c, cls, 64);
        RECT cr = ChildRect(c);
        Send(c, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        Printf(L"control class=%ls id=%d x=%ld y=%ld w=%ld h=%ld style=0x%08lx text=%ls", cls,
               GetDlgCtrlID(c), cr.left, cr.top, cr.right - cr.left, cr.bottom - cr.top,
               GetWindowLongW(c, GWL_STYLE), text);
    }
}

void List() {
    HWND list = TrackList();
    int count = (int)Send(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        wchar_t entry[600];
        entry[0] = 0;
        if ((int)Send(list, LB_GETTEXTLEN, i, 0) < 600) {
            Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        }
        Print(entry);
    }
}

// Polls until the value equals (or, with wantEqual false, differs from) the expected text.
bool Wait(const wchar_t* what, const wchar_t* expected, int timeoutMs, bool wantEqual) {
    wchar_t value[1024];
    DWORD start = GetTickCount();
    for (;;) {
        if (!Get(what, value, 1024)) {
            return false;
        }
        if ((wcscmp(value, expected) == 0) == wantEqual) {
            return true;
        }
        if ((int)(GetTickCount() - start) >= timeoutMs) {
            Fail(L"timeout after %d ms: %ls is '%ls', wanted %ls'%ls'", timeoutMs, what, value,
                 wantEqual ? L"" : L"anything but ", expected);
            return false;
        }
        Pause(50);
    }
}

void SendListNotify(int index, WORD code) {
    HWND list = TrackList();
    Send(list, LB_SETCURSEL, index, 0);
    // LB_SETCURSEL notifies nobody; a user's click would also send the notification.
    Send(mainWindow, WM_COMMAND, MAKEWPARAM(200, code), reinterpret_cast<LPARAM>(list));
}

// GDI objects of a process, counted in the handle table that Wine maps into its PEB. Wine keeps
// one table per process and leaves the owner field empty, so every live entry is the process's
// own; stock objects are left out, they exist from the start and are never freed.
int CountGdiObjects(HANDLE process) {
    typedef NTSTATUS(WINAPI * QueryFn)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info;
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, NULL) != 0) {
        return -1;
    }
    // GdiSharedHandleTable sits at offset 0xF8 of the 64-bit PEB.
    ULONG_PTR table = 0;
    SIZE_T got = 0;
    const char* field = reinterpret_cast<const char*>(info.PebBaseAddress) + 0xF8;
    if (!ReadProcessMemory(process, field, &table, sizeof table, &got) || !table) {
        return -1;
    }
    // An entry: object (8 bytes), owner (4), unique (2: ext type, stock flag in bit 7,
    // generation), type (1), flags (1), user pointer (8). Type 0 marks a free entry.
    const int ENTRY_SIZE = 24, ENTRIES = 0x10000, CHUNK = 4096;
    static unsigned char entries[ENTRY_SIZE * CHUNK];
    int count = 0;
    for (int first = 0; first < ENTRIES; first += CHUNK) {
        const char* at = reinterpret_cast<const char*>(table) + (SIZE_T)first * ENTRY_SIZE;
        if (!ReadProcessMemory(process, at, entries, sizeof entries, &got)) {
            return -1;
        }
        for (int i = 0; i < CHUNK; i++) {
            const unsigned char* e = entries + i * ENTRY_SIZE;
            if (e[14] != 0 && !(e[12] & 0x80)) {
                count++;
            }
        }
    }
    return count;
}

// Windows are the USER objects a program makes; counting them stands in for GetGuiResources,
// which Wine leaves unimplemented.
int windowsOfProcess;
DWORD countedProcess;

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == countedProcess) {
        windowsOfProcess++;
        EnumChildWindows(hwnd, CountWindow, 0);
    }
    return TRUE;
}

// The player's process, opened to be read; its id in pid.
HANDLE OpenPlayer(DWORD* pid) {
    GetWindowThreadProcessId(mainWindow, pid);
    return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, *pid);
}

void Resources() {
    DWORD pid = 0;
    HANDLE process = OpenPlayer(&pid);
    PROCESS_MEMORY_COUNTERS mem = {};
    mem.cb = sizeof mem;
    K32GetProcessMemoryInfo(process, &mem, sizeof mem);
    windowsOfProcess = 0;
    countedProcess = pid;
    EnumWindows(CountWindow, 0);
    Printf(L"workingset=%llu gui_gdi=%lu gui_user=%lu peb_gdi=%d windows=%d",
           (unsigned long long)mem.WorkingSetSize, GetGuiResources(process, GR_GDIOBJECTS),
           GetGuiResources(process, GR_USEROBJECTS), CountGdiObjects(process), windowsOfProcess);
    CloseHandle(process);
}

// Times a plain enumeration of the folder, the least any program listing it must spend.
void Scan(const wchar_t* folder) {
    wchar_t pattern[MAX_PATH];
    _snwprintf(pattern, MAX_PATH, L"%ls\\*.mp3", folder);
    pattern[MAX_PATH - 1] = 0;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    DWORD error = find == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            count += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    QueryPerformanceCounter(&end);
    double ms = (end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    // A folder without MP3 files is no error; one that cannot be read says why, in Windows' words.
    if (error == 0 || error == ERROR_FILE_NOT_FOUND) {
        Printf(L"files=%d ms=%.1f", count, ms);
        return;
    }
    wchar_t why[256] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, why,
                   256, NULL);
    why[wcscspn(why, L"\r\n")] = 0;
    Printf(L"files=0 ms=%.1f error=%lu %ls", ms, error, why);
}

// The player's own path, as GetModuleFileNameW gives it inside its process: both read the
// name the loader keeps for the executable.
bool Module() {
    DWORD pid = 0;
    HANDLE process = OpenPlayer(&pid);
    wchar_t path[1024];
    DWORD length = process ? K32GetModuleFileNameExW(process, NULL, path, 1024) : 0;
    DWORD error = GetLastError();
    if (process) {
        CloseHandle(process);
    }
    if (length == 0) {
        Fail(L"module: no path of process %lu: error %lu", pid, error);
        return false;
    }
    Print(path);
    return true;
}

// The file's 8.3 short name, the last part of what GetShortPathNameW gives: a drive that makes
// no short names gives the long name back.
bool ShortName(const wchar_t* path) {
    wchar_t shortPath[1024];
    DWORD length = GetShortPathNameW(path, shortPath, 1024);
    if (length == 0 || length >= 1024) {
        Fail(L"short: no short path for %ls: error %lu", path, GetLastError());
        return false;
    }
    const wchar_t* name = wcsrchr(shortPath, L'\\');
    Print(name ? name + 1 : shortPath);
    return true;
}

LARGE_INTEGER launchedAt;

// Starts a program from the current folder; "elapsed" then tells how long ago that was.
bool Launch(const wchar_t* exe) {
    // A full path: a bare name would be looked up in the driver's own folder first.
    wchar_t path[MAX_PATH];
    if (!GetFullPathNameW(exe, MAX_PATH, path, NULL)) {
        Fail(L"no path for %ls", exe);
        return false;
    }
    wchar_t commandLine[MAX_PATH + 2];
    _snwprintf(commandLine, MAX_PATH + 2, L"\"%ls\"", path);
    commandLine[MAX_PATH + 1] = 0;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    QueryPerformanceCounter(&launchedAt);
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) {
        Fail(L"cannot start %ls: error %lu", exe, GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

void Elapsed() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    Printf(L"%.1f", (now.QuadPart - launchedAt.QuadPart) * 1000.0 / (double)frequency.QuadPart);
}

void Repaint(int times) {
    for (int i = 0; i < times; i++) {
        for (int id = 101; id <= 105; id++) {
            HWND button = ChildById(id);
            InvalidateRect(button, NULL, TRUE);
            UpdateWindow(button);
        }
    }
}

// The top-level window that shows at a point of the screen, or null.
HWND TopWindowAt(POINT p) {
    HWND at = WindowFromPoint(p);
    return at ? GetAncestor(at, GA_ROOT) : NULL;
}

// Whether the player's window shows at every one of the points, polled for up to LIMIT_MS;
// COVER gets the first other window that lies over one of them.
bool Shows(const POINT* points, int count, DWORD limitMs, HWND* cover) {
    DWORD start = GetTickCount();
    for (;;) {
        *cover = NULL;
        for (int i = 0; i < count && !*cover; i++) {
            HWND top = TopWindowAt(points[i]);
            if (top != mainWindow) {
                *cover = top;
            }
        }
        if (!*cover || GetTickCount() - start >= limitMs) {
            return !*cover;
        }
        Sleep(50);
    }
}

// Hosted Windows runners keep their console window in front of every window a test opens. The
// player's window goes to the front of the topmost windows, without taking the focus; a window
// that still lies over the middle or a corner of AREA (on the screen) is minimised. Asynchronous
// calls, so that a player or a window that does not answer holds nothing up; the points are
// then watched until they show the player. False, with what lies there, when they do not.
bool Uncover(const wchar_t* what, const RECT& area) {
    const POINT points[] = {{(area.left + area.right) / 2, (area.top + area.bottom) / 2},
                            {area.left, area.top},
                            {area.right - 1, area.top},
                            {area.left, area.bottom - 1},
                            {area.right - 1, area.bottom - 1}};
    if (IsIconic(mainWindow)) {
        ShowWindowAsync(mainWindow, SW_SHOWNOACTIVATE);
    }
    SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    HWND cover;
    for (int tries = 0; tries < 3; tries++) {
        if (Shows(points, 5, 1000, &cover)) {
            return true;
        }
        if (!cover) {
            break; // nothing at all shows there: off the screen
        }
        ShowWindowAsync(cover, SW_MINIMIZE);
    }
    wchar_t cls[64] = L"", title[128] = L"";
    if (cover) {
        GetClassNameW(cover, cls, 64);
        GetWindowTextW(cover, title, 128);
    }
    Fail(L"%ls: the player's window is covered by a %ls window '%ls', which would not go", what,
         cover ? cls : L"(no)", title);
    return false;
}

// A real left click at the middle of a control, through the input queue as a mouse gives it;
// it fails when another window lies over that point and would take the click.
bool MouseClick(HWND control) {
    RECT r;
    if (!GetWindowRect(control, &r)) {
        Fail(L"mouseclick: no such control");
        return false;
    }
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (!Uncover(L"mouseclick", {p.x, p.y, p.x + 1, p.y + 1})) {
        return false;
    }
    HWND top = WindowFromPoint(p);
    if (top != control) {
        wchar_t cls[64] = L"";
        GetClassNameW(top, cls, 64);
        Fail(L"mouseclick: a %ls window lies at %ld,%ld", cls, p.x, p.y);
        return false;
    }
    SetCursorPos(p.x, p.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// A mouse event at a point of the screen, as a real mouse gives it: absolute coordinates count
// in 65536ths of the primary screen, and rounded up they land on the pixel itself.
bool SendMouse(POINT p, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (p.x * 65536 + w - 1) / w;
    input.mi.dy = (p.y * 65536 + h - 1) / h;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

// The left button goes down at a point of the player's window and stays down until "release";
// it fails when another window lies over that point and would take the press.
bool Press(POINT p) {
    return Uncover(L"press", {p.x, p.y, p.x + 1, p.y + 1}) && SendMouse(p, MOUSEEVENTF_LEFTDOWN);
}

// The screen point of a part of a horizontal scroll bar: "left" or "right" (the middle of that
// arrow), "thumb" (the middle of the thumb where it stands), or a value (where the thumb's
// middle stands when the bar reads it). Arrows and thumb are as wide as the system's metrics
// say, and the thumb moves in proportion over the track between the arrows: Wine's
// GetScrollBarInfo tells another process nothing. The bar is uncovered first, as a pointer is
// about to go there.
bool BarPoint(HWND bar, const wchar_t* part, POINT* p) {
    RECT r;
    int min = 0, max = 0;
    if (!bar || !GetWindowRect(bar, &r) || !GetScrollRange(bar, SB_CTL, &min, &max) || max <= min) {
        Fail(L"barpos: no such bar, or a bar without a range");
        return false;
    }
    const int arrow = GetSystemMetrics(SM_CXHSCROLL), thumb = GetSystemMetrics(SM_CXHTHUMB);
    const int track = r.right - r.left - 2 * arrow - thumb;
    const int value = !wcscmp(part, L"thumb") ? GetScrollPos(bar, SB_CTL) : wcstol(part, NULL, 10);
    p->y = (r.top + r.bottom) / 2;
    if (!wcscmp(part, L"left")) {
        p->x = r.left + arrow / 2;
    } else if (!wcscmp(part, L"right")) {
        p->x = r.right - 1 - arrow / 2;
    } else {
        p->x = r.left + arrow + MulDiv(value - min, track, max - min) + thumb / 2;
    }
    return Uncover(L"barpos", r);
}

// A part of the screen as shown, copied into a DIB section of the format INFO gives (a
// negative height is top-down); the caller deletes the bitmap. Null when nothing was copied.
HBITMAP CopyScreen(int x, int y, const BITMAPINFOHEADER& info, void** bits) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, bits, NULL, 0);
    bool copied = bitmap && SelectObject(memory, bitmap) &&
                  BitBlt(memory, 0, 0, info.biWidth, abs(info.biHeight), screen, x, y, SRCCOPY) &&
                  GdiFlush();
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    if (!copied && bitmap) {
        DeleteObject(bitmap);
        bitmap = NULL;
    }
    return bitmap;
}

// The share of dark pixels (below half brightness) in a rectangle of the screen as shown.
bool Ink(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0 || w * h > 1 << 20) {
        Fail(L"ink: bad size %dx%d", w, h);
        return false;
    }
    if (!Uncover(L"ink", {x, y, x + w, y + h})) {
        return false;
    }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CopyScreen(x, y, info, &bits);
    if (!bitmap) {
        Fail(L"ink: cannot copy the screen at %d,%d", x, y);
        return false;
    }
    int dark = 0;
    for (int i = 0; i < w * h; i++) {
        const BYTE* p = static_cast<const BYTE*>(bits) + 4 * i; // blue, green, red
        dark += p[2] * 299 + p[1] * 587 + p[0] * 114 < 128 * 1000;
    }
    Printf(L"%.3f", dark / (double)(w * h));
    DeleteObject(bitmap);
    return true;
}

// ---- sound and screen, for the suite's own use: no player window needed ----

// CD quality; WAVE_MAPPER converts from whatever the device runs at (48 kHz on a virtual cable).
const DWORD RECORD_RATE = 44100;
const WORD RECORD_CHANNELS = 2;
const WORD RECORD_FRAME = 4; // bytes per frame: two 16-bit samples
// Blocks of 50 ms: a recording asked to stop ends at most that long after the request.
const DWORD RECORD_BLOCK_BYTES = RECORD_RATE / 20 * RECORD_FRAME;
// Eight blocks queued keep the device fed while a full one is written out.
const int RECORD_BLOCKS = 8;
// A device that has delivered nothing for this long past the recording's end is given up.
const DWORD RECORD_GRACE_MS = 3000;

// Where recorded samples go: a file (or none) and a running sum for the RMS.
struct SampleSink {
    HANDLE file;
    double sumSquares;
    DWORD bytes;
};

void Take(SampleSink& sink, const char* data, DWORD n) {
    const short* samples = reinterpret_cast<const short*>(data);
    for (DWORD i = 0; i < n / 2; i++) {
        double v = samples[i] / 32768.0;
        sink.sumSquares += v * v;
    }
    sink.bytes += n;
    DWORD written;
    if (sink.file != INVALID_HANDLE_VALUE) {
        WriteFile(sink.file, data, n, &written, NULL);
    }
}

// RMS amplitude as sox reports it: samples scaled to -1..1, all channels together.
double Rms(const SampleSink& sink) {
    DWORD samples = sink.bytes / 2;
    return samples ? sqrt(sink.sumSquares / samples) : 0;
}

struct Recorder {
    HWAVEIN device;
    HANDLE blockDone; // the device sets it whenever it returns a block
    WAVEHDR headers[RECORD_BLOCKS];
    char* data;
    int next; // the block the device fills first
    wchar_t error[256];
};

// Opens the default recording device and starts it at once, with every block queued.
bool RecorderStart(Recorder& r) {
    ZeroMemory(&r, sizeof r);
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = RECORD_CHANNELS;
    format.nSamplesPerSec = RECORD_RATE;
    format.wBitsPerSample = 16;
    format.nBlockAlign = RECORD_FRAME;
    format.nAvgBytesPerSec = RECORD_RATE * RECORD_FRAME;
    r.blockDone = CreateEventW(NULL, FALSE, FALSE, NULL);
    MMRESULT result = waveInOpen(&r.device, WAVE_MAPPER, &format,
                                 reinterpret_cast<DWORD_PTR>(r.blockDone), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        wchar_t text[MAXERRORLENGTH] = L"";
        waveInGetErrorTextW(result, text, MAXERRORLENGTH);
        _snwprintf(r.error, 255, L"waveInOpen: %ls (%u input devices)", text, waveInGetNumDevs());
        CloseHandle(r.blockDone);
        return false;
    }
    r.data = static_cast<char*>(malloc(RECORD_BLOCKS * RECORD_BLOCK_BYTES));
    for (int i = 0; i < RECORD_BLOCKS; i++) {
        r.headers[i].lpData = r.data + i * RECORD_BLOCK_BYTES;
        r.headers[i].dwBufferLength = RECORD_BLOCK_BYTES;
        waveInPrepareHeader(r.device, &r.headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(r.device, &r.headers[i], sizeof(WAVEHDR));
    }
    waveInStart(r.device);
    return true;
}

// Hands the sink WANTED bytes as the device returns its blocks, in the order it fills them;
// ends early when STOPFILE (if any) appears or when the device falls silent.
bool RecorderCollect(Recorder& r, DWORD wanted, SampleSink& sink, const wchar_t* stopFile) {
    DWORD limit =
        GetTickCount() + (DWORD)(wanted * 1000.0 / (RECORD_RATE * RECORD_FRAME)) + RECORD_GRACE_MS;
    while (sink.bytes < wanted) {
        WAVEHDR& h = r.headers[r.next];
        if (!(h.dwFlags & WHDR_DONE)) {
            if ((int)(GetTickCount() - limit) >= 0) {
                _snwprintf(r.error, 255, L"the device delivered %.2f s of %.2f s",
                           sink.bytes / (double)(RECORD_RATE * RECORD_FRAME),
                           wanted / (double)(RECORD_RATE * RECORD_FRAME));
                return false;
            }
            if (stopFile && GetFileAttributesW(stopFile) != INVALID_FILE_ATTRIBUTES) {
                break;
            }
            WaitForSingleObject(r.blockDone, 50);
            continue;
        }
        DWORD n = h.dwBytesRecorded < wanted - sink.bytes ? h.dwBytesRecorded : wanted - sink.bytes;
        Take(sink, h.lpData, n);
        waveInAddBuffer(r.device, &h, sizeof(WAVEHDR));
        r.next = (r.next + 1) % RECORD_BLOCKS;
    }
    // Asked to stop: waveInReset returns the partly filled block too, with what it holds.
    waveInReset(r.device);
    for (int k = 0; k < RECORD_BLOCKS && sink.bytes < wanted; k++) {
        WAVEHDR& h = r.headers[(r.next + k) % RECORD_BLOCKS];
        if ((h.dwFlags & WHDR_DONE) && h.dwBytesRecorded) {
            DWORD left = wanted - sink.bytes;
            Take(sink, h.lpData, h.dwBytesRecorded < left ? h.dwBytesRecorded : left);
        }
    }
    return true;
}

void RecorderClose(Recorder& r) {
    waveInReset(r.device);
    for (int i = 0; i < RECORD_BLOCKS; i++) {
        waveInUnprepareHeader(r.device, &r.headers[i], sizeof(WAVEHDR));
    }
    waveInClose(r.device);
    CloseHandle(r.blockDone);
    free(r.data);
}

// A canonical 44-byte WAV header, as sox and parec write it.
void WriteWavHeader(HANDLE file, DWORD dataBytes) {
    struct {
        char riff[4];
        DWORD riffSize;
        char wave[4], fmt[4];
        DWORD fmtSize;
        WORD tag, channels;
        DWORD rate, byteRate;
        WORD frame, bits;
        char dataTag[4];
        DWORD dataSize;
    } header = {{'R', 'I', 'F', 'F'},
                36 + dataBytes,
                {'W', 'A', 'V', 'E'},
                {'f', 'm', 't', ' '},
                16,
                WAVE_FORMAT_PCM,
                RECORD_CHANNELS,
                RECORD_RATE,
                RECORD_RATE * RECORD_FRAME,
                RECORD_FRAME,
                16,
                {'d', 'a', 't', 'a'},
                dataBytes};
    static_assert(sizeof header == 44, "a WAV header has 44 bytes");
    DWORD written;
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    WriteFile(file, &header, sizeof header, &written, NULL);
}

// Ends the process when a call into the sound system never comes back, so no caller waits
// on a driver stuck in a device or in MCI.
DWORD WINAPI Watchdog(void* limitMs) {
    Sleep((DWORD)(UINT_PTR)limitMs);
    Fail(L"no end after %u ms: given up", (DWORD)(UINT_PTR)limitMs);
    ExitProcess(1);
}

void StartWatchdog(DWORD limitMs) {
    CloseHandle(CreateThread(NULL, 0, Watchdog, (void*)(UINT_PTR)limitMs, 0, NULL));
}

DWORD BytesFor(double seconds) {
    return (DWORD)(seconds * RECORD_RATE + 0.5) * RECORD_FRAME;
}

bool Record(double seconds, const wchar_t* path) {
    // An hour at most: a WAV file counts its bytes in 32 bits.
    if (!(seconds > 0 && seconds <= 3600)) {
        Fail(L"record: bad length %g s", seconds);
        return false;
    }
    StartWatchdog((DWORD)(seconds * 1000) + RECORD_GRACE_MS + 5000);
    // The device starts before anything else: a recording begins as soon as it can.
    Recorder r;
    if (!RecorderStart(r)) {
        Fail(L"record: no recording device: %ls", r.error);
        return false;
    }
    wchar_t stopFile[MAX_PATH + 8];
    _snwprintf(stopFile, MAX_PATH + 8, L"%ls.stop", path);
    stopFile[MAX_PATH + 7] = 0;
    SampleSink sink = {};
    sink.file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (sink.file == INVALID_HANDLE_VALUE) {
        Fail(L"record: cannot write %ls: error %lu", path, GetLastError());
        RecorderClose(r);
        return false;
    }
    WriteWavHeader(sink.file, 0);
    bool complete = RecorderCollect(r, BytesFor(seconds), sink, stopFile);
    RecorderClose(r);
    WriteWavHeader(sink.file, sink.bytes);
    CloseHandle(sink.file);
    if (!complete) {
        Fail(L"record: %ls", r.error);
        return false;
    }
    Printf(L"record: %.3f s, RMS %.4f", sink.bytes / (double)(RECORD_RATE * RECORD_FRAME),
           Rms(sink));
    return true;
}

// Asks the wave mapper which device it takes by default (mmddk.h's message, not in mmsystem.h).
const UINT DRVM_MAPPER_PREFERRED_GET = 0x2000 + 21;

void Devices() {
    UINT outs = waveOutGetNumDevs(), ins = waveInGetNumDevs();
    for (UINT i = 0; i < outs; i++) {
        WAVEOUTCAPSW caps;
        if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR) {
            Printf(L"out %u: %ls", i, caps.szPname);
        }
    }
    for (UINT i = 0; i < ins; i++) {
        WAVEINCAPSW caps;
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR) {
            Printf(L"in %u: %ls", i, caps.szPname);
        }
    }
    DWORD out = (DWORD)-1, in = (DWORD)-1, flags;
    waveOutMessage(reinterpret_cast<HWAVEOUT>((UINT_PTR)WAVE_MAPPER), DRVM_MAPPER_PREFERRED_GET,
                   reinterpret_cast<DWORD_PTR>(&out), reinterpret_cast<DWORD_PTR>(&flags));
    waveInMessage(reinterpret_cast<HWAVEIN>((UINT_PTR)WAVE_MAPPER), DRVM_MAPPER_PREFERRED_GET,
                  reinterpret_cast<DWORD_PTR>(&in), reinterpret_cast<DWORD_PTR>(&flags));
    Printf(L"default: out %ld, in %ld (%u out, %u in)", (long)out, (long)in, outs, ins);
}

// One MCI command; on failure ERROR gets MCI's own text for it. CALLBACK gets its notification.
bool Mci(const wchar_t* command, wchar_t* reply, wchar_t* error, HWND callback = NULL) {
    reply[0] = 0;
    MCIERROR code = mciSendStringW(command, reply, 128, callback);
    if (code == 0) {
        return true;
    }
    if (!mciGetErrorStringW(code, error, 256)) {
        _snwprintf(error, 256, L"MCI error %lu", code);
    }
    return false;
}

const DWORD PROBE_PLAY_MS = 1000;

// Opens the file at PATH as "probe", exactly as the player opens a track.
bool OpenProbe(const wchar_t* path, wchar_t* error) {
    wchar_t command[MAX_PATH + 64], reply[128];
    // A path with "!" takes the form the player gives it: MCI ends a device type at a "!".
    _snwprintf(command, MAX_PATH + 64,
               wcschr(path, L'!') ? L"open \"mpegvideo!%ls\" alias probe"
                                  : L"open \"%ls\" type mpegvideo alias probe",
               path);
    command[MAX_PATH + 63] = 0;
    return Mci(command, reply, error);
}

// Opens and plays FILE exactly as the player does, and listens on the default input meanwhile.
bool Probe(const wchar_t* file) {
    StartWatchdog(30000);
    wchar_t path[MAX_PATH], *name = NULL;
    if (!GetFullPathNameW(file, MAX_PATH, path, &name) || !name) {
        Printf(L"probe: no such path %ls", file);
        return false;
    }
    wchar_t reply[128], error[256] = L"", length[128];
    if (!OpenProbe(path, error)) {
        Printf(L"probe: %ls cannot be opened through MCI: %ls", name, error);
        return false;
    }
    if (!Mci(L"set probe time format milliseconds", reply, error) ||
        !Mci(L"status probe length", length, error) || !Mci(L"play probe", reply, error)) {
        Printf(L"probe: %ls opened but does not play: %ls", name, error);
        Mci(L"close probe", reply, error);
        return false;
    }
    Recorder r;
    SampleSink sink = {};
    sink.file = INVALID_HANDLE_VALUE;
    bool recorded = RecorderStart(r);
    if (recorded) {
        recorded = RecorderCollect(r, BytesFor(PROBE_PLAY_MS / 1000.0), sink, NULL);
        RecorderClose(r);
    } else {
        Sleep(PROBE_PLAY_MS);
    }
    wchar_t position[128];
    if (!Mci(L"status probe position", position, error)) {
        _snwprintf(position, 128, L"unknown (%ls)", error);
    }
    Mci(L"close probe", reply, error);
    if (recorded) {
        Printf(L"probe: %ls length %ls ms, position %ls ms after 1 s; recorded RMS %.3f from the "
               L"default input",
               name, length, position, Rms(sink));
    } else {
        Printf(L"probe: %ls length %ls ms, position %ls ms after 1 s; no recording device: %ls",
               name, length, position, r.error);
    }
    return true;
}

// Long enough for a device that answers late; a play that ends at once answers in milliseconds.
const DWORD PROBE_END_WAIT_MS = 1500;

// What MCI answers to a play from the very end of FILE, as the player sends it after a seek to
// the bar's far end: the MM_MCINOTIFY code that comes back to a window of the driver's (1
// successful, 2 superseded, 4 aborted, 8 failure), or none within the wait.
bool ProbeEnd(const wchar_t* file) {
    StartWatchdog(30000);
    wchar_t path[MAX_PATH], *name = NULL, reply[128], error[256] = L"", length[128], seek[256];
    // A message-only window takes the posted notification and shows nothing.
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    if (!GetFullPathNameW(file, MAX_PATH, path, &name) || !name || !OpenProbe(path, error)) {
        Printf(L"probe-end: %ls cannot be opened through MCI: %ls", file, error);
        return false;
    }
    bool sent = Mci(L"set probe time format milliseconds", reply, error) &&
                Mci(L"status probe length", length, error);
    _snwprintf(seek, 256, L"seek probe to %ls", length);
    seek[255] = 0;
    sent = sent && Mci(seek, reply, error) && Mci(L"play probe notify", reply, error, window);
    const DWORD start = GetTickCount();
    MSG msg = {};
    while (sent && !PeekMessageW(&msg, window, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE) &&
           GetTickCount() - start < PROBE_END_WAIT_MS) {
        Sleep(5);
    }
    const DWORD ms = GetTickCount() - start;
    Mci(L"close probe", reply, seek); // seek's room takes an error text of Mci's 256 units
    static const wchar_t* const codes[] = {
        L"?", L"successful", L"superseded", L"?", L"aborted", L"?", L"?", L"?", L"failure"};
    if (!sent) {
        Printf(L"probe-end: %ls does not play from its end: %ls", name, error);
    } else if (msg.message == MM_MCINOTIFY) {
        Printf(L"probe-end: %ls sought to its length, %ls ms: play notify answered %u (%ls) after "
               L"%lu ms",
               name, length, (unsigned)msg.wParam, msg.wParam <= 8 ? codes[msg.wParam] : L"?", ms);
    } else {
        Printf(L"probe-end: %ls sought to its length, %ls ms: play notify answered nothing within "
               L"%lu ms",
               name, length, PROBE_END_WAIT_MS);
    }
    return sent;
}

// The whole desktop as a bottom-up 24-bit BMP, the layout of a BMP file's pixels; a player
// window on it is uncovered first, and taken as it is when it cannot be.
bool Screenshot(const wchar_t* path) {
    if (FindMain(MAIN_CLASS, 0)) {
        RECT r;
        GetClientRect(mainWindow, &r);
        MapWindowPoints(mainWindow, NULL, reinterpret_cast<POINT*>(&r), 2);
        Uncover(L"screenshot", r);
    }
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (w * 3 + 3) & ~3u; // rows are padded to whole DWORDs
    info.biSizeImage = stride * h;
    void* bits = NULL;
    HBITMAP bitmap = CopyScreen(x, y, info, &bits);
    const bool copied = bitmap != NULL;
    bool written = false;
    if (copied) {
        BITMAPFILEHEADER head = {};
        head.bfType = 0x4D42; // "BM"
        head.bfOffBits = sizeof head + sizeof info;
        head.bfSize = head.bfOffBits + info.biSizeImage;
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD n1 = 0, n2 = 0, n3 = 0;
        written = file != INVALID_HANDLE_VALUE && WriteFile(file, &head, sizeof head, &n1, NULL) &&
                  WriteFile(file, &info, sizeof info, &n2, NULL) &&
                  WriteFile(file, bits, info.biSizeImage, &n3, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        DeleteObject(bitmap);
    }
    if (!written) {
        Fail(L"screenshot: cannot %ls %ls", copied ? L"write" : L"copy the screen for", path);
    }
    return written;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    auto arg = [&](void) -> const wchar_t* { return i < argc ? argv[i++] : L""; };
    auto number = [&](void) { return (int)wcstol(arg(), NULL, 0); };
    while (i < argc) {
        const wchar_t* cmd = arg();
        if (!wcscmp(cmd, L"wait-window") || !wcscmp(cmd, L"wait-class")) {
            const wchar_t* cls = cmd[5] == L'c' ? arg() : MAIN_CLASS;
            int timeoutMs = number();
            if (!FindMain(cls, timeoutMs)) {
                Fail(L"no %ls window after %d ms", cls, timeoutMs);
                return 2;
            }
            continue;
        }
        if (!wcscmp(cmd, L"sleep")) {
            Sleep(number());
            continue;
        }
        if (!wcscmp(cmd, L"poll")) {
            pollMs = number();
            continue;
        }
        if (!wcscmp(cmd, L"wait-gone")) {
            const wchar_t* cls = arg();
            int timeoutMs = number();
            DWORD start = GetTickCount();
            while (FindWindowW(cls, NULL)) {
                if ((int)(GetTickCount() - start) >= timeoutMs) {
                    Fail(L"a %ls window is still there after %d ms", cls, timeoutMs);
                    return 1;
                }
                Pause(20);
            }
            mainWindow = NULL;
            continue;
        }
        if (!wcscmp(cmd, L"launch")) {
            if (!Launch(arg())) {
                return 2;
            }
            continue;
        }
        if (!wcscmp(cmd, L"elapsed")) {
            Elapsed();
            continue;
        }
        if (!wcscmp(cmd, L"scan")) {
            Scan(arg());
            continue;
        }
        if (!wcscmp(cmd, L"short")) {
            if (!ShortName(arg())) {
                return 1;
            }
            continue;
        }
        if (!wcscmp(cmd, L"record")) {
            double seconds = wcstod(arg(), NULL);
            if (!Record(seconds, arg())) {
                return 1;
            }
            continue;
        }
        if (!wcscmp(cmd, L"devices")) {
            Devices();
            continue;
        }
        if (!wcscmp(cmd, L"probe")) {
            if (!Probe(arg())) {
                return 1;
            }
            continue;
        }
        if (!wcscmp(cmd, L"probe-end")) {
            if (!ProbeEnd(arg())) {
                return 1;
            }
            continue;
        }
        if (!wcscmp(cmd, L"screenshot")) {
            if (!Screenshot(arg())) {
                return 1;
            }
            continue;
        }
        if (!mainWindow && !FindMain(MAIN_CLASS, 0)) {
            Fail(L"no %ls window", MAIN_CLASS);
            return 2;
        }
        if (!wcscmp(cmd, L"get")) {
            wchar_t value[1024];
            if (!Get(arg(), value, 1024)) {
                return 1;
            }
            Print(value);
        } else if (!wcscmp(cmd, L"wait") || !wcscmp(cmd, L"wait-not")) {
            const wchar_t* what = arg();
            const wchar_t* expected = arg();
            if (!Wait(what, expected, number(), cmd[4] == 0)) {
                return 1;
            }
        } else if (!wcscmp(cmd, L"click")) {
            int id = number();
            Send(mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ChildById(id)));
        } else if (!wcscmp(cmd, L"select")) {
            SendListNotify(number(), LBN_SELCHANGE);
        } else if (!wcscmp(cmd, L"dblclk")) {
            SendListNotify(number(), LBN_DBLCLK);
        } else if (!wcscmp(cmd, L"scroll")) {
            HWND bar = ChildById(number());
            int code = number();
            int thumb = number();
            Send(mainWindow, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(bar));
        } else if (!wcscmp(cmd, L"screenpos")) {
            RECT r;
            GetWindowRect(ChildById(number()), &r);
            Printf(L"%ld %ld", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        } else if (!wcscmp(cmd, L"barpos")) {
            HWND bar = ChildById(number());
            POINT p;
            if (!BarPoint(bar, arg(), &p)) {
                return 1;
            }
            Printf(L"%ld %ld", p.x, p.y);
        } else if (!wcscmp(cmd, L"press") || !wcscmp(cmd, L"move")) {
            POINT p;
            p.x = number();
            p.y = number();
            if (!(cmd[0] == L'p' ? Press(p) : SendMouse(p, 0))) {
                Fail(L"%ls: no input at %ld,%ld", cmd, p.x, p.y);
                return 1;
            }
        } else if (!wcscmp(cmd, L"release")) {
            POINT p;
            if (!GetCursorPos(&p) || !SendMouse(p, MOUSEEVENTF_LEFTUP)) {
                Fail(L"release: no input");
                return 1;
            }
        } else if (!wcscmp(cmd, L"mouseclick")) {
            if (!MouseClick(ChildById(number()))) {
                return 1;
            }
        } else if (!wcscmp(cmd, L"ink")) {
            int x = number(), y = number(), w = number();
            if (!Ink(x, y, w, number())) {
                return 1;
            }
        } else if (!wcscmp(cmd, L"ping")) {
            int timeoutMs = number();
            DWORD_PTR result;
            if (!SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) {
                Fail(L"no answer after %d ms", timeoutMs);
                return 1;
            }
        } else if (!wcscmp(cmd, L"close")) {
            PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        } else if (!wcscmp(cmd, L"dump")) {
            Dump();
        } else if (!wcscmp(cmd, L"list")) {
            List();
        } else if (!wcscmp(cmd, L"module")) {
            if (!Module()) {
                return 1;
            }
        } else if (!wcscmp(cmd, L"resources")) {
            Resources();
        } else if (!wcscmp(cmd, L"repaint")) {
            Repaint(number());
        } else {
            Fail(L"unknown command '%ls'", cmd);
            return 2;
        }
    }
    return 0;
}

// winsim's own state, shared by its parts; tests use winsim/control.h instead.
#pragma once

#include "winsim/control.h"

#include <deque>
#include <optional>
#include <set>

namespace winsim {

// Case folding for names and list entries: ASCII and Latin-1 letters, unit by unit.
char16_t Fold(char16_t c);
std::u16string Fold(const std::u16string& text);

// Handles are distinct fake pointers, one range per kind, never dereferenced.
template <typename H> H MakeHandle(std::uintptr_t base, std::uintptr_t n) {
    return reinterpret_cast<H>(base + 16 * n);
}

struct Class {
    std::u16string name;
    WNDPROC proc;
};

struct Timer {
    UINT period;
    DWORD due;
};

struct Scheduled {
    DWORD at;
    std::function<void()> action;
};

struct FolderEntry {
    std::u16string name;
    DWORD attributes;
    std::u16string shortName; // empty for an 8.3 name, which has no other
};

struct FindState {
    std::vector<FolderEntry> matches;
    std::size_t next;
};

struct Device {
    bool open = false;
    std::u16string path;
    MciDevice::Mode mode = MciDevice::Stopped;
    DWORD lengthMs = 0;
    DWORD positionMs = 0; // while playing: the position at playStart
    DWORD playStart = 0;
    int volume = 1000;
    bool notifyPending = false;
    HWND notifyWindow = nullptr;
    LPARAM deviceId = 0;
};

struct MciFault {
    std::u16string prefix;
    MCIERROR code;
    bool once;
};

struct MciFile {
    DWORD lengthMs;
    MCIERROR openError;
};

struct World {
    Faults faults;
    // windows
    std::map<std::u16string, Class> classes; // by folded name
    std::map<HWND, Window> windows;
    std::map<HWND, WNDPROC> procs; // class procedures; null for predefined controls
    std::vector<HWND> order;
    std::set<HWND> destroying; // inside DestroyWindow, so a second call does nothing
    int createCalls = 0;
    HWND capture = nullptr; // the window that holds the mouse (a scroll bar in a gesture)
    // queue and clock
    std::deque<MSG> queue;
    std::optional<int> quit;       // WM_QUIT waiting for GetMessageW
    std::optional<int> quitPosted; // PostQuitMessage was called, with this code
    DWORD now = 0;
    DWORD clockLimit = 3600 * 1000;
    std::map<std::pair<HWND, UINT_PTR>, Timer> timers;
    std::vector<Scheduled> scheduled;
    // GDI
    std::vector<HFONT> fontOrder;
    std::map<HGDIOBJ, Font> fonts;
    std::map<HGDIOBJ, int> deletes;
    int gdiCreated = 0;
    int gdiLive = 0;
    std::map<HDC, std::vector<DrawCall>> dcs;
    // files
    std::map<std::u16string, std::vector<FolderEntry>> folders; // by folded path
    std::vector<std::u16string> findPatterns;
    std::map<HANDLE, FindState> finds;
    int findCount = 0;
    std::u16string modulePath = u"C:\\Tolvane\\Tolvane.exe";
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<std::u16string> loaderLog;
    // MCI
    std::map<std::u16string, MciFile> mciFiles; // by folded path
    std::vector<MciFault> mciFaults;
    std::vector<std::u16string> mciLog;
    Device device;
    LPARAM nextDeviceId = 1;
};

World& world();

Window* Find(HWND hwnd); // a live window, or null
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void DestroyTree(HWND hwnd);

// The MCI device's clock: when its play would reach the end, and what happens then.
std::optional<DWORD> MciNextEvent();
void MciFireDue();

} // namespace winsim

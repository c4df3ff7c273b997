// Window classes, windows, the predefined controls and what a user does to them.
#include "winsim/internal.h"

#include <algorithm>

namespace winsim {

static const char16_t* const PredefinedClasses[] = {u"EDIT", u"STATIC", u"BUTTON", u"SCROLLBAR",
                                                    u"LISTBOX"};

Window* Find(HWND hwnd) {
    auto it = world().windows.find(hwnd);
    return it == world().windows.end() || !it->second.alive ? nullptr : &it->second;
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = world().procs[hwnd];
    return proc ? proc(hwnd, msg, wParam, lParam) : ControlProc(hwnd, msg, wParam, lParam);
}

void DestroyTree(HWND hwnd) {
    Window* win = Find(hwnd);
    if (!win || !world().destroying.insert(hwnd).second) {
        return;
    }
    // Windows sends WM_DESTROY to the window first, then to its children.
    win->destroyMessages++;
    CallProc(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : world().order) {
        if (Find(child) && world().windows[child].parent == hwnd) {
            DestroyTree(child);
        }
    }
    win->alive = false;
    world().destroying.erase(hwnd);
    std::erase_if(world().timers, [&](const auto& entry) { return entry.first.first == hwnd; });
}

static bool IsList(const Window& win) {
    return win.className == u"LISTBOX";
}

static bool ValidIndex(const Window& win, WPARAM index) {
    return static_cast<INT_PTR>(index) >= 0 && index < win.items.size();
}

// The predefined controls' own window procedure.
LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window& win = *Find(hwnd);
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    switch (msg) {
    case WM_SETFONT:
        win.font = reinterpret_cast<HFONT>(wParam);
        win.fontRedraw = LOWORD(lParam);
        win.fontMessages++;
        return 0;
    case LB_ADDSTRING: {
        if (!IsList(win) || !text) {
            break;
        }
        std::size_t at = win.items.size();
        if (win.style & LBS_SORT) {
            // An approximation: ordinal order on UTF-16 units, ASCII and Latin-1 folded.
            // Windows' linguistic CompareStringW agrees on names of letters, digits and
            // blanks, but ignores hyphens and apostrophes and sorts "ä" with "a".
            const std::u16string key = Fold(text);
            at = std::upper_bound(win.items.begin(), win.items.end(), key,
                                  [](const std::u16string& k, const std::u16string& item) {
                                      return k < Fold(item);
                                  }) -
                 win.items.begin();
        }
        win.items.insert(win.items.begin() + at, text);
        if (win.redraw) {
            win.insertsWhileRedrawing++;
        }
        // The selected entry stays selected when one is inserted before it.
        if (win.selection >= static_cast<int>(at)) {
            win.selection++;
        }
        return static_cast<LRESULT>(at);
    }
    case LB_RESETCONTENT:
        if (!IsList(win)) {
            break;
        }
        win.items.clear();
        win.selection = LB_ERR;
        return 0;
    case LB_GETCOUNT: return IsList(win) ? static_cast<LRESULT>(win.items.size()) : 0;
    case LB_SETCURSEL:
        if (!IsList(win)) {
            break;
        }
        // -1 clears the selection and, as documented, still answers LB_ERR.
        if (static_cast<int>(wParam) == -1) {
            win.selection = LB_ERR;
            return LB_ERR;
        }
        if (!ValidIndex(win, wParam)) {
            return LB_ERR;
        }
        win.selection = static_cast<int>(wParam);
        return win.selection;
    case LB_GETCURSEL: return IsList(win) ? win.selection : 0;
    case LB_GETTEXTLEN:
        if (!IsList(win)) {
            break;
        }
        return ValidIndex(win, wParam) ? static_cast<LRESULT>(win.items[wParam].size()) : LB_ERR;
    case LB_GETTEXT: {
        if (!IsList(win)) {
            break;
        }
        if (!ValidIndex(win, wParam) || !lParam) {
            return LB_ERR;
        }
        const std::u16string& item = win.items[wParam];
        auto destination = reinterpret_cast<LPWSTR>(lParam);
        std::copy(item.begin(), item.end(), destination);
        destination[item.size()] = 0;
        return static_cast<LRESULT>(item.size());
    }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- test side -------------------------------------------------------------------------
const Window& Info(HWND hwnd) {
    auto it = world().windows.find(hwnd);
    if (it == world().windows.end()) {
        throw std::invalid_argument("winsim: no window was created with this handle");
    }
    return it->second;
}

bool IsAlive(HWND hwnd) {
    return Find(hwnd) != nullptr;
}

std::vector<HWND> AllWindows() {
    return world().order;
}

int CreateWindowCalls() {
    return world().createCalls;
}

HINSTANCE ModuleInstance() {
    return MakeHandle<HINSTANCE>(0x400000, 0);
}

static Window& Live(HWND hwnd, const char16_t* className) {
    Window* win = Find(hwnd);
    if (!win || win->className != className) {
        throw std::invalid_argument("winsim: not a live control of the expected class");
    }
    return *win;
}

LRESULT ClickList(HWND list, int index, WORD code) {
    Window& win = Live(list, u"LISTBOX");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return SendMessageW(win.parent, WM_COMMAND, MAKEWPARAM(win.id, code),
                        reinterpret_cast<LPARAM>(list));
}

LRESULT ClickButton(HWND button, WORD code) {
    Window& win = Live(button, u"BUTTON");
    return SendMessageW(win.parent, WM_COMMAND, MAKEWPARAM(win.id, code),
                        reinterpret_cast<LPARAM>(button));
}

LRESULT Scroll(HWND bar, WORD code, WORD thumb) {
    Window& win = Live(bar, u"SCROLLBAR");
    return SendMessageW(win.parent, WM_HSCROLL, MAKEWPARAM(code, thumb),
                        reinterpret_cast<LPARAM>(bar));
}

void HoldBar(HWND bar) {
    Live(bar, u"SCROLLBAR");
    world().capture = bar;
}

void ReleaseBar(HWND bar, Release order, int thumb) {
    if (order == Release::CaptureFirst) {
        LoseCapture();
    }
    if (thumb >= 0) {
        Scroll(bar, SB_THUMBPOSITION, static_cast<WORD>(thumb));
    }
    Scroll(bar, SB_ENDSCROLL);
    LoseCapture();
}

void LoseCapture() {
    world().capture = nullptr;
}

PaintResult PaintButton(HWND button, UINT itemState) {
    Window& win = Live(button, u"BUTTON");
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(win.id);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = itemState;
    item.hwndItem = button;
    item.hDC = CreateRecordingDC();
    item.rcItem = {0, 0, win.width, win.height};
    LRESULT result = SendMessageW(win.parent, WM_DRAWITEM, win.id, reinterpret_cast<LPARAM>(&item));
    return {result, DrawCalls(item.hDC)};
}

const std::vector<MessageBoxCall>& MessageBoxes() {
    return world().messageBoxes;
}

} // namespace winsim

using namespace winsim;

ATOM RegisterClassW(const WNDCLASSW* wndClass) {
    World& w = world();
    if (w.faults.registerClass || !wndClass || !wndClass->lpszClassName ||
        !wndClass->lpszClassName[0]) {
        return 0;
    }
    const std::u16string key = Fold(wndClass->lpszClassName);
    if (w.classes.count(key)) {
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    }
    w.classes[key] = {wndClass->lpszClassName, wndClass->lpfnWndProc};
    return static_cast<ATOM>(0xC000 + w.classes.size());
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void*) {
    World& w = world();
    const int call = ++w.createCalls;
    if (!className) {
        return nullptr;
    }
    const std::u16string key = Fold(className);
    WNDPROC proc = nullptr;
    std::u16string name;
    if (auto it = w.classes.find(key); it != w.classes.end()) {
        proc = it->second.proc;
        name = it->second.name;
    } else {
        for (const char16_t* predefined : PredefinedClasses) {
            if (Fold(predefined) == key) {
                name = predefined;
            }
        }
        if (name.empty()) {
            return nullptr; // ERROR_CANNOT_FIND_WND_CLASS
        }
    }
    if (call == w.faults.createWindowCall ||
        (!w.faults.controlClass.empty() && Fold(w.faults.controlClass) == key) ||
        (!parent && w.faults.mainWindow) || (parent && !Find(parent))) {
        return nullptr;
    }
    HWND hwnd = MakeHandle<HWND>(0x100000, w.order.size() + 1);
    Window& win = w.windows[hwnd];
    win.className = name;
    win.text = windowName ? windowName : u"";
    win.style = style;
    win.exStyle = exStyle;
    win.x = x;
    win.y = y;
    win.width = width;
    win.height = height;
    win.parent = parent;
    win.id = parent ? reinterpret_cast<UINT_PTR>(menu) : 0;
    win.instance = instance;
    w.procs[hwnd] = proc;
    w.order.push_back(hwnd);
    // Windows sends WM_CREATE before CreateWindowExW returns; -1 undoes the creation.
    if (CallProc(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* win = Find(hwnd);
    if (!win) {
        return 0;
    }
    switch (msg) {
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SETREDRAW: win->redraw = wParam != FALSE; return 0;
    case WM_SETTEXT: {
        auto text = reinterpret_cast<LPCWSTR>(lParam);
        win->text = text ? text : u"";
        return TRUE;
    }
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam) {
            return 0;
        }
        auto destination = reinterpret_cast<LPWSTR>(lParam);
        const std::size_t n = std::min<std::size_t>(win->text.size(), wParam - 1);
        std::copy_n(win->text.begin(), n, destination);
        destination[n] = 0;
        return static_cast<LRESULT>(n);
    }
    }
    return 0;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!Find(hwnd)) {
        return FALSE;
    }
    DestroyTree(hwnd);
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    Window* win = Find(hwnd);
    if (!win) {
        return FALSE;
    }
    // The answer is whether the window was visible before; the style stays as created.
    const BOOL wasVisible =
        win->lastShow == -1 ? (win->style & WS_VISIBLE) != 0 : win->lastShow != 0;
    win->showCalls++;
    win->lastShow = cmdShow;
    return wasVisible;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Find(hwnd) ? CallProc(hwnd, msg, wParam, lParam) : 0;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    Window* win = Find(hwnd);
    if (!win) {
        return FALSE;
    }
    if (win->redraw && !rect && erase) {
        win->repaintsAsked++;
    }
    return TRUE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!Find(hwnd)) {
        return FALSE;
    }
    return static_cast<BOOL>(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    world().messageBoxes.push_back({owner, text ? text : u"", caption ? caption : u"", type});
    return IDOK;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR cursorName) {
    return MakeHandle<HCURSOR>(0x600000, LOWORD(reinterpret_cast<ULONG_PTR>(cursorName)));
}

HWND GetCapture() {
    return world().capture;
}

// Only SB_CTL on a scroll bar control is simulated.
static Window* Bar(HWND hwnd, int bar) {
    Window* win = Find(hwnd);
    return win && bar == SB_CTL && win->className == u"SCROLLBAR" ? win : nullptr;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL) {
    Window* win = Bar(hwnd, bar);
    if (!win) {
        return 0;
    }
    const int previous = win->scrollPos;
    win->scrollPos = std::max(win->scrollMin, std::min(pos, win->scrollMax));
    win->scrollPosCalls++;
    return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
    Window* win = Bar(hwnd, bar);
    return win ? win->scrollPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL) {
    Window* win = Bar(hwnd, bar);
    if (!win) {
        return FALSE;
    }
    win->scrollMin = minPos;
    win->scrollMax = maxPos;
    // The position is kept inside the new range.
    win->scrollPos = std::max(minPos, std::min(win->scrollPos, maxPos));
    return TRUE;
}

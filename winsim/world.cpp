// The world's state, the message queue, the timers and the virtual clock.
#include "winsim/internal.h"

namespace winsim {

World& world() {
    static World instance;
    return instance;
}

void Reset() {
    world() = World{};
}

Faults& faults() {
    return world().faults;
}

char16_t Fold(char16_t c) {
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + 0x20);
    }
    // Latin-1 capitals U+00C0..U+00DE, except the multiplication sign U+00D7.
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c;
}

std::u16string Fold(const std::u16string& text) {
    std::u16string folded = text;
    for (char16_t& c : folded) {
        c = Fold(c);
    }
    return folded;
}

// ---- events that fall due as the clock moves ------------------------------------------
static std::optional<DWORD> NextEvent() {
    World& w = world();
    std::optional<DWORD> next;
    auto consider = [&](DWORD at) {
        if (!next || at < *next) {
            next = at;
        }
    };
    for (const auto& entry : w.timers) {
        consider(entry.second.due);
    }
    for (const Scheduled& s : w.scheduled) {
        consider(s.at);
    }
    if (std::optional<DWORD> end = MciNextEvent()) {
        consider(*end);
    }
    return next;
}

static bool TimerQueued(HWND hwnd, UINT_PTR id) {
    for (const MSG& m : world().queue) {
        if (m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id) {
            return true;
        }
    }
    return false;
}

static void FireDue() {
    World& w = world();
    for (auto& [key, timer] : w.timers) {
        if (timer.due > w.now) {
            continue;
        }
        // Windows keeps at most one WM_TIMER per timer in the queue.
        if (!TimerQueued(key.first, key.second)) {
            PostMessageW(key.first, WM_TIMER, key.second, 0);
        }
        while (timer.due <= w.now) {
            timer.due += timer.period;
        }
    }
    MciFireDue();
    std::vector<Scheduled> due;
    for (auto it = w.scheduled.begin(); it != w.scheduled.end();) {
        if (it->at <= w.now) {
            due.push_back(std::move(*it));
            it = w.scheduled.erase(it);
        } else {
            ++it;
        }
    }
    for (Scheduled& s : due) {
        s.action();
    }
}

// ---- test side -------------------------------------------------------------------------
DWORD Now() {
    return world().now;
}

int Pump() {
    World& w = world();
    int dispatched = 0;
    for (;;) {
        FireDue();
        if (w.queue.empty()) {
            return dispatched;
        }
        MSG msg = w.queue.front();
        w.queue.pop_front();
        if (msg.message == WM_QUIT) {
            w.quit = w.quitPosted = static_cast<int>(msg.wParam);
            continue;
        }
        if (++dispatched > 100000) {
            throw Hang("Pump: messages keep coming");
        }
        DispatchMessageW(&msg);
    }
}

void AdvanceClock(DWORD ms) {
    World& w = world();
    if (w.now + ms < w.now) {
        throw Hang("AdvanceClock: the virtual clock would wrap");
    }
    const DWORD target = w.now + ms;
    for (;;) {
        Pump();
        std::optional<DWORD> next = NextEvent();
        if (!next || *next > target) {
            break;
        }
        w.now = *next;
    }
    w.now = target;
    Pump();
}

std::vector<MSG> Queue() {
    return {world().queue.begin(), world().queue.end()};
}

bool QuitPosted() {
    return world().quitPosted.has_value();
}

int QuitCode() {
    return world().quitPosted.value_or(0);
}

bool TimerActive(HWND hwnd, UINT_PTR id) {
    return world().timers.count({hwnd, id}) != 0;
}

UINT TimerPeriod(HWND hwnd, UINT_PTR id) {
    auto it = world().timers.find({hwnd, id});
    return it == world().timers.end() ? 0 : it->second.period;
}

void ScheduleAt(DWORD at, std::function<void()> action) {
    world().scheduled.push_back({at, std::move(action)});
}

void SetClockLimit(DWORD ms) {
    world().clockLimit = ms;
}

} // namespace winsim

using namespace winsim;

// ---- user32: queue and timers ------------------------------------------------------------
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A null window posts a thread message; a destroyed or unknown one fails.
    if (hwnd && !Find(hwnd)) {
        return FALSE;
    }
    world().queue.push_back({hwnd, msg, wParam, lParam, world().now, {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    world().quit = exitCode;
    world().quitPosted = exitCode;
}

BOOL GetMessageW(LPMSG msg, HWND, UINT, UINT) {
    World& w = world();
    if (w.faults.getMessage) {
        return -1;
    }
    for (;;) {
        FireDue();
        if (!w.queue.empty()) {
            *msg = w.queue.front();
            w.queue.pop_front();
            return msg->message != WM_QUIT;
        }
        // WM_QUIT comes only once the queue holds nothing else.
        if (w.quit) {
            *msg = {nullptr, WM_QUIT, static_cast<WPARAM>(*w.quit), 0, w.now, {0, 0}};
            w.quit.reset();
            return FALSE;
        }
        std::optional<DWORD> next = NextEvent();
        if (!next) {
            throw Hang("GetMessageW: nothing queued and nothing pending");
        }
        if (*next > w.clockLimit) {
            throw Hang("GetMessageW: the virtual clock passed its limit");
        }
        w.now = *next;
    }
}

BOOL TranslateMessage(const MSG*) {
    return FALSE; // no keyboard input is ever simulated
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !Find(msg->hwnd)) {
        return 0;
    }
    return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC) {
    // Only window timers are simulated; the program always names its window.
    if (!Find(hwnd)) {
        return 0;
    }
    const UINT period = elapse < 10 ? 10 : elapse; // USER_TIMER_MINIMUM
    world().timers[{hwnd, id}] = {period, world().now + period};
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    // A WM_TIMER already queued stays queued, as on Windows.
    return world().timers.erase({hwnd, id}) != 0;
}

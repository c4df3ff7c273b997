// winsim itself: the Windows behaviours the program's tests rely on.
#include "winsim/control.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::u16string>;

std::vector<UINT> seen;                     // messages the test window procedure received
std::vector<std::pair<WORD, HWND>> scrolls; // each WM_HSCROLL's code, with who held the mouse

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    seen.push_back(msg);
    if (msg == WM_HSCROLL) {
        scrolls.emplace_back(LOWORD(wParam), GetCapture());
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Winsim : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        seen.clear();
        scrolls.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = u"Probe";
        ASSERT_NE(RegisterClassW(&wc), 0);
        main =
            CreateWindowExW(0, u"probe", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(main, nullptr);
    }
    HWND Child(const char16_t* cls, DWORD style = 0, int id = 7) {
        return CreateWindowExW(0, cls, u"", WS_CHILD | style, 0, 0, 50, 20, main,
                               reinterpret_cast<HMENU>(INT_PTR{id}), nullptr, nullptr);
    }
    HWND main = nullptr;
};

TEST_F(Winsim, SortedListBoxAndItsMessages) {
    HWND list = Child(u"ListBox", LBS_SORT);
    for (const char16_t* name : {u"Track 2", u"track 10", u"\u00C4rger", u"\u00E4b", u"B"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    EXPECT_EQ(winsim::Info(list).items,
              (Texts{u"B", u"track 10", u"Track 2", u"\u00E4b", u"\u00C4rger"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 4, 0), 4);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    WCHAR text[16] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 8);
    EXPECT_EQ(std::u16string(text), u"track 10");
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 9, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 5);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(seen.size() == 1) << "setting a selection notifies nobody";
}

TEST_F(Winsim, ScrollBarClampsAndAnswersThePreviousPosition) {
    HWND bar = Child(u"SCROLLBAR");
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 5, TRUE), 0);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0) << "a fresh bar has the range 0..0";
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 250, TRUE), 0);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, -3, TRUE), 100);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_EQ(SetScrollPos(nullptr, SB_CTL, 1, TRUE), 0);

    // A gesture: the bar holds the mouse from the button-down; the release lets it go before
    // its SB_THUMBPOSITION, as Wine does, or after its SB_ENDSCROLL.
    winsim::HoldBar(bar);
    winsim::Scroll(bar, SB_THUMBTRACK, 40);
    winsim::ReleaseBar(bar, winsim::Release::CaptureFirst, 40);
    winsim::HoldBar(bar);
    winsim::ReleaseBar(bar, winsim::Release::CaptureLast, 50);
    winsim::HoldBar(bar);
    winsim::LoseCapture();
    using Seen = std::vector<std::pair<WORD, HWND>>;
    EXPECT_EQ(scrolls, (Seen{{SB_THUMBTRACK, bar},
                             {SB_THUMBPOSITION, nullptr},
                             {SB_ENDSCROLL, nullptr},
                             {SB_THUMBPOSITION, bar},
                             {SB_ENDSCROLL, bar}}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Winsim, WindowsLiveAndDieAsOnWindows) {
    HWND edit = Child(u"edit");
    EXPECT_TRUE(SetWindowTextW(edit, u"abc"));
    EXPECT_EQ(winsim::Info(edit).text, u"abc");
    EXPECT_FALSE(SetWindowTextW(nullptr, u"x"));
    winsim::faults().controlClass = u"Edit";
    EXPECT_EQ(Child(u"EDIT"), nullptr);
    EXPECT_EQ(Child(u"COMBOBOX"), nullptr);
    EXPECT_EQ(SendMessageW(main, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(winsim::IsAlive(main));
    EXPECT_FALSE(winsim::IsAlive(edit)) << "children die with their parent";
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(SetWindowTextW(edit, u"late"));

    WNDCLASSW refusing = {};
    refusing.lpfnWndProc = [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        return msg == WM_CREATE ? -1 : 0;
    };
    refusing.lpszClassName = u"Refusing";
    RegisterClassW(&refusing);
    EXPECT_EQ(
        CreateWindowExW(0, u"Refusing", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(Winsim, QueueTimersAndClock) {
    SetTimer(main, 1, 500, nullptr);
    PostMessageW(main, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    EXPECT_EQ(winsim::Now(), 0u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(winsim::Now(), 500u) << "an empty queue waits for the next timer";
    seen.clear();
    winsim::AdvanceClock(1600);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_TIMER, WM_TIMER, WM_TIMER}));
    KillTimer(main, 1);
    PostQuitMessage(3);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_THROW(GetMessageW(&msg, nullptr, 0, 0), winsim::Hang);
}

TEST_F(Winsim, FoldersAndWildcards) {
    winsim::AddFile(u"C:\\M\\b.mp3");
    winsim::AddFile(u"C:\\M\\A.MP3", FILE_ATTRIBUTE_HIDDEN);
    winsim::AddFile(u"C:\\M\\c.mp3.txt");
    winsim::AddDirectory(u"C:\\M\\d.mp3");
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW(u"C:\\none\\*.mp3", &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(u"C:\\M\\*.wav", &found), INVALID_HANDLE_VALUE);
    HANDLE search = FindFirstFileW(u"c:\\m\\?.mp3", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    Texts names{found.cFileName};
    while (FindNextFileW(search, &found)) {
        names.push_back(found.cFileName);
    }
    EXPECT_EQ(names, (Texts{u"b.mp3", u"A.MP3", u"d.mp3"})) << "in the order they were added";
    EXPECT_EQ(winsim::OpenFindHandles(), 1);
    EXPECT_TRUE(FindClose(search));
    EXPECT_EQ(winsim::OpenFindHandles(), 0);

    // The pattern is tried on the 8.3 short name too, which keeps three units of the extension.
    winsim::AddFile(u"C:\\M\\song.mp3~");
    search = FindFirstFileW(u"C:\\M\\*.mp3", &found);
    names = {};
    do {
        names.push_back(std::u16string(found.cFileName) + u"|" + found.cAlternateFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, (Texts{u"b.mp3|", u"A.MP3|", u"d.mp3|", u"song.mp3~|SONG~1.MP3"}));
}

TEST_F(Winsim, ModuleFileNameIsCutAsWindowsCutsIt) {
    winsim::SetModulePath(u"C:\\abc.exe");
    WCHAR path[11];
    EXPECT_EQ(GetModuleFileNameW(nullptr, path, 11), 10u);
    EXPECT_EQ(std::u16string(path), u"C:\\abc.exe");
    EXPECT_EQ(GetModuleFileNameW(nullptr, path, 5), 5u);
    EXPECT_EQ(std::u16string(path), u"C:\\a");
    winsim::faults().moduleFileName = true;
    EXPECT_EQ(GetModuleFileNameW(nullptr, path, 11), 0u);
}

TEST_F(Winsim, MciDeviceNotifiesAsWindowsDoes) {
    const std::u16string open = u"open \"C:\\x (1) 'y'.mp3\" type mpegvideo alias song";
    winsim::AddMciFile(u"C:\\x (1) 'y'.mp3", 1000);
    EXPECT_EQ(mciSendStringW(u"play song", nullptr, 0, nullptr), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(mciSendStringW(open.c_str(), nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringW(open.c_str(), nullptr, 0, nullptr), MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(mciSendStringW(u"play song fast", nullptr, 0, nullptr), MCIERR_UNRECOGNIZED_COMMAND);
    // The device name ends its type at the first "!", with or without the type flag.
    winsim::AddMciFile(u"C:\\Hits!\\a!.mp3", 1000);
    EXPECT_EQ(mciSendStringW(u"open \"C:\\Hits!\\a!.mp3\" type mpegvideo alias song", nullptr, 0,
                             nullptr),
              MCIERR_INVALID_DEVICE_NAME);
    auto notifications = [] {
        std::vector<WPARAM> codes;
        for (const MSG& m : winsim::Queue()) {
            codes.push_back(m.message == MM_MCINOTIFY ? m.wParam : 0);
        }
        return codes;
    };
    mciSendStringW(u"play song notify", nullptr, 0, main);
    mciSendStringW(u"play song notify", nullptr, 0, main);
    mciSendStringW(u"pause song", nullptr, 0, nullptr);
    winsim::FailMci(u"stop", MCIERR_INTERNAL);
    EXPECT_EQ(mciSendStringW(u"stop song", nullptr, 0, nullptr), MCIERR_INTERNAL);
    winsim::AdvanceClock(5000);
    EXPECT_EQ(notifications(), (std::vector<WPARAM>{}));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), MM_MCINOTIFY), 1) << "superseded only";
    mciSendStringW(u"resume song", nullptr, 0, nullptr);
    winsim::AdvanceClock(1000);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), MM_MCINOTIFY), 2) << "the paused play ended";
    EXPECT_EQ(winsim::Mci().positionMs, 1000u);
    WCHAR reply[5];
    EXPECT_EQ(mciSendStringW(u"status song position", reply, 4, nullptr), MCIERR_PARAM_OVERFLOW);
    EXPECT_EQ(mciSendStringW(u"status song length", reply, 5, nullptr), 0u);
    EXPECT_EQ(std::u16string(reply), u"1000");
    mciSendStringW(u"seek song to 400", nullptr, 0, nullptr);
    mciSendStringW(u"play song notify", nullptr, 0, main);
    mciSendStringW(u"seek song to 400", nullptr, 0, nullptr); // ends the pending play
    mciSendStringW(u"play song notify", nullptr, 0, main);
    mciSendStringW(u"stop song", nullptr, 0, nullptr);
    EXPECT_EQ(notifications(), (std::vector<WPARAM>{MCI_NOTIFY_ABORTED, MCI_NOTIFY_ABORTED}));
    EXPECT_EQ(winsim::Mci().positionMs, 400u);
    EXPECT_EQ(winsim::MciLog().size(), 17u) << "every command is logged, failed ones too";
}

} // namespace

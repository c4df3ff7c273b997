// The window shell end to end on winsim: the entry point, the start and stop sequences,
// the control table, the window procedure's dispatch and the painted buttons.
#include "app/app.h"
#include "core/player.h"
#include "ui/ui.h"
#include "winsim/control.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::u16string FOLDER = u"C:\\Player";

class WindowShell : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        player = PlayerState{};
        winsim::SetModulePath(FOLDER + u"\\Tolvane.exe");
        winsim::AddFile(FOLDER + u"\\b.mp3");
        winsim::AddFile(FOLDER + u"\\A.mp3");
    }

    // Runs the program from its entry point; at the virtual time `at` (inside the message
    // loop) `whileRunning` looks at the world, then the window is closed as a user would.
    // Returns the exit code.
    static UINT RunUntilClosed(
        std::function<void()> whileRunning = [] {}, DWORD at = 1200) {
        winsim::ScheduleAt(at, [whileRunning] {
            whileRunning();
            PostMessageW(player.mainWindow, WM_CLOSE, 0, 0);
        });
        return RunEntry();
    }

    static UINT RunEntry() {
        try {
            TolvaneEntry();
        } catch (const winsim::ProcessExit& exit) {
            return exit.code;
        }
        ADD_FAILURE() << "TolvaneEntry returned instead of calling ExitProcess";
        return 0xDEAD;
    }

    static void ExpectOneStartupError(const std::u16string& text) {
        const auto& boxes = winsim::MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, u"Tolvane 0.6f - Startfehler");
        EXPECT_EQ(boxes[0].type, UINT(MB_OK | MB_ICONERROR));
    }
};

struct ExpectedControl {
    const char16_t* className;
    const char16_t* text;
    DWORD style;
    int x, y, width, height;
    UINT_PTR id;
    bool font;
};

// What a user finds in the window: the eleven controls in slot order.
const ExpectedControl EXPECTED_CONTROLS[ControlSlotCount] = {
    {u"EDIT", u"A.mp3", 0x50800880, 12, 10, 510, 34, 0, true}, // the scan's first entry
    {u"STATIC", u"00:00 / 00:00", 0x5000000C, 12, 52, 112, 22, 0, true},
    {u"SCROLLBAR", u"", 0x50000000, 132, 51, 390, 22, 201, false},
    {u"BUTTON", u"Zurueck", 0x5000000B, 12, 86, 100, 34, 101, true},
    {u"BUTTON", u"Play", 0x5000000B, 117, 86, 94, 34, 102, true},
    {u"BUTTON", u"Pause", 0x5000000B, 216, 86, 94, 34, 103, true},
    {u"BUTTON", u"Stop", 0x5000000B, 315, 86, 94, 34, 104, true},
    {u"BUTTON", u"Weiter", 0x5000000B, 414, 86, 108, 34, 105, true},
    {u"STATIC", u"Lautstaerke: 30%", 0x5000000C, 12, 134, 118, 22, 0, true},
    {u"SCROLLBAR", u"", 0x50000000, 132, 133, 390, 22, 106, false},
    {u"LISTBOX", u"", 0x50A00003, 12, 170, 510, 357, 200, true},
};

std::u16string Folded(std::u16string text) {
    for (auto& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return text;
}

TEST_F(WindowShell, FullRunFromEntryToClose) {
    bool looked = false;
    const UINT code = RunUntilClosed([&] {
        looked = true;
        const winsim::Window& main = winsim::Info(player.mainWindow);
        EXPECT_EQ(main.className, u"Tolvane06f");
        EXPECT_EQ(main.text, u"Tolvane 0.6f - Powered by Vantorel / Ossilane / MCI");
        EXPECT_EQ(main.style, 0x00CA0000u) << "caption, system menu, minimise box only";
        EXPECT_EQ(main.exStyle, 0u);
        EXPECT_EQ(main.x, CW_USEDEFAULT);
        EXPECT_EQ(main.y, CW_USEDEFAULT);
        EXPECT_EQ(main.width, 550);
        EXPECT_EQ(main.height, 585);
        EXPECT_EQ(main.instance, winsim::ModuleInstance());
        EXPECT_EQ(main.showCalls, 1);
        EXPECT_EQ(main.lastShow, SW_SHOWNORMAL);

        ASSERT_EQ(winsim::Fonts().size(), 1u);
        const HFONT font = winsim::Fonts()[0];
        EXPECT_EQ(player.uiFont, font);
        const winsim::Font& f = winsim::FontInfo(font);
        EXPECT_EQ(f.height, -16);
        EXPECT_EQ(f.weight, FW_NORMAL);
        EXPECT_EQ(f.quality, DWORD(CLEARTYPE_QUALITY));
        EXPECT_EQ(f.charSet, DWORD(DEFAULT_CHARSET));
        EXPECT_EQ(f.faceName, u"Segoe UI");

        for (int slot = 0; slot < ControlSlotCount; ++slot) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const ExpectedControl& want = EXPECTED_CONTROLS[slot];
            ASSERT_NE(player.controls[slot], nullptr);
            const winsim::Window& got = winsim::Info(player.controls[slot]);
            EXPECT_EQ(Folded(got.className), want.className);
            EXPECT_EQ(got.text, want.text);
            EXPECT_EQ(got.style, want.style);
            EXPECT_EQ(got.exStyle, 0u);
            EXPECT_EQ(got.x, want.x);
            EXPECT_EQ(got.y, want.y);
            EXPECT_EQ(got.width, want.width);
            EXPECT_EQ(got.height, want.height);
            EXPECT_EQ(got.id, want.id);
            EXPECT_EQ(got.parent, player.mainWindow);
            EXPECT_EQ(got.instance, winsim::ModuleInstance());
            EXPECT_EQ(got.fontMessages, want.font ? 1 : 0);
            if (want.font) {
                EXPECT_EQ(got.font, font);
                EXPECT_TRUE(got.fontRedraw);
            }
        }

        const winsim::Window& position = winsim::Info(player.controls[PositionBar]);
        EXPECT_EQ(position.scrollMin, 0);
        EXPECT_EQ(position.scrollMax, 1000);
        EXPECT_EQ(position.scrollPos, 0);
        const winsim::Window& volume = winsim::Info(player.controls[VolumeBar]);
        EXPECT_EQ(volume.scrollMin, 0);
        EXPECT_EQ(volume.scrollMax, 100);
        EXPECT_EQ(volume.scrollPos, 30);

        const winsim::Window& list = winsim::Info(player.controls[TrackList]);
        EXPECT_EQ(list.items, (std::vector<std::u16string>{u"A.mp3", u"b.mp3"}));
        EXPECT_EQ(list.selection, 0);
        EXPECT_EQ(winsim::Info(player.controls[StatusLine]).text, u"A.mp3");
        EXPECT_EQ(winsim::FindPatterns(), std::vector<std::u16string>{FOLDER + u"\\*.mp3"});
        EXPECT_TRUE(winsim::TimerActive(player.mainWindow, POLL_TIMER_ID));
        EXPECT_EQ(winsim::TimerPeriod(player.mainWindow, POLL_TIMER_ID), 500u);
        EXPECT_TRUE(winsim::MciLog().empty()) << "nothing plays before the user asks";
    });
    EXPECT_TRUE(looked);
    EXPECT_EQ(code, 0u);

    const winsim::Window& main = winsim::Info(player.mainWindow);
    EXPECT_FALSE(main.alive);
    EXPECT_EQ(main.destroyMessages, 1);
    EXPECT_FALSE(winsim::TimerActive(player.mainWindow, POLL_TIMER_ID));
    // Nothing was ever opened, and "close song" is still sent; its failure is ignored.
    EXPECT_EQ(winsim::MciLog(), std::vector<std::u16string>{u"close song"});
    EXPECT_EQ(winsim::DeleteCount(player.uiFont), 1);
    EXPECT_TRUE(winsim::QuitPosted());
    EXPECT_EQ(winsim::QuitCode(), 0);
    EXPECT_TRUE(winsim::MessageBoxes().empty());
}

TEST_F(WindowShell, StartupFailuresAreReportedAndExitWithZero) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char16_t* text;
        bool windowMade;
    };
    const Case cases[] = {
        {"module handle", [] { winsim::faults().moduleHandle = true; },
         u"GetModuleHandleW ist fehlgeschlagen.", false},
        {"class", [] { winsim::faults().registerClass = true; },
         u"RegisterClassW ist fehlgeschlagen.", false},
        {"main window", [] { winsim::faults().mainWindow = true; },
         u"CreateWindowExW ist fehlgeschlagen.", false},
        {"message loop", [] { winsim::faults().getMessage = true; },
         u"GetMessageW ist fehlgeschlagen.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.arrange();
        EXPECT_EQ(RunEntry(), 0u);
        ExpectOneStartupError(c.text);
        bool anyWindow = false;
        for (HWND w : winsim::AllWindows()) {
            anyWindow |= winsim::Info(w).parent == nullptr && winsim::IsAlive(w);
        }
        // A failing message loop ends the process with the window still up: no stop
        // sequence runs, so the alias is not closed by the program.
        EXPECT_EQ(anyWindow, c.windowMade);
        EXPECT_TRUE(winsim::MciLog().empty());
    }
}

// Before anything can load a DLL by name, and so before any window exists: a DLL lying in
// the music folder under a system DLL's name must never be the one loaded.
TEST_F(WindowShell, SystemDllsComeFromTheSystemFolderOnly) {
    const std::u16string altered = u" LOAD_WITH_ALTERED_SEARCH_PATH";
    const std::u16string winmm = u"LoadLibraryExW C:\\Windows\\system32\\winmm.dll" + altered;
    const std::u16string driver = u"LoadLibraryExW C:\\Windows\\system32\\mciqtz32.dll" + altered;
    const std::u16string noCurrentFolder = u"SetDllDirectoryW ";
    const struct {
        const char* system;
        DWORD version;
        const char* missing;
        std::vector<std::u16string> log;
    } cases[] = {
        {"with default DLL directories",
         0x23F00206,
         "",
         {u"SetDefaultDllDirectories LOAD_LIBRARY_SEARCH_SYSTEM32", winmm}},
        // Older systems get the MCI driver preloaded, so MCI's load by name finds it.
        {"without them", 0x1DB10106, "SetDefaultDllDirectories", {noCurrentFolder, driver, winmm}},
        {"Vista, where COM fails under them", 0x17720006, "", {noCurrentFolder, driver, winmm}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system);
        SetUp();
        winsim::faults().version = c.version;
        winsim::faults().missingExport = c.missing;
        winsim::faults().mainWindow = true;
        EXPECT_EQ(RunEntry(), 0u);
        EXPECT_EQ(winsim::LoaderLog(), c.log);
        EXPECT_NE(player.mciSendString, nullptr);
        EXPECT_NE(player.mciGetErrorString, nullptr);
    }
}

TEST_F(WindowShell, OneFailedControlLeavesOnlyItsSlotEmpty) {
    for (int failing = 0; failing < ControlSlotCount; ++failing) {
        SCOPED_TRACE(testing::Message() << "failing slot " << failing);
        SetUp();
        winsim::faults().createWindowCall = 2 + failing; // call 1 is the main window
        bool looked = false;
        EXPECT_EQ(RunUntilClosed([&] {
                      looked = true;
                      for (int slot = 0; slot < ControlSlotCount; ++slot) {
                          if (slot == failing) {
                              EXPECT_EQ(player.controls[slot], nullptr);
                              continue;
                          }
                          ASSERT_NE(player.controls[slot], nullptr) << "slot " << slot;
                          EXPECT_EQ(Folded(winsim::Info(player.controls[slot]).className),
                                    EXPECTED_CONTROLS[slot].className);
                          EXPECT_EQ(winsim::Info(player.controls[slot]).y,
                                    EXPECTED_CONTROLS[slot].y);
                      }
                      // Without a track list there is nothing to scan and nothing to poll.
                      const bool list = failing != TrackList;
                      EXPECT_EQ(winsim::FindPatterns().size(), list ? 1u : 0u);
                      EXPECT_EQ(winsim::TimerActive(player.mainWindow, POLL_TIMER_ID), list);
                  }),
                  0u);
        EXPECT_TRUE(looked);
        EXPECT_TRUE(winsim::MessageBoxes().empty());
    }
}

TEST_F(WindowShell, NullFontIsSentButNeverDeleted) {
    winsim::faults().createFont = true;
    EXPECT_EQ(RunUntilClosed([] {
                  EXPECT_EQ(player.uiFont, nullptr);
                  const winsim::Window& list = winsim::Info(player.controls[TrackList]);
                  EXPECT_EQ(list.fontMessages, 1);
                  EXPECT_EQ(list.font, nullptr);
              }),
              0u);
    EXPECT_EQ(winsim::DeleteCount(nullptr), 0);
    EXPECT_EQ(winsim::MciLog(), std::vector<std::u16string>{u"close song"});
}

TEST_F(WindowShell, WindowProcedureDispatchesAndReturns) {
    winsim::AddMciFile(FOLDER + u"\\A.mp3", 10000);
    RunUntilClosed([] {
        HWND w = player.mainWindow;
        // Any timer id runs the poll, and a poll with a track open asks for the position.
        EXPECT_EQ(MainWindowProc(w, WM_COMMAND, MAKEWPARAM(ID_PLAY, BN_CLICKED), 0), 0);
        winsim::ClearMciLog();
        EXPECT_EQ(MainWindowProc(w, WM_TIMER, 77, 0), 0);
        EXPECT_EQ(winsim::MciLog(), std::vector<std::u16string>{u"status song position"});
        EXPECT_EQ(MainWindowProc(w, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0), 0);
        EXPECT_EQ(MainWindowProc(w, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, 1234), 0);
        EXPECT_EQ(MainWindowProc(w, WM_COMMAND, MAKEWPARAM(0, 0x0100), 0), 0);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 999;
        item.hDC = winsim::CreateRecordingDC();
        item.rcItem = {0, 0, 94, 34};
        EXPECT_EQ(MainWindowProc(w, WM_DRAWITEM, 999, reinterpret_cast<LPARAM>(&item)), TRUE);
        // Messages it does not handle take the default path.
        EXPECT_EQ(MainWindowProc(w, WM_USER + 5, 1, 2), 0);
        EXPECT_TRUE(winsim::IsAlive(w));
    });
    EXPECT_EQ(winsim::MciLog().back(), u"close song");
}

// ---- the painted buttons --------------------------------------------------------------

using Kind = winsim::DrawCall::Kind;

struct ButtonCase {
    int slot;
    std::vector<std::vector<POINT>> triangles;
    std::vector<RECT> bars;
    const char16_t* label;
    RECT labelRect;
};

class TransportButtons : public WindowShell {
  protected:
    // Paints while the program runs, as Windows asks for paints from the message loop.
    void WhileRunning(std::function<void()> body) {
        bool ran = false;
        RunUntilClosed([&] {
            black = GetStockObject(BLACK_BRUSH);
            face = GetSysColorBrush(COLOR_BTNFACE);
            shadow = GetSysColorBrush(COLOR_BTNSHADOW);
            body();
            ran = true;
        });
        EXPECT_TRUE(ran);
    }
    HGDIOBJ black = nullptr, face = nullptr, shadow = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(TransportButtons, IconsAndLabelsSitWhereTheyShould) {
    WhileRunning([&] {
        const ButtonCase cases[] = {
            {PlayButton, {{{14, 8}, {29, 17}, {14, 26}}}, {}, u"Play", {35, 0, 89, 34}},
            {BackButton,
             {{{27, 9}, {15, 17}, {27, 25}}},
             {{11, 9, 14, 25}},
             u"Zurueck",
             {35, 0, 95, 34}},
            {NextButton,
             {{{13, 9}, {25, 17}, {13, 25}}},
             {{27, 9, 30, 25}},
             u"Weiter",
             {35, 0, 103, 34}},
            {PauseButton, {}, {{12, 8, 17, 26}, {23, 8, 28, 26}}, u"Pause", {35, 0, 89, 34}},
            {StopButton, {}, {{12, 9, 28, 25}}, u"Stop", {35, 0, 89, 34}},
        };
        for (const ButtonCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "slot " << c.slot);
            const int createdBefore = winsim::GdiCreated();
            const winsim::PaintResult paint = winsim::PaintButton(player.controls[c.slot]);
            EXPECT_EQ(paint.result, TRUE);
            EXPECT_EQ(winsim::GdiCreated(), createdBefore) << "drawing creates no GDI object";

            std::vector<std::vector<POINT>> triangles;
            std::vector<RECT> bars;
            const winsim::DrawCall* text = nullptr;
            HGDIOBJ selected = nullptr;
            ASSERT_GE(paint.calls.size(), 2u);
            EXPECT_EQ(paint.calls[0].kind, Kind::FillRect);
            EXPECT_EQ(paint.calls[0].object, face);
            EXPECT_EQ(paint.calls[1].kind, Kind::FrameRect);
            EXPECT_EQ(paint.calls[1].object, shadow);
            for (size_t i = 2; i < paint.calls.size(); ++i) {
                const winsim::DrawCall& call = paint.calls[i];
                switch (call.kind) {
                case Kind::SelectObject: selected = call.object; break;
                case Kind::Polygon:
                    EXPECT_EQ(selected, black) << "a triangle is filled with the black brush";
                    triangles.push_back(call.points);
                    break;
                case Kind::FillRect:
                    EXPECT_EQ(call.object, black);
                    bars.push_back(call.rect);
                    break;
                case Kind::DrawText: text = &call; break;
                default: break;
                }
            }
            ASSERT_EQ(triangles.size(), c.triangles.size());
            for (size_t t = 0; t < triangles.size(); ++t) {
                ASSERT_EQ(triangles[t].size(), 3u);
                for (int p = 0; p < 3; ++p) {
                    EXPECT_EQ(triangles[t][p].x, c.triangles[t][p].x) << "corner " << p;
                    EXPECT_EQ(triangles[t][p].y, c.triangles[t][p].y) << "corner " << p;
                }
            }
            ASSERT_EQ(bars.size(), c.bars.size());
            for (size_t b = 0; b < bars.size(); ++b) {
                EXPECT_TRUE(SameRect(bars[b], c.bars[b]))
                    << "bar " << b << " is {" << bars[b].left << "," << bars[b].top << ","
                    << bars[b].right << "," << bars[b].bottom << "}";
            }
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->text, c.label);
            EXPECT_EQ(text->count, -1);
            EXPECT_EQ(text->value, DWORD(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
            EXPECT_TRUE(SameRect(text->rect, c.labelRect));
            EXPECT_EQ(selected, static_cast<HGDIOBJ>(player.uiFont))
                << "the label uses the UI font";
        }
    });
}

TEST_F(TransportButtons, StateDoesNotChangeTheLookAndUnknownIdsDrawWeiter) {
    WhileRunning([&] {
        const auto released = winsim::PaintButton(player.controls[PlayButton], 0).calls;
        const auto pressed =
            winsim::PaintButton(player.controls[PlayButton], ODS_SELECTED | ODS_FOCUS).calls;
        const auto disabled = winsim::PaintButton(player.controls[PlayButton], ODS_DISABLED).calls;
        ASSERT_EQ(pressed.size(), released.size());
        ASSERT_EQ(disabled.size(), released.size());
        for (size_t i = 0; i < released.size(); ++i) {
            EXPECT_EQ(pressed[i].kind, released[i].kind) << "call " << i;
            EXPECT_EQ(disabled[i].kind, released[i].kind) << "call " << i;
            EXPECT_TRUE(SameRect(pressed[i].rect, released[i].rect)) << "call " << i;
        }

        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 150;
        item.hDC = winsim::CreateRecordingDC();
        item.rcItem = {0, 0, 94, 34};
        EXPECT_EQ(DrawTransportButton(&item), TRUE);
        int icons = 0;
        std::u16string label;
        for (const winsim::DrawCall& call : winsim::DrawCalls(item.hDC)) {
            icons +=
                call.kind == Kind::Polygon || (call.kind == Kind::FillRect && call.object == black);
            if (call.kind == Kind::DrawText) {
                label = call.text;
            }
        }
        EXPECT_EQ(icons, 0);
        EXPECT_EQ(label, u"Weiter");
    });
}

} // namespace

// A world for the player's logic: a main window whose procedure routes messages the way
// MainWindowProc does, the eleven controls in their slots, a folder of tracks and MCI.
#pragma once

#include "core/player.h"
#include "mci/mci_channel.h"
#include "transport/transport.h"
#include "winsim/control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace world {

using Texts = std::vector<std::u16string>;

inline const std::u16string FOLDER = u"C:\\Musik\\Tolvane";

// Only the handlers under test, so that a fault in the window shell cannot hide here.
inline LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: return OnCommand(wParam);
    case WM_TIMER: OnTimer(); return 0;
    case WM_HSCROLL: return OnHScroll(wParam, lParam);
    case MM_MCINOTIFY: return OnMediaNotify(wParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

struct ControlRow {
    const char16_t* className;
    DWORD style;
    int id;
};

// The controls as the layout creates them, in slot order.
inline const ControlRow CONTROL_ROWS[ControlSlotCount] = {
    {u"EDIT", 0x50800880, 0},
    {u"STATIC", 0x50000000, 0},
    {u"SCROLLBAR", 0x50000000, 201},
    {u"BUTTON", 0x5000000B, ID_BACK},
    {u"BUTTON", 0x5000000B, ID_PLAY},
    {u"BUTTON", 0x5000000B, ID_PAUSE},
    {u"BUTTON", 0x5000000B, ID_STOP},
    {u"BUTTON", 0x5000000B, ID_NEXT},
    {u"STATIC", 0x50000000, 0},
    {u"SCROLLBAR", 0x50000000, ID_VOLUME_BAR},
    {u"LISTBOX", 0x50A00003, ID_TRACK_LIST},
};

class PlayerTest : public ::testing::Test {
  public: // the helpers serve table rows outside the fixture too
    void SetUp() override {
        winsim::Reset();
        player = PlayerState{};
        LoadWinmm(); // as the entry point does first
        player.volumePercent = INITIAL_VOLUME_PERCENT;
        winsim::SetModulePath(FOLDER + u"\\Tolvane.exe");
    }

    // A file in the folder (delivered in the order added) that MCI opens or refuses.
    static void AddTrack(const std::u16string& name, DWORD lengthMs = 180000,
                         MCIERROR openError = 0, const std::u16string& folder = FOLDER) {
        winsim::AddFile(folder + u"\\" + name);
        winsim::AddMciFile(folder + u"\\" + name, lengthMs, openError);
    }

    // The window, its controls and the start sequence's steps for bars, labels and list.
    static void Start() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestWindowProc;
        wc.lpszClassName = u"TolvaneTest";
        ASSERT_NE(RegisterClassW(&wc), 0);
        player.mainWindow = CreateWindowExW(0, u"TolvaneTest", u"", 0, 0, 0, 550, 585, nullptr,
                                            nullptr, winsim::ModuleInstance(), nullptr);
        ASSERT_NE(player.mainWindow, nullptr);
        for (int slot = 0; slot < ControlSlotCount; ++slot) {
            const ControlRow& row = CONTROL_ROWS[slot];
            player.controls[slot] = CreateWindowExW(
                0, row.className, u"", row.style, 0, 0, 100, 34, player.mainWindow,
                reinterpret_cast<HMENU>(INT_PTR{row.id}), winsim::ModuleInstance(), nullptr);
            ASSERT_NE(player.controls[slot], nullptr);
        }
        UpdateVolumeLabel();
        UpdateTimeLabel();
        SetUpPositionBar();
        SetUpVolumeBar();
        ScanFolder();
        winsim::ClearMciLog();
    }

    static HWND Control(ControlSlot slot) {
        return player.controls[slot];
    }
    static std::u16string Text(ControlSlot slot) {
        return winsim::Info(player.controls[slot]).text;
    }
    static std::u16string Status() {
        return Text(StatusLine);
    }
    static int Bar(ControlSlot slot) {
        return winsim::Info(player.controls[slot]).scrollPos;
    }
    static const winsim::Window& List() {
        return winsim::Info(player.controls[TrackList]);
    }

    // The user's actions; Pump delivers what MCI posted meanwhile.
    static void Click(int id, WORD code = BN_CLICKED) {
        for (int slot = BackButton; slot <= NextButton; ++slot) {
            if (winsim::Info(player.controls[slot]).id == UINT_PTR(id)) {
                winsim::ClickButton(player.controls[slot], code);
            }
        }
        winsim::Pump();
    }
    static void Play() {
        Click(ID_PLAY);
    }
    static void Pause() {
        Click(ID_PAUSE);
    }
    static void Stop() {
        Click(ID_STOP);
    }
    static void Next() {
        Click(ID_NEXT);
    }
    static void Back() {
        Click(ID_BACK);
    }
    static void DoubleClickEntry(int index) {
        winsim::ClickList(player.controls[TrackList], index, LBN_SELCHANGE);
        winsim::ClickList(player.controls[TrackList], index, LBN_DBLCLK);
        winsim::Pump();
    }
    static void Notify(WPARAM code) {
        PostMessageW(player.mainWindow, MM_MCINOTIFY, code, 1);
        winsim::Pump();
    }

    // The MCI log since the last call.
    static Texts TakeLog() {
        Texts log = winsim::MciLog();
        winsim::ClearMciLog();
        return log;
    }

    static std::u16string OpenCommand(const std::u16string& name,
                                      const std::u16string& folder = FOLDER) {
        return u"open \"" + folder + u"\\" + name + u"\" type mpegvideo alias song";
    }
    static std::u16string VolumeCommand(int percent) {
        return u"setaudio song volume to " + Number(percent * 10);
    }
    static std::u16string Number(unsigned long long n) {
        std::u16string digits;
        do {
            digits.insert(digits.begin(), char16_t(u'0' + n % 10));
        } while (n /= 10);
        return digits;
    }
    // What a successful start of the selected entry sends.
    static Texts StartCommands(const std::u16string& name, int volumePercent = 30) {
        return {u"close song",
                OpenCommand(name),
                u"set song time format milliseconds",
                u"status song length",
                VolumeCommand(volumePercent),
                u"play song notify"};
    }
    static Texts Join(Texts a, const Texts& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

} // namespace world

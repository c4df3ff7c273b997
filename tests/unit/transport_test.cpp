// Position and volume: the poll, the time label, the two bars, seeking and the volume.
#include "world.h"

namespace {

using winsim::Release;
using world::Texts;

constexpr DWORD MAX_MS = 4294967295u;

class Transport : public world::PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        AddTrack(u"a.mp3", 245000);
        AddTrack(u"b.mp3", 200000);
        AddTrack(u"lang.mp3", MAX_MS);
        AddTrack(u"zwei Stunden.mp3", 7200000);
        Start();
    }
    static void PlayEntry(int index) {
        DoubleClickEntry(index);
        TakeLog();
    }
    static std::u16string Seek(unsigned long long ms) {
        return u"seek song to " + Number(ms);
    }
};

TEST_F(Transport, PollMovesBarAndLabelWithTheTrack) {
    EXPECT_EQ(Text(TimeLabel), u"00:00 / 00:00");
    StartPollTimer();
    winsim::AdvanceClock(2000);
    EXPECT_EQ(winsim::MciLog(), Texts{}) << "nothing is open, nothing is polled";
    PlayEntry(0);
    winsim::AdvanceClock(83500);
    EXPECT_EQ(Text(TimeLabel), u"01:23 / 04:05") << "seconds are truncated";
    EXPECT_EQ(Bar(PositionBar), 340);
    EXPECT_EQ(player.positionMs, 83500u);
    const Texts log = TakeLog();
    EXPECT_EQ(log.size(), 167u) << "one query per 500 ms";
    EXPECT_EQ(log.back(), u"status song position");

    winsim::FailMci(u"status song position", MCIERR_INTERNAL);
    winsim::AdvanceClock(500);
    EXPECT_EQ(Text(TimeLabel), u"01:23 / 04:05") << "a failed poll changes nothing";
    EXPECT_EQ(Bar(PositionBar), 340);
    winsim::AdvanceClock(500);
    EXPECT_EQ(Text(TimeLabel), u"01:24 / 04:05") << "the next tick tries again";
    EXPECT_EQ(Bar(PositionBar), 344);

    Pause(); // a paused track is polled like a playing one
    TakeLog();
    SetWindowTextW(Control(TimeLabel), u"-");
    winsim::AdvanceClock(500);
    EXPECT_EQ(TakeLog(), Texts{u"status song position"});
    EXPECT_EQ(Text(TimeLabel), u"01:24 / 04:05");
}

TEST_F(Transport, PollOfALongTrackNeeds64Bits) {
    PlayEntry(3); // two hours: 4320000 ms times 1000 does not fit 32 bits
    Pause();
    winsim::Scroll(Control(PositionBar), SB_THUMBPOSITION, 600);
    SetScrollPos(Control(PositionBar), SB_CTL, 0, TRUE);
    OnTimer();
    EXPECT_EQ(player.positionMs, 4320000u);
    EXPECT_EQ(Bar(PositionBar), 600);
    EXPECT_EQ(Text(TimeLabel), u"72:00 / 120:00");
}

TEST_F(Transport, PositionBeyondTheLengthPinsTheBar) {
    PlayEntry(2); // lang.mp3, 4294967295 ms
    Pause();
    TakeLog();
    winsim::Scroll(Control(PositionBar), SB_THUMBPOSITION, 1000);
    EXPECT_EQ(TakeLog(), (Texts{Seek(MAX_MS), u"play song notify", u"pause song"}));
    // MCI reporting a position past the length it gave must not overflow the bar.
    player.lengthMs = 60000;
    OnTimer();
    EXPECT_EQ(Bar(PositionBar), 1000);
    EXPECT_EQ(player.positionMs, MAX_MS);
    EXPECT_EQ(Text(TimeLabel), u"71582:47 / 01:00");
}

TEST_F(Transport, TimeLabelMinutesAreNeverCut) {
    const struct {
        DWORD position, length;
        const char16_t* label;
    } cases[] = {
        {0, 0, u"00:00 / 00:00"},
        {65000, 600000, u"01:05 / 10:00"},
        {599999, 5999000, u"09:59 / 99:59"},
        {6000000, 6000999, u"100:00 / 100:00"},
        {MAX_MS, MAX_MS, u"71582:47 / 71582:47"},
    };
    for (const auto& c : cases) {
        player.positionMs = c.position;
        player.lengthMs = c.length;
        UpdateTimeLabel();
        EXPECT_EQ(Text(TimeLabel), c.label) << c.position << " of " << c.length;
    }
}

TEST_F(Transport, UnknownLengthKeepsTheBarAndSeeksToTheStart) {
    winsim::FailMci(u"status song length", MCIERR_INTERNAL);
    PlayEntry(1);
    EXPECT_EQ(player.lengthMs, 0u);
    SetScrollPos(Control(PositionBar), SB_CTL, 123, TRUE);
    StartPollTimer();
    for (const char16_t* label : {u"00:00 / 00:00", u"00:01 / 00:00", u"00:01 / 00:00"}) {
        SetWindowTextW(Control(TimeLabel), u"-");
        winsim::AdvanceClock(500);
        EXPECT_EQ(Text(TimeLabel), label) << "the label is rewritten at every poll";
    }
    EXPECT_EQ(Bar(PositionBar), 123);
    TakeLog();
    for (WORD code : {SB_PAGERIGHT, SB_THUMBTRACK}) {
        winsim::Scroll(Control(PositionBar), code, 900);
        EXPECT_EQ(TakeLog(), (Texts{Seek(0), u"play song notify"})) << "code " << code;
    }
    EXPECT_EQ(Bar(PositionBar), 900);
}

TEST_F(Transport, PositionBarCodesStepClampAndSeek) {
    const struct {
        WORD code;
        int from;
        WORD thumb;
        int to; // -1: nothing happens
    } cases[] = {
        {SB_LINELEFT, 5, 0, 0},       {SB_LINELEFT, 500, 0, 490},   {SB_LINERIGHT, 995, 0, 1000},
        {SB_LINERIGHT, 500, 0, 510},  {SB_PAGELEFT, 30, 0, 0},      {SB_PAGELEFT, 500, 0, 450},
        {SB_PAGERIGHT, 980, 0, 1000}, {SB_PAGERIGHT, 500, 0, 550},  {SB_THUMBPOSITION, 0, 250, 250},
        {SB_THUMBTRACK, 0, 999, 999}, {SB_THUMBTRACK, 700, 0, 0},   {SB_LEFT, 500, 0, -1},
        {SB_RIGHT, 500, 0, -1},       {SB_ENDSCROLL, 500, 300, -1}, {9, 500, 300, -1},
    };
    PlayEntry(1); // b.mp3, 200 s
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " from " << c.from);
        SetScrollPos(Control(PositionBar), SB_CTL, c.from, TRUE);
        player.positionMs = 777;
        winsim::Scroll(Control(PositionBar), c.code, c.thumb);
        if (c.to < 0) {
            EXPECT_EQ(TakeLog(), Texts{});
            EXPECT_EQ(Bar(PositionBar), c.from);
            EXPECT_EQ(player.positionMs, 777u);
            continue;
        }
        const DWORD target = 200000u * DWORD(c.to) / 1000;
        EXPECT_EQ(Bar(PositionBar), c.to);
        EXPECT_EQ(TakeLog(), (Texts{Seek(target), u"play song notify"}));
        EXPECT_EQ(player.positionMs, target);
    }
}

TEST_F(Transport, PositionBarRestsWhileNothingIsOpen) {
    SetScrollPos(Control(PositionBar), SB_CTL, 400, TRUE);
    for (WORD code = SB_LINELEFT; code <= SB_ENDSCROLL; ++code) {
        winsim::Scroll(Control(PositionBar), code, 600);
    }
    EXPECT_EQ(Bar(PositionBar), 400);
    EXPECT_EQ(winsim::MciLog(), Texts{});
    EXPECT_EQ(Text(TimeLabel), u"00:00 / 00:00");
}

TEST_F(Transport, SeekContinuesInTheStateTheTrackHad) {
    PlayEntry(1);
    winsim::Scroll(Control(PositionBar), SB_THUMBPOSITION, 250);
    EXPECT_EQ(Text(TimeLabel), u"00:50 / 03:20") << "the label takes the target at once";
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Playing);
    EXPECT_EQ(winsim::Mci().positionMs, 50000u);

    Pause();
    TakeLog();
    winsim::Scroll(Control(PositionBar), SB_THUMBPOSITION, 500);
    EXPECT_EQ(TakeLog(), (Texts{Seek(100000), u"play song notify", u"pause song"}));
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Paused);
    EXPECT_EQ(player.isPaused, 1);
    EXPECT_EQ(Status(), u"Pause");

    Stop();
    TakeLog();
    winsim::Scroll(Control(PositionBar), SB_LINERIGHT);
    EXPECT_EQ(TakeLog(), (Texts{Seek(102000), u"play song notify"}));
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Playing) << "a stopped track plays on";
    EXPECT_EQ(Status(), u"Gestoppt");
    // The seek's play asks for the end: the track after it follows as after a start.
    winsim::AdvanceClock(98000);
    EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\lang.mp3");
}

TEST_F(Transport, DraggingSeeksAtEveryStep) {
    PlayEntry(1);
    for (WORD thumb : {100, 200, 300}) {
        winsim::Scroll(Control(PositionBar), SB_THUMBTRACK, thumb);
    }
    winsim::Scroll(Control(PositionBar), SB_THUMBPOSITION, 300);
    winsim::Scroll(Control(PositionBar), SB_ENDSCROLL);
    EXPECT_EQ(TakeLog(),
              (Texts{Seek(20000), u"play song notify", Seek(40000), u"play song notify",
                     Seek(60000), u"play song notify", Seek(60000), u"play song notify"}));
}

// A gesture held on the position bar across its track's end: the track after it opens and plays
// from its start, and nothing of the gesture, its release included, reaches it.
TEST_F(Transport, AGestureHeldAcrossTheEndOfItsTrackLeavesTheNextTrackAlone) {
    const struct {
        const char* what;
        int from;  // the bar at the button-down
        WORD code; // what the held button sends, again and again
        WORD thumb;
        int release; // the release's SB_THUMBPOSITION, or -1
    } gestures[] = {
        {"thumb dragged to 99.6 %", 0, SB_THUMBTRACK, 996, 996},
        {"arrow held at the end", 990, SB_LINERIGHT, 0, -1},
        {"page area held at the end", 960, SB_PAGERIGHT, 0, -1},
    };
    HWND bar = Control(PositionBar);
    StartPollTimer();
    for (const auto& g : gestures) {
        for (Release order : {Release::CaptureFirst, Release::CaptureLast}) {
            SCOPED_TRACE(testing::Message() << g.what << ", the capture let go "
                                            << (order == Release::CaptureFirst ? "first" : "last"));
            PlayEntry(0); // a.mp3, 245 s
            SetScrollPos(bar, SB_CTL, g.from, TRUE);
            winsim::HoldBar(bar);
            winsim::Scroll(bar, g.code, g.thumb);
            winsim::AdvanceClock(1500); // a ends while the button is down
            ASSERT_EQ(winsim::Mci().path, world::FOLDER + u"\\b.mp3");
            TakeLog();
            for (int repeat = 0; repeat < 3; ++repeat) {
                winsim::Scroll(bar, g.code, g.thumb);
                winsim::AdvanceClock(100);
            }
            winsim::ReleaseBar(bar, order, g.release);
            winsim::AdvanceClock(1000);
            for (const std::u16string& command : TakeLog()) {
                EXPECT_EQ(command, u"status song position") << "b.mp3 was not sought";
            }
            EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\b.mp3") << "nor skipped";
            EXPECT_LT(winsim::Mci().positionMs, 5000u);
            EXPECT_LT(Bar(PositionBar), 25) << "the bar follows b.mp3";
            // The next gesture acts as always.
            winsim::HoldBar(bar);
            winsim::Scroll(bar, SB_THUMBTRACK, 500);
            winsim::ReleaseBar(bar, order, 500);
            EXPECT_EQ(TakeLog(), (Texts{Seek(100000), u"play song notify", Seek(100000),
                                        u"play song notify"}));
        }
    }
}

// A gesture ends too when the bar loses the mouse without SB_ENDSCROLL, and a track that changes
// outside any gesture leaves lone scroll events (another program's, the suite's) as they were.
TEST_F(Transport, LoneScrollEventsSeekAfterALostGestureAndAfterATrackChange) {
    HWND bar = Control(PositionBar);
    StartPollTimer();
    PlayEntry(0);
    winsim::HoldBar(bar);
    winsim::Scroll(bar, SB_THUMBTRACK, 996);
    winsim::AdvanceClock(1500);
    winsim::LoseCapture();
    TakeLog();
    SetScrollPos(bar, SB_CTL, 100, TRUE);
    winsim::Scroll(bar, SB_LINERIGHT);
    EXPECT_EQ(TakeLog().at(0), Seek(22000)) << "the next lone event";

    winsim::HoldBar(bar);
    winsim::Scroll(bar, SB_THUMBTRACK, 500);
    winsim::ClickButton(Control(NextButton)); // the track changes in the gesture's hold too
    winsim::LoseCapture();
    winsim::AdvanceClock(500); // the poll sees the bar without the mouse
    TakeLog();
    winsim::HoldBar(bar);
    winsim::Scroll(bar, SB_PAGERIGHT);
    EXPECT_EQ(TakeLog().at(0), Seek(MAX_MS / 20)) << "the next gesture";
    winsim::ReleaseBar(bar, Release::CaptureFirst);

    winsim::ClickButton(Control(NextButton));
    TakeLog();
    winsim::Scroll(bar, SB_THUMBPOSITION, 250);
    EXPECT_EQ(TakeLog(), (Texts{Seek(1800000), u"play song notify"}));
}

TEST_F(Transport, ThumbsBeyondTheBarGiveTargetsBeyondTheTrack) {
    PlayEntry(2); // 4294967295 ms, paused
    Pause();
    TakeLog();
    winsim::Scroll(Control(PositionBar), SB_THUMBTRACK, 1000);
    EXPECT_EQ(TakeLog().at(0), Seek(MAX_MS)) << "the 64-bit product does not overflow";
    winsim::Scroll(Control(PositionBar), SB_THUMBTRACK, 1500);
    EXPECT_EQ(TakeLog().at(0), Seek(MAX_MS)) << "a target beyond 32 bits saturates";
    EXPECT_EQ(player.seekTargetMs, MAX_MS);
    winsim::Pump(); // a seek to the very end plays out at once, and the chain goes on
    PlayEntry(1);   // 200 s: 65535 thousandths lie far past the end, which MCI refuses
    winsim::Scroll(Control(PositionBar), SB_THUMBTRACK, 65535);
    EXPECT_EQ(TakeLog().at(0), Seek(13107000));
    EXPECT_EQ(player.positionMs, 13107000u);
}

TEST_F(Transport, ScrollFromNeitherBarDoesNothing) {
    PlayEntry(0);
    for (HWND sender : {Control(TrackList), Control(PlayButton), HWND{}}) {
        EXPECT_EQ(SendMessageW(player.mainWindow, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50),
                               reinterpret_cast<LPARAM>(sender)),
                  0);
    }
    EXPECT_EQ(TakeLog(), Texts{});
    EXPECT_EQ(Bar(PositionBar), 0);
    EXPECT_EQ(Bar(VolumeBar), 30);
}

TEST_F(Transport, VolumeBarCodesWithAndWithoutATrack) {
    const struct {
        WORD code;
        int from;
        WORD thumb;
        int to; // -1: nothing happens
    } cases[] = {
        {SB_LINELEFT, 1, 0, 0},         {SB_LINELEFT, 30, 0, 28},
        {SB_LINERIGHT, 99, 0, 100},     {SB_PAGELEFT, 5, 0, 0},
        {SB_PAGERIGHT, 95, 0, 100},     {SB_PAGERIGHT, 30, 0, 40},
        {SB_THUMBPOSITION, 30, 45, 45}, {SB_THUMBTRACK, 30, 250, 100},
        {SB_THUMBTRACK, 30, 0, 0},      {SB_LEFT, 50, 0, 0},
        {SB_RIGHT, 50, 0, 100},         {SB_ENDSCROLL, 50, 70, -1},
    };
    for (bool open : {false, true}) {
        if (open) {
            PlayEntry(0);
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "code " << c.code << " from " << c.from << (open ? " open" : ""));
            SetScrollPos(Control(VolumeBar), SB_CTL, c.from, TRUE);
            player.volumePercent = c.from;
            SetWindowTextW(Control(VolumeLabel), u"-");
            winsim::Scroll(Control(VolumeBar), c.code, c.thumb);
            if (c.to < 0) {
                EXPECT_EQ(Text(VolumeLabel), u"-");
                EXPECT_EQ(player.volumePercent, c.from);
                EXPECT_EQ(TakeLog(), Texts{});
                continue;
            }
            EXPECT_EQ(Bar(VolumeBar), c.to);
            EXPECT_EQ(player.volumePercent, c.to);
            EXPECT_EQ(Text(VolumeLabel), u"Lautstaerke: " + Number(c.to) + u"%");
            EXPECT_EQ(TakeLog(), open ? Texts{VolumeCommand(c.to)} : Texts{});
        }
    }
}

TEST_F(Transport, VolumeSetWhileClosedReachesTheNextTrack) {
    EXPECT_EQ(Text(VolumeLabel), u"Lautstaerke: 30%");
    winsim::Scroll(Control(VolumeBar), SB_THUMBPOSITION, 45);
    EXPECT_EQ(Text(VolumeLabel), u"Lautstaerke: 45%");
    EXPECT_EQ(winsim::MciLog(), Texts{});
    Play();
    EXPECT_EQ(TakeLog(), StartCommands(u"a.mp3", 45));
    EXPECT_EQ(winsim::Mci().volume, 450);
    for (void (*state)() : {&Pause, &Stop}) {
        state();
        TakeLog();
        winsim::Scroll(Control(VolumeBar), SB_LINERIGHT);
        EXPECT_EQ(TakeLog(), Texts{VolumeCommand(player.volumePercent)}) << "sent at once";
    }
    EXPECT_EQ(winsim::Mci().volume, 490);
}

} // namespace

// Playback control and command routing: what MCI receives and what the user sees.
#include "world.h"

#include <algorithm>
#include <functional>

namespace {

using world::Texts;

class Playback : public world::PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        AddTrack(u"b.mp3", 20000);
        AddTrack(u"a.mp3", 10000);
        AddTrack(u"c.mp3", 30000);
        Start();
    }
};

enum class From { Closed, Open, Paused, Stopped };

void Arrange(From from) {
    if (from != From::Closed) {
        world::PlayerTest::Play();
    }
    if (from == From::Paused) {
        world::PlayerTest::Pause();
    }
    if (from == From::Stopped) {
        world::PlayerTest::Stop();
    }
    world::PlayerTest::TakeLog();
}

struct Row {
    const char* event;
    From from;
    std::function<void()> act;
    Texts commands;
    std::u16string status;
    int isOpen, isPaused;
};

TEST_F(Playback, TransitionTable) {
    using P = world::PlayerTest;
    const auto noSelection = [] {
        SendMessageW(P::Control(TrackList), LB_SETCURSEL, WPARAM(-1), 0);
        OnCommand(MAKEWPARAM(ID_TRACK_LIST, LBN_DBLCLK));
    };
    const auto openFails = [] {
        winsim::FailMci(u"open", MCIERR_FILE_NOT_FOUND);
        P::DoubleClickEntry(0);
    };
    const auto playFails = [] {
        winsim::FailMci(u"play song notify", MCIERR_INTERNAL);
        P::DoubleClickEntry(0);
    };
    const auto seek = [] { winsim::Scroll(P::Control(PositionBar), SB_THUMBPOSITION, 500); };
    const Texts start = StartCommands(u"a.mp3");
    const Texts startB = StartCommands(u"b.mp3");
    const Texts openFailed = {u"close song", OpenCommand(u"a.mp3")};
    const Texts playFailed = Join(start, {u"close song"});
    const std::u16string openError = winsim::MciErrorText(MCIERR_FILE_NOT_FOUND);
    const std::u16string playError = winsim::MciErrorText(MCIERR_INTERNAL);
    const Row rows[] = {
        {"no selection", From::Closed, noSelection, {}, u"a.mp3", 0, 0},
        {"no selection", From::Open, noSelection, {}, u"a.mp3", 1, 0},
        {"no selection", From::Paused, noSelection, {}, u"Pause", 1, 1},
        {"open fails", From::Closed, openFails, openFailed, openError, 0, 0},
        {"open fails", From::Open, openFails, openFailed, openError, 0, 0},
        {"open fails", From::Paused, openFails, openFailed, openError, 0, 0},
        {"play fails", From::Closed, playFails, playFailed, playError, 0, 0},
        {"play fails", From::Open, playFails, playFailed, playError, 0, 0},
        {"play fails", From::Paused, playFails, playFailed, playError, 0, 0},
        {"double click", From::Closed, [] { P::DoubleClickEntry(0); }, start, u"a.mp3", 1, 0},
        {"double click", From::Open, [] { P::DoubleClickEntry(0); }, start, u"a.mp3", 1, 0},
        {"double click", From::Paused, [] { P::DoubleClickEntry(0); }, start, u"a.mp3", 1, 0},
        {"Play", From::Closed, P::Play, start, u"a.mp3", 1, 0},
        {"Play", From::Open, P::Play, start, u"a.mp3", 1, 0},
        {"Play", From::Paused, P::Play, {u"resume song"}, u"Wiedergabe", 1, 0},
        {"Pause", From::Closed, P::Pause, {}, u"a.mp3", 0, 0},
        {"Pause", From::Open, P::Pause, {u"pause song"}, u"Pause", 1, 1},
        {"Pause", From::Paused, P::Pause, {u"pause song"}, u"Pause", 1, 1},
        {"Stop", From::Closed, P::Stop, {}, u"a.mp3", 0, 0},
        {"Stop", From::Open, P::Stop, {u"stop song"}, u"Gestoppt", 1, 0},
        {"Stop", From::Paused, P::Stop, {u"stop song"}, u"Gestoppt", 1, 0},
        {"end of track", From::Closed, [] { P::Notify(MCI_NOTIFY_SUCCESSFUL); }, startB, u"b.mp3",
         1, 0},
        {"end of track", From::Open, [] { P::Notify(MCI_NOTIFY_SUCCESSFUL); }, startB, u"b.mp3", 1,
         0},
        {"end of track", From::Paused, [] { P::Notify(MCI_NOTIFY_SUCCESSFUL); }, startB, u"b.mp3",
         1, 0},
        {"seek", From::Closed, seek, {}, u"a.mp3", 0, 0},
        {"seek", From::Open, seek, {u"seek song to 5000", u"play song notify"}, u"a.mp3", 1, 0},
        {"seek",
         From::Paused,
         seek,
         {u"seek song to 5000", u"play song notify", u"pause song"},
         u"Pause",
         1,
         1},
        // The seek aborted the pending notification; the resumed track's end must still
        // start the next entry.
        {"seek, Play, end of track", From::Paused,
         [seek] {
             seek();
             P::Play();
             winsim::AdvanceClock(5000);
         },
         Join({u"seek song to 5000", u"play song notify", u"pause song", u"resume song"}, startB),
         u"b.mp3", 1, 0},
    };
    const char* const fromNames[] = {"Closed", "Open", "Paused"};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.event << " from " << fromNames[int(row.from)]);
        SetUp();
        Arrange(row.from);
        row.act();
        winsim::Pump(); // notifications MCI posted for ended plays must change nothing
        EXPECT_EQ(TakeLog(), row.commands);
        EXPECT_EQ(Status(), row.status);
        EXPECT_EQ(player.isOpen, row.isOpen);
        EXPECT_EQ(player.isPaused, row.isPaused);
        EXPECT_EQ(winsim::Mci().open, row.isOpen == 1) << "the device agrees with the flag";
    }
}

TEST_F(Playback, ErrorTextFallsBackWhenMciHasNone) {
    winsim::faults().mciErrorString = true;
    winsim::FailMci(u"open", MCIERR_FILE_NOT_FOUND);
    Play();
    EXPECT_EQ(Status(), u"MP3 konnte nicht abgespielt werden.");
}

// A broken system: whatever is missing, nothing reaches MCI, no call goes through a null
// pointer, every command answers an error, and the list and the window work as before.
TEST_F(Playback, WithoutWinmmEveryCommandFailsAndTheListStillWorks) {
    const struct {
        const char* what;
        std::function<void()> arrange;
    } cases[] = {
        {"no winmm", [] { winsim::faults().winmm = true; }},
        {"no mciSendStringW", [] { winsim::faults().missingExport = "mciSendStringW"; }},
        {"no mciGetErrorStringW", [] { winsim::faults().missingExport = "mciGetErrorStringW"; }},
        {"no system folder", [] { winsim::faults().systemFolder = true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        player.mciSendString = nullptr;
        player.mciGetErrorString = nullptr;
        c.arrange();
        LoadWinmm();
        EXPECT_EQ(player.mciSendString, nullptr);
        EXPECT_EQ(player.mciGetErrorString, nullptr);
        Play();
        EXPECT_EQ(Status(), u"MP3 konnte nicht abgespielt werden.");
        EXPECT_EQ(player.isOpen, 0);
        Next();
        EXPECT_EQ(List().selection, 1);
        EXPECT_EQ(Status(), u"MP3 konnte nicht abgespielt werden.");
        Pause();
        Stop();
        winsim::Scroll(Control(VolumeBar), SB_LINERIGHT);
        winsim::AdvanceClock(1000);
        EXPECT_EQ(Text(VolumeLabel), u"Lautstaerke: 32%");
        EXPECT_TRUE(winsim::MciLog().empty());
    }
}

TEST_F(Playback, ResumeGoesToThePausedTrackAndAFailedOneRestartsTheSelection) {
    Play();
    Pause();
    winsim::ClickList(Control(TrackList), 1, LBN_SELCHANGE);
    EXPECT_EQ(Status(), u"b.mp3");
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Paused) << "a selection plays nothing";
    TakeLog();
    Play();
    EXPECT_EQ(TakeLog(), Texts{u"resume song"});
    EXPECT_EQ(Status(), u"Wiedergabe");
    EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\a.mp3");

    Pause();
    TakeLog();
    winsim::FailMci(u"resume song", MCIERR_INTERNAL);
    Play();
    EXPECT_EQ(TakeLog(), Join({u"resume song"}, StartCommands(u"b.mp3")));
    EXPECT_EQ(Status(), u"b.mp3");
    EXPECT_EQ(player.isPaused, 0);
}

TEST_F(Playback, NotificationsOtherThanSuccessChangeNothing) {
    for (From from : {From::Open, From::Paused}) {
        for (WPARAM code : {MCI_NOTIFY_ABORTED, MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_FAILURE}) {
            SCOPED_TRACE(testing::Message()
                         << "code " << code << " paused " << (from == From::Paused));
            SetUp();
            Arrange(from);
            const std::u16string status = Status();
            Notify(code);
            EXPECT_EQ(TakeLog(), Texts{});
            EXPECT_EQ(Status(), status);
            EXPECT_EQ(player.isPaused, from == From::Paused ? 1 : 0);
            EXPECT_EQ(List().selection, 0);
        }
    }
}

TEST_F(Playback, DoubleClickOnAButtonActsTwice) {
    // The second click of a double click arrives as BN_DBLCLK.
    Next();
    Click(ID_NEXT, BN_DBLCLK);
    EXPECT_EQ(List().selection, 2) << "two entries on from a";
    Pause();
    TakeLog();
    Play();
    Click(ID_PLAY, BN_DBLCLK);
    EXPECT_EQ(TakeLog(), Join({u"resume song"}, StartCommands(u"c.mp3")));
    EXPECT_EQ(Status(), u"c.mp3");
    Stop();
    Click(ID_STOP, BN_DBLCLK);
    EXPECT_EQ(TakeLog(), (Texts{u"stop song", u"stop song"}));
    // Id 0 (the status line and the labels) is not a command.
    EXPECT_EQ(OnCommand(MAKEWPARAM(0, 0x0100)), 0);
    EXPECT_EQ(OnCommand(MAKEWPARAM(ID_TRACK_LIST, 3)), 0);
    EXPECT_EQ(TakeLog(), Texts{});
}

TEST_F(Playback, TracksFollowEachOtherThroughMciWithoutEnd) {
    Play();
    winsim::AdvanceClock(10000); // a.mp3 ends and b.mp3 starts
    EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\b.mp3");
    winsim::ClickList(Control(TrackList), 0, LBN_SELCHANGE);
    winsim::AdvanceClock(20000); // after the entry now selected, not after the one that ended
    EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\b.mp3");
    EXPECT_EQ(List().selection, 1);
    winsim::AdvanceClock(20000 + 30000); // b, then c, then around to a
    EXPECT_EQ(winsim::Mci().path, world::FOLDER + u"\\a.mp3");
    EXPECT_EQ(Status(), u"a.mp3");
}

TEST_F(Playback, ChainStopsAtAFileMciCannotOpenAndTheOthersStillPlay) {
    PlayerTest::SetUp();
    AddTrack(u"1.mp3", 1000);
    AddTrack(u"2 kaputt.mp3", 1000, MCIERR_FILE_NOT_FOUND);
    AddTrack(u"3.mp3", 1000);
    Start();
    Play();
    winsim::AdvanceClock(60000);
    EXPECT_EQ(List().selection, 1);
    EXPECT_EQ(player.isOpen, 0);
    EXPECT_EQ(Status(), winsim::MciErrorText(MCIERR_FILE_NOT_FOUND));
    const Texts log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), OpenCommand(u"2 kaputt.mp3")), 1)
        << "nothing is retried until the user acts";
    Next();
    EXPECT_EQ(Status(), u"3.mp3");
    Back();
    EXPECT_EQ(player.isOpen, 0);
    Back();
    EXPECT_EQ(Status(), u"1.mp3");
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Playing);
}

TEST_F(Playback, SingleEntryRestartsItself) {
    PlayerTest::SetUp();
    AddTrack(u"solo.mp3", 1000);
    Start();
    Play();
    TakeLog();
    for (void (*step)() : {&Next, &Back}) {
        step();
        EXPECT_EQ(TakeLog(), StartCommands(u"solo.mp3"));
    }
    winsim::AdvanceClock(1000);
    EXPECT_EQ(TakeLog(), StartCommands(u"solo.mp3")) << "the end starts the same entry again";
}

} // namespace

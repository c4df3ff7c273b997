// The track list: the folder scan, the selection and stepping through the entries.
#include "world.h"

#include <algorithm>

namespace {

using world::FOLDER;
using world::Texts;

const std::u16string NO_FILES = u"Keine MP3-Dateien im Tolvane-Ordner gefunden.";

class Tracks : public world::PlayerTest {};

TEST_F(Tracks, SortedWhateverTheDeliveryOrder) {
    Texts names = {u"Track 2.mp3", u"b.mp3", u"track 10.mp3", u"A.mp3"};
    const Texts sorted = {u"A.mp3", u"b.mp3", u"track 10.mp3", u"Track 2.mp3"};
    std::sort(names.begin(), names.end());
    do {
        SetUp();
        for (const std::u16string& name : names) {
            AddTrack(name);
        }
        Start();
        EXPECT_EQ(List().items, sorted);
        EXPECT_EQ(List().selection, 0);
        EXPECT_EQ(Status(), u"A.mp3");
        EXPECT_EQ(std::u16string(player.selectedName), u"A.mp3");
        EXPECT_EQ(winsim::FindPatterns(), Texts{FOLDER + u"\\*.mp3"});
        EXPECT_EQ(winsim::OpenFindHandles(), 0) << "the search handle is closed";
        EXPECT_EQ(winsim::MciLog(), Texts{}) << "the scan plays nothing";
        EXPECT_EQ(List().insertsWhileRedrawing, 0) << "redraw is off for the fill";
        EXPECT_TRUE(List().redraw) << "and on again after it";
        EXPECT_EQ(List().repaintsAsked, 1) << "then the list is drawn once";
    } while (std::next_permutation(names.begin(), names.end()));
}

TEST_F(Tracks, OnlyFilesOfTheFolderItselfThatMatch) {
    AddTrack(u"x.MP3");
    winsim::AddFile(FOLDER + u"\\versteckt.mp3", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    winsim::AddFile(FOLDER + u"\\nur lesen.mp3", FILE_ATTRIBUTE_READONLY);
    winsim::AddDirectory(FOLDER + u"\\ordner.mp3");
    winsim::AddFile(FOLDER + u"\\ordner.mp3\\tief.mp3");
    winsim::AddFile(FOLDER + u"\\notiz.txt");
    winsim::AddFile(FOLDER + u"\\lied.mp3.bak");
    // Found by their short names (SONG~1.MP3, X~1.MP3), as on Wine and on a FAT drive.
    winsim::AddFile(FOLDER + u"\\song.mp3~");
    winsim::AddFile(FOLDER + u"\\x.mp3_old");
    Start();
    EXPECT_EQ(List().items, (Texts{u"nur lesen.mp3", u"versteckt.mp3", u"x.MP3"}));
}

TEST_F(Tracks, NothingToListShowsTheMessageAndTheButtonsRest) {
    struct Case {
        const char* what;
        void (*arrange)();
    };
    const Case cases[] = {
        {"no folder", [] {}},
        {"no match", [] { winsim::AddFile(FOLDER + u"\\liste.m3u"); }},
        {"only folders", [] { winsim::AddDirectory(FOLDER + u"\\a.mp3"); }},
        {"module path fails",
         [] {
             AddTrack(u"a.mp3");
             winsim::faults().moduleFileName = true;
         }},
        {"module path cut",
         [] {
             // 1024 units fill GetModuleFileNameW's buffer: the path was cut.
             const std::u16string longFolder = u"C:\\" + std::u16string(1009, u'x');
             AddTrack(u"a.mp3", 1000, 0, longFolder);
             winsim::SetModulePath(longFolder + u"\\Tolvane.exe");
         }},
        {"no backslash in the module path",
         [] {
             AddTrack(u"a.mp3", 1000, 0, u"");
             winsim::SetModulePath(u"Tolvane.exe");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.arrange();
        Start();
        EXPECT_EQ(List().items, Texts{});
        EXPECT_EQ(Status(), NO_FILES);
        EXPECT_TRUE(List().redraw) << "no path leaves redraw off";
        for (void (*press)() : {&Play, &Next, &Back}) {
            press();
        }
        EXPECT_EQ(winsim::MciLog(), Texts{});
        EXPECT_EQ(Status(), NO_FILES);
    }
}

TEST_F(Tracks, AnUndeterminedFolderIsNotSearchedAtAll) {
    for (bool fails : {true, false}) {
        SCOPED_TRACE(fails ? "GetModuleFileNameW fails" : "the path was cut");
        SetUp();
        AddTrack(u"a.mp3", 1000, 0, u""); // what "\*.mp3" would find
        if (fails) {
            winsim::faults().moduleFileName = true;
        } else {
            winsim::SetModulePath(u"C:\\" + std::u16string(2000, u'y') + u"\\Tolvane.exe");
        }
        Start();
        EXPECT_EQ(winsim::FindPatterns(), Texts{}) << "\"\\*.mp3\" would list another folder";
        EXPECT_EQ(Status(), NO_FILES);
    }
}

TEST_F(Tracks, NamesReachTheOpenCommandWhole) {
    // MCI ends a device type at the first "!" of the device name, so a path holding one is
    // named with its type first; every other path keeps the type flag (no command given here).
    const std::u16string hits = u"C:\\Hits! 2024";
    const struct {
        std::u16string folder, name, command;
        MCIERROR openError;
    } rows[] = {
        {FOLDER, u"mit Leerzeichen  zwei.mp3", u"", 0},
        {FOLDER, u"Rock 'n' Roll (Live) [1977].mp3", u"", 0},
        {FOLDER, u"\u00C4rger \u00FCber \u00DF.mp3", u"", 0},
        {FOLDER, u"\U0001F3B5 Note \U0001D11E.mp3", u"", 0}, // outside the BMP: surrogate pairs
        {FOLDER, u"&;%!^,=.mp3", u"open \"mpegvideo!C:\\Musik\\Tolvane\\&;%!^,=.mp3\" alias song",
         0},
        {FOLDER, u"!Wow!! Live.mp3",
         u"open \"mpegvideo!C:\\Musik\\Tolvane\\!Wow!! Live.mp3\" alias song", 0},
        {hits, u"plain.mp3", u"open \"mpegvideo!C:\\Hits! 2024\\plain.mp3\" alias song", 0},
        // A file MCI cannot open fails as it does by the other form.
        {hits, u"kaputt.mp3", u"open \"mpegvideo!C:\\Hits! 2024\\kaputt.mp3\" alias song",
         MCIERR_INTERNAL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name.size() << " units");
        SetUp();
        winsim::SetModulePath(row.folder + u"\\Tolvane.exe");
        AddTrack(row.name, 180000, row.openError, row.folder);
        Start();
        Play();
        const Texts log = TakeLog();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[1], row.command.empty() ? OpenCommand(row.name, row.folder) : row.command);
        if (row.openError == 0) {
            EXPECT_EQ(winsim::Mci().path, row.folder + u"\\" + row.name);
            EXPECT_EQ(Status(), row.name);
        } else {
            EXPECT_EQ(Status(), winsim::MciErrorText(row.openError));
        }
        EXPECT_EQ(player.isOpen, row.openError == 0 ? 1 : 0);
    }
}

TEST_F(Tracks, LongestFolderAndNameFitEveryBuffer) {
    // The longest folder GetModuleFileNameW can report uncut: 1021 units, a backslash and
    // a one-unit executable name fill 1023 units; the name is the longest Windows allows.
    const std::u16string folder = u"C:\\" + std::u16string(1018, u'\u00E9');
    const std::u16string name = std::u16string(255, u'n') + u".mp3";
    ASSERT_EQ(folder.size(), 1021u);
    ASSERT_EQ(name.size(), 259u);
    winsim::SetModulePath(folder + u"\\T");
    AddTrack(name, 1000, 0, folder);
    AddTrack(u"a.mp3", 1000, 0, folder);
    Start();
    EXPECT_EQ(std::u16string(player.moduleDirectory), folder);
    ASSERT_EQ(List().items.size(), 2u);
    EXPECT_EQ(List().items[1], name);
    Next();
    EXPECT_EQ(TakeLog().at(1), OpenCommand(name, folder));
    EXPECT_EQ(Status(), name);
    EXPECT_EQ(winsim::Mci().path, folder + u"\\" + name);
}

TEST_F(Tracks, SteppingWrapsBothWays) {
    AddTrack(u"1.mp3");
    AddTrack(u"2.mp3");
    AddTrack(u"3.mp3");
    Start();
    struct Step {
        int from;
        void (*press)();
        int to;
    };
    const Step steps[] = {{0, &Next, 1}, {2, &Next, 0},  {0, &Back, 2},
                          {1, &Back, 0}, {-1, &Next, 0}, {-1, &Back, 0}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "from " << s.from);
        SendMessageW(Control(TrackList), LB_SETCURSEL, WPARAM(s.from), 0);
        TakeLog();
        s.press();
        EXPECT_EQ(List().selection, s.to);
        EXPECT_EQ(TakeLog(), StartCommands(List().items[s.to]));
        EXPECT_EQ(Status(), List().items[s.to]);
    }
}

TEST_F(Tracks, SelectionChangeOnlyShowsTheName) {
    AddTrack(u"1.mp3");
    AddTrack(u"2.mp3");
    Start();
    Play();
    TakeLog();
    winsim::ClickList(Control(TrackList), 1, LBN_SELCHANGE);
    EXPECT_EQ(Status(), u"2.mp3");
    EXPECT_EQ(std::u16string(player.selectedName), u"2.mp3");
    EXPECT_EQ(TakeLog(), Texts{});
    EXPECT_EQ(winsim::Mci().path, FOLDER + u"\\1.mp3");
    EXPECT_EQ(winsim::Mci().mode, winsim::MciDevice::Playing);
    winsim::ClickList(Control(TrackList), 1, LBN_DBLCLK);
    EXPECT_EQ(TakeLog(), StartCommands(u"2.mp3"));
}

} // namespace

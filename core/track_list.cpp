#include "core/player.h"

static const WCHAR MP3_PATTERN[] = TEXT("\\*.mp3");
static const WCHAR NO_FILES_TEXT[] = TEXT("Keine MP3-Dateien im Tolvane-Ordner gefunden.");

// A track's long name ends in ".mp3", in any case. The pattern alone does not say so:
// FindFirstFileW tries it on the 8.3 short name too, which keeps three characters of the last
// extension, so "*.mp3" also finds "song.mp3~" (SONG~1.MP3), "song.mp3x" and "x.mp3_old".
static BOOL EndsInMp3(LPCWSTR name) {
    int length = 0;
    while (name[length] != 0) {
        ++length;
    }
    if (length < 4) {
        return FALSE;
    }
    LPCWSTR extension = MP3_PATTERN + 2; // ".mp3"
    for (int i = 0; i < 4; ++i) {
        WCHAR unit = name[length - 4 + i];
        if (unit >= TEXT('A') && unit <= TEXT('Z')) {
            unit += TEXT('a') - TEXT('A');
        }
        if (unit != extension[i]) {
            return FALSE;
        }
    }
    return TRUE;
}

static LRESULT SendToTrackList(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(player.controls[TrackList], msg, wParam, lParam);
}

// Sets moduleDirectory to the executable's folder. A result that fills the whole buffer
// means Windows cut the path, so that is as much a failure as 0: scanning a cut path, or
// "\*.mp3" (the root of the current drive), would list another folder's files.
BOOL GetModuleDirectory() {
    const DWORD length =
        GetModuleFileNameW(nullptr, player.moduleDirectory, MODULE_DIRECTORY_CAPACITY);
    if (length == 0 || length >= MODULE_DIRECTORY_CAPACITY) {
        player.moduleDirectory[0] = 0;
        return FALSE;
    }
    for (DWORD i = length; i > 0; --i) {
        if (player.moduleDirectory[i - 1] == TEXT('\\')) {
            player.moduleDirectory[i - 1] = 0;
            break;
        }
    }
    return TRUE;
}

void ScanFolder() {
    SendToTrackList(LB_RESETCONTENT, 0, 0);
    if (!GetModuleDirectory()) {
        ShowStatus(NO_FILES_TEXT);
        return;
    }
    lstrcpyW(player.searchPattern, player.moduleDirectory);
    lstrcatW(player.searchPattern, MP3_PATTERN);

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(player.searchPattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        ShowStatus(NO_FILES_TEXT);
        return;
    }
    // With redraw on, a list box updates its scroll bar (and, when visible, repaints) on every
    // insert; off for the fill, it is drawn once afterwards. Turned off only here, past the
    // early returns, so no path leaves it off.
    SendToTrackList(WM_SETREDRAW, FALSE, 0);
    do {
        // A folder named "x.mp3" matches the pattern too; hidden files are tracks like any.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            EndsInMp3(found.cFileName)) {
            SendToTrackList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    SendToTrackList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(player.controls[TrackList], nullptr, TRUE);

    // The list box sorts on insertion, so entry 0 is the alphabetically first name.
    if (static_cast<int>(SendToTrackList(LB_GETCOUNT, 0, 0)) > 0) {
        SendToTrackList(LB_SETCURSEL, 0, 0);
        ShowSelected();
    } else {
        ShowStatus(NO_FILES_TEXT);
    }
}

void ShowSelected() {
    const int index = static_cast<int>(SendToTrackList(LB_GETCURSEL, 0, 0));
    if (index == LB_ERR) {
        return;
    }
    SendToTrackList(LB_GETTEXT, index, reinterpret_cast<LPARAM>(player.selectedName));
    ShowStatus(player.selectedName);
}

void StepNext() {
    const int count = static_cast<int>(SendToTrackList(LB_GETCOUNT, 0, 0));
    if (count <= 0) {
        return;
    }
    const int selection = static_cast<int>(SendToTrackList(LB_GETCURSEL, 0, 0));
    int next = selection + 1; // no selection (-1) gives entry 0 as well
    if (next >= count) {
        next = 0;
    }
    SendToTrackList(LB_SETCURSEL, next, 0);
    PlaySelected();
}

void StepPrevious() {
    const int count = static_cast<int>(SendToTrackList(LB_GETCOUNT, 0, 0));
    if (count <= 0) {
        return;
    }
    const int selection = static_cast<int>(SendToTrackList(LB_GETCURSEL, 0, 0));
    int previous = selection - 1;
    if (selection == LB_ERR) {
        previous = 0;
    } else if (selection == 0) {
        previous = count - 1;
    }
    SendToTrackList(LB_SETCURSEL, previous, 0);
    PlaySelected();
}

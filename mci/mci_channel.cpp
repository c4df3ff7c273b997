#include "mci/mci_channel.h"
#include "core/player.h"

const WCHAR CMD_OPEN_PREFIX[] = TEXT("open \"");
const WCHAR CMD_OPEN_SUFFIX[] = TEXT("\" type mpegvideo alias song");
const WCHAR CMD_CLOSE[] = TEXT("close song");
const WCHAR CMD_TIME_FORMAT_MS[] = TEXT("set song time format milliseconds");
const WCHAR CMD_STATUS_LENGTH[] = TEXT("status song length");
const WCHAR CMD_STATUS_POSITION[] = TEXT("status song position");
const WCHAR CMD_PLAY_NOTIFY[] = TEXT("play song notify");
const WCHAR CMD_PAUSE[] = TEXT("pause song");
const WCHAR CMD_RESUME[] = TEXT("resume song");
const WCHAR CMD_STOP[] = TEXT("stop song");
const WCHAR CMD_SEEK_PREFIX[] = TEXT("seek song to ");
const WCHAR CMD_VOLUME_PREFIX[] = TEXT("setaudio song volume to ");

static const WCHAR PLAY_FAILED_TEXT[] = TEXT("MP3 konnte nicht abgespielt werden.");

MCIERROR SendMci(LPCWSTR command) {
    return mciSendStringW(command, nullptr, 0, nullptr);
}

MCIERROR QueryMci(LPCWSTR command) {
    return mciSendStringW(command, player.replyText, REPLY_TEXT_CAPACITY, nullptr);
}

// "notify" makes MCI post MM_MCINOTIFY to the main window when the command completes.
MCIERROR SendMciNotify(LPCWSTR command) {
    return mciSendStringW(command, nullptr, 0, player.mainWindow);
}

// MCI's volume runs from 0 to 1000, ten steps per percent.
void ApplyVolume() {
    lstrcpyW(player.commandText, CMD_VOLUME_PREFIX);
    FormatDecimal(static_cast<DWORD>(player.volumePercent) * 10, player.numberText);
    lstrcatW(player.commandText, player.numberText);
    SendMci(player.commandText);
}

void ShowMciError(MCIERROR code) {
    if (mciGetErrorStringW(code, player.errorText, ERROR_TEXT_CAPACITY)) {
        ShowStatus(player.errorText);
    } else {
        ShowStatus(PLAY_FAILED_TEXT);
    }
}

LPWSTR FormatDecimal(DWORD value, LPWSTR destination) {
    WCHAR scratch[10]; // 4294967295 has ten digits
    int count = 0;
    do {
        scratch[count++] = static_cast<WCHAR>(TEXT('0') + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *destination++ = scratch[--count];
    }
    *destination = 0;
    return destination;
}

// MCI answers with bare decimal digits; anything after them (or a reply that does not
// start with one) is not part of the number. The walk stays inside the reply buffer even
// if a reply filled it without a terminator.
DWORD ParseReplyNumber() {
    DWORD value = 0;
    for (int i = 0; i < REPLY_TEXT_CAPACITY; ++i) {
        const WCHAR unit = player.replyText[i];
        if (unit < TEXT('0') || unit > TEXT('9')) {
            break;
        }
        value = value * 10 + static_cast<DWORD>(unit - TEXT('0'));
    }
    return value;
}

#include "transport/transport.h"
#include "core/player.h"
#include "mci/mci_channel.h"

static const DWORD MAX_TARGET_MS = 0xFFFFFFFF;

// Scroll steps of the position bar, in thousandths of the track.
static const int POSITION_LINE_STEP = 10;
static const int POSITION_PAGE_STEP = 50;

void SetUpPositionBar() {
    HWND bar = player.controls[PositionBar];
    if (bar == nullptr) {
        return;
    }
    SetScrollRange(bar, SB_CTL, 0, POSITION_BAR_MAX, FALSE);
    SetScrollPos(bar, SB_CTL, 0, TRUE);
}

// Without a timer procedure every expiry arrives as WM_TIMER for the main window.
void StartPollTimer() {
    SetTimer(player.mainWindow, POLL_TIMER_ID, POLL_PERIOD_MS, nullptr);
}

// Two digits of minutes at least, never cut: 600 s is "10:00", 6000 s "100:00".
LPWSTR FormatMinSec(DWORD seconds, LPWSTR cursor) {
    const DWORD minutes = seconds / 60;
    const DWORD rest = seconds % 60;
    if (minutes < 10) {
        *cursor++ = TEXT('0');
    }
    cursor = FormatDecimal(minutes, cursor);
    *cursor++ = TEXT(':');
    *cursor++ = static_cast<WCHAR>(TEXT('0') + rest / 10);
    *cursor++ = static_cast<WCHAR>(TEXT('0') + rest % 10);
    return cursor;
}

void UpdateTimeLabel() {
    LPWSTR cursor = FormatMinSec(player.positionMs / 1000, player.timeLabelText);
    *cursor++ = TEXT(' ');
    *cursor++ = TEXT('/');
    *cursor++ = TEXT(' ');
    cursor = FormatMinSec(player.lengthMs / 1000, cursor);
    *cursor = 0;
    SetWindowTextW(player.controls[TimeLabel], player.timeLabelText);
}

// The poll: paused and stopped tracks are open too and are read like a playing one.
void OnTimer() {
    if (GetCapture() != player.controls[PositionBar]) {
        player.isGestureVoid = 0; // a gesture that lost the mouse without SB_ENDSCROLL is over
    }
    if (player.isOpen != 1) {
        return;
    }
    if (QueryMci(CMD_STATUS_POSITION) != 0) {
        return; // the next tick tries again
    }
    player.positionMs = ParseReplyNumber();
    if (player.lengthMs != 0) {
        unsigned long long bar =
            static_cast<unsigned long long>(player.positionMs) * POSITION_BAR_MAX / player.lengthMs;
        if (bar > POSITION_BAR_MAX) {
            bar = POSITION_BAR_MAX; // MCI may report a position past the length it gave
        }
        SetScrollPos(player.controls[PositionBar], SB_CTL, static_cast<int>(bar), TRUE);
    }
    UpdateTimeLabel();
}

// MCI's seek stops the device and aborts the pending end-of-track notification, so
// playback starts again with a fresh notify in the state it had: a paused track is played
// and paused at once. A pause keeps the notification pending, so the resumed track's end
// still reaches OnMediaNotify and the chain goes on.
void SeekTo() {
    lstrcpyW(player.commandText, CMD_SEEK_PREFIX);
    FormatDecimal(player.seekTargetMs, player.seekDigits);
    lstrcatW(player.commandText, player.seekDigits);
    SendMci(player.commandText);
    SendMciNotify(CMD_PLAY_NOTIFY);
    if (player.isPaused == 1) {
        SendMci(CMD_PAUSE);
    }
    player.positionMs = player.seekTargetMs;
    UpdateTimeLabel();
}

static int ClampPosition(int position) {
    if (position < 0) {
        return 0;
    }
    return position > POSITION_BAR_MAX ? POSITION_BAR_MAX : position;
}

static void OnPositionScroll(WORD code, WORD thumb) {
    HWND bar = player.controls[PositionBar];
    // What is left of a gesture whose track was closed does nothing. It ends at SB_ENDSCROLL or
    // when the bar no longer holds the mouse; the release's SB_THUMBPOSITION may come after the
    // bar has let the mouse go (Wine) or before, so it is left alone either way.
    if (player.isGestureVoid == 1) {
        const bool held = GetCapture() == bar;
        player.isGestureVoid = held && code != SB_ENDSCROLL;
        if (held || code == SB_THUMBPOSITION) {
            return;
        }
    }
    if (player.isOpen != 1) {
        return;
    }
    int position;
    switch (code) {
    case SB_LINELEFT:
        position = ClampPosition(GetScrollPos(bar, SB_CTL) - POSITION_LINE_STEP);
        break;
    case SB_LINERIGHT:
        position = ClampPosition(GetScrollPos(bar, SB_CTL) + POSITION_LINE_STEP);
        break;
    case SB_PAGELEFT:
        position = ClampPosition(GetScrollPos(bar, SB_CTL) - POSITION_PAGE_STEP);
        break;
    case SB_PAGERIGHT:
        position = ClampPosition(GetScrollPos(bar, SB_CTL) + POSITION_PAGE_STEP);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = thumb; break; // the bar's own thumb stays within 0..1000
    default: return;
    }
    SetScrollPos(bar, SB_CTL, position, TRUE);
    // A thumb sent from outside may lie beyond 1000; its target then may not fit 32 bits
    // and is held at the largest value instead of wrapping to a point inside the track.
    const unsigned long long target = static_cast<unsigned long long>(player.lengthMs) *
                                      static_cast<unsigned>(position) / POSITION_BAR_MAX;
    player.seekTargetMs = target > MAX_TARGET_MS ? MAX_TARGET_MS : static_cast<DWORD>(target);
    SeekTo();
}

// Scroll events are told apart by the control that sent them, not by its id.
LRESULT OnHScroll(WPARAM wParam, LPARAM lParam) {
    HWND sender = reinterpret_cast<HWND>(lParam);
    if (sender == nullptr) {
        return 0; // a window's own scroll bar, which the main window does not have
    }
    if (sender == player.controls[PositionBar]) {
        OnPositionScroll(LOWORD(wParam), HIWORD(wParam));
    } else if (sender == player.controls[VolumeBar]) {
        OnVolumeScroll(LOWORD(wParam), HIWORD(wParam));
    }
    return 0;
}

#include "transport/transport.h"
#include "core/player.h"
#include "mci/mci_channel.h"

static const WCHAR VOLUME_LABEL_PREFIX[] = TEXT("Lautstaerke: ");

// Scroll steps of the volume bar, in percent.
static const int VOLUME_LINE_STEP = 2;
static const int VOLUME_PAGE_STEP = 10;

void SetUpVolumeBar() {
    HWND bar = player.controls[VolumeBar];
    if (bar == nullptr) {
        return;
    }
    SetScrollRange(bar, SB_CTL, 0, VOLUME_BAR_MAX, FALSE);
    SetScrollPos(bar, SB_CTL, INITIAL_VOLUME_PERCENT, TRUE);
}

void UpdateVolumeLabel() {
    lstrcpyW(player.volumeLabelText, VOLUME_LABEL_PREFIX);
    FormatDecimal(static_cast<DWORD>(player.volumePercent), player.numberText);
    lstrcatW(player.volumeLabelText, player.numberText);
    lstrcatW(player.volumeLabelText, TEXT("%"));
    SetWindowTextW(player.controls[VolumeLabel], player.volumeLabelText);
}

static int ClampVolume(int volume) {
    if (volume < 0) {
        return 0;
    }
    return volume > VOLUME_BAR_MAX ? VOLUME_BAR_MAX : volume;
}

// The volume belongs to the player, not to a track: the bar and the label follow the
// user also while nothing is open, and the next track to open is sent the new value.
void OnVolumeScroll(WORD code, WORD thumb) {
    HWND bar = player.controls[VolumeBar];
    int volume;
    switch (code) {
    case SB_LINELEFT: volume = GetScrollPos(bar, SB_CTL) - VOLUME_LINE_STEP; break;
    case SB_LINERIGHT: volume = GetScrollPos(bar, SB_CTL) + VOLUME_LINE_STEP; break;
    case SB_PAGELEFT: volume = GetScrollPos(bar, SB_CTL) - VOLUME_PAGE_STEP; break;
    case SB_PAGERIGHT: volume = GetScrollPos(bar, SB_CTL) + VOLUME_PAGE_STEP; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: volume = thumb; break;
    case SB_LEFT: volume = 0; break;
    case SB_RIGHT: volume = VOLUME_BAR_MAX; break;
    default: return;
    }
    player.volumePercent = ClampVolume(volume);
    SetScrollPos(bar, SB_CTL, player.volumePercent, TRUE);
    UpdateVolumeLabel();
    if (player.isOpen == 1) {
        ApplyVolume();
    }
}

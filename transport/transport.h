// Position tracking, seeking and volume: the poll, the two bars and their labels.
#pragma once

#include "platform/win32.h"

constexpr int POSITION_BAR_MAX = 1000; // the bar counts thousandths of the track
constexpr int POLL_PERIOD_MS = 500;
constexpr int VOLUME_BAR_MAX = 100; // the bar counts percent

void OnTimer();
LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
void SeekTo();
void UpdateTimeLabel();
LPWSTR FormatMinSec(DWORD seconds, LPWSTR cursor);
void UpdateVolumeLabel();
// The volume bar's branch of OnHScroll.
void OnVolumeScroll(WORD code, WORD thumb);

// Steps of the start sequence, in the order it runs them.
void SetUpPositionBar();
void SetUpVolumeBar();
void StartPollTimer();

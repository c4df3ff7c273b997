// The program's one channel to MCI: command strings in, error codes and decimal replies out.
#pragma once

#include "platform/win32.h"

// The command vocabulary. Each is sent exactly as written; a trailing blank belongs to
// the prefix that an argument follows.
extern const WCHAR CMD_OPEN_PREFIX[]; // "open \""
extern const WCHAR CMD_OPEN_SUFFIX[]; // "\" type mpegvideo alias song"
// MCI takes an open command's device name up to its first "!" as a device type, so a path
// holding one is named with the type before it: "mpegvideo!" splits there, and the whole path
// is the element.
extern const WCHAR CMD_OPEN_TYPED_PREFIX[]; // "open \"mpegvideo!"
extern const WCHAR CMD_OPEN_TYPED_SUFFIX[]; // "\" alias song"
extern const WCHAR CMD_CLOSE[];
extern const WCHAR CMD_TIME_FORMAT_MS[];
extern const WCHAR CMD_STATUS_LENGTH[];
extern const WCHAR CMD_STATUS_POSITION[];
extern const WCHAR CMD_PLAY_NOTIFY[];
extern const WCHAR CMD_PAUSE[];
extern const WCHAR CMD_RESUME[];
extern const WCHAR CMD_STOP[];
extern const WCHAR CMD_SEEK_PREFIX[];   // "seek song to "
extern const WCHAR CMD_VOLUME_PREFIX[]; // "setaudio song volume to "

// Run first at start, before anything loads a DLL by name: every DLL that is no KnownDLL,
// winmm and what MCI and DirectShow load in turn, then comes from the system folder only.
void LoadWinmm();

MCIERROR SendMci(LPCWSTR command);
MCIERROR QueryMci(LPCWSTR command);      // the reply lands in player.replyText
MCIERROR SendMciNotify(LPCWSTR command); // MM_MCINOTIFY goes to player.mainWindow
void ApplyVolume();
void ShowMciError(MCIERROR code);

// Decimal digits of value, no sign, no leading zeros; destination holds at least 11 units.
// Returns the position of the terminator written.
LPWSTR FormatDecimal(DWORD value, LPWSTR destination);
// Value of the leading decimal digits of player.replyText, wrapping in 32 bits.
DWORD ParseReplyNumber();

// winmm: an interpreter of the MCI command strings Tolvane sends, over one simulated
// "mpegvideo" device whose playing clock is the message queue's virtual clock.
#include "winsim/internal.h"

#include <algorithm>

namespace winsim {

static Device& TheDevice() {
    return world().device;
}

static DWORD Position(const Device& d) {
    if (d.mode != MciDevice::Playing) {
        return d.positionMs;
    }
    const std::uint64_t at = std::uint64_t{d.positionMs} + (world().now - d.playStart);
    return static_cast<DWORD>(std::min<std::uint64_t>(at, d.lengthMs));
}

// Holds the position where it is now, ending a play in progress.
static void Freeze(Device& d) {
    d.positionMs = Position(d);
    if (d.mode == MciDevice::Playing) {
        d.mode = MciDevice::Stopped;
    }
}

static void EndNotify(Device& d, WPARAM code) {
    if (d.notifyPending) {
        d.notifyPending = false;
        PostMessageW(d.notifyWindow, MM_MCINOTIFY, code, d.deviceId);
    }
}

std::optional<DWORD> MciNextEvent() {
    const Device& d = TheDevice();
    if (!d.open || d.mode != MciDevice::Playing) {
        return std::nullopt;
    }
    const std::uint64_t end = std::uint64_t{d.playStart} + (d.lengthMs - d.positionMs);
    if (end > 0xFFFFFFFFu) {
        return std::nullopt; // beyond what the virtual clock can reach
    }
    return static_cast<DWORD>(end);
}

void MciFireDue() {
    Device& d = TheDevice();
    std::optional<DWORD> end = MciNextEvent();
    if (end && *end <= world().now) {
        d.positionMs = d.lengthMs;
        d.mode = MciDevice::Stopped;
        EndNotify(d, MCI_NOTIFY_SUCCESSFUL);
    }
}

static std::u16string Decimal(std::uint64_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value);
    return digits;
}

// The number after prefix: plain decimal digits that fit 32 bits.
static std::optional<DWORD> Argument(const std::u16string& command, const std::u16string& prefix) {
    const std::u16string digits = command.substr(prefix.size());
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char16_t c : digits) {
        value = value * 10 + (c - u'0');
    }
    if (value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<DWORD>(value);
}

static MCIERROR Open(const std::u16string& path) {
    Device& d = TheDevice();
    if (d.open) {
        return MCIERR_DUPLICATE_ALIAS;
    }
    auto it = world().mciFiles.find(Fold(path));
    if (it == world().mciFiles.end()) {
        return MCIERR_FILE_NOT_FOUND;
    }
    if (it->second.openError) {
        return it->second.openError;
    }
    d = Device{};
    d.open = true;
    d.path = path;
    d.lengthMs = it->second.lengthMs;
    d.deviceId = world().nextDeviceId++;
    return 0;
}

// What follows "open \"": the device name up to the closing quotation mark, then the flags.
// MCI splits the device name at its first "!" into a device type and the element, whatever
// flags follow; without one, the type flag names the type.
static MCIERROR OpenCommand(const std::u16string& rest) {
    const std::size_t end = rest.find(u'"'); // a Windows path holds none
    if (end == std::u16string::npos) {
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    const std::u16string name = rest.substr(0, end);
    const std::u16string flags = rest.substr(end + 1);
    const std::size_t bang = name.find(u'!');
    if (bang != std::u16string::npos) {
        if (name.substr(0, bang) != u"mpegvideo") {
            return MCIERR_INVALID_DEVICE_NAME;
        }
        return flags == u" alias song" ? Open(name.substr(bang + 1)) : MCIERR_UNRECOGNIZED_COMMAND;
    }
    return flags == u" type mpegvideo alias song" ? Open(name) : MCIERR_UNRECOGNIZED_COMMAND;
}

static MCIERROR Reply(DWORD value, LPWSTR returnString, UINT returnLength) {
    const std::u16string text = Decimal(value);
    if (!returnString) {
        return 0;
    }
    if (text.size() + 1 > returnLength) {
        return MCIERR_PARAM_OVERFLOW;
    }
    std::copy(text.begin(), text.end(), returnString);
    returnString[text.size()] = 0;
    return 0;
}

static MCIERROR Interpret(const std::u16string& c, LPWSTR returnString, UINT returnLength,
                          HWND callback) {
    static const std::u16string openPrefix = u"open \"";
    static const std::u16string seekPrefix = u"seek song to ";
    static const std::u16string volumePrefix = u"setaudio song volume to ";
    if (c.starts_with(openPrefix)) {
        return OpenCommand(c.substr(openPrefix.size()));
    }
    const bool known = c == u"close song" || c == u"set song time format milliseconds" ||
                       c == u"status song length" || c == u"status song position" ||
                       c == u"play song" || c == u"play song notify" || c == u"pause song" ||
                       c == u"resume song" || c == u"stop song" || c.starts_with(seekPrefix) ||
                       c.starts_with(volumePrefix);
    if (!known) {
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    Device& d = TheDevice();
    if (!d.open) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (c == u"close song") {
        EndNotify(d, MCI_NOTIFY_ABORTED);
        d = Device{};
    } else if (c == u"status song length") {
        return Reply(d.lengthMs, returnString, returnLength);
    } else if (c == u"status song position") {
        return Reply(Position(d), returnString, returnLength);
    } else if (c.starts_with(u"play song")) {
        // A notifying command supersedes a pending notification; a plain play ends it.
        const bool notify = c == u"play song notify";
        Freeze(d);
        EndNotify(d, notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
        d.mode = MciDevice::Playing;
        d.playStart = world().now;
        if (notify) {
            d.notifyPending = true;
            d.notifyWindow = callback;
        }
    } else if (c == u"pause song") {
        // Pausing keeps a pending notification; it fires when a resumed play ends.
        Freeze(d);
        d.mode = MciDevice::Paused;
    } else if (c == u"resume song") {
        if (d.mode == MciDevice::Paused) {
            d.mode = MciDevice::Playing;
            d.playStart = world().now;
        }
    } else if (c == u"stop song") {
        Freeze(d);
        d.mode = MciDevice::Stopped;
        EndNotify(d, MCI_NOTIFY_ABORTED);
    } else if (c.starts_with(seekPrefix)) {
        std::optional<DWORD> to = Argument(c, seekPrefix);
        if (!to) {
            return MCIERR_BAD_INTEGER;
        }
        if (*to > d.lengthMs) {
            return MCIERR_OUTOFRANGE;
        }
        // A seek stops playback at the new point.
        Freeze(d);
        d.mode = MciDevice::Stopped;
        d.positionMs = *to;
        EndNotify(d, MCI_NOTIFY_ABORTED);
    } else if (c.starts_with(volumePrefix)) {
        std::optional<DWORD> volume = Argument(c, volumePrefix);
        if (!volume) {
            return MCIERR_BAD_INTEGER;
        }
        if (*volume > 1000) {
            return MCIERR_OUTOFRANGE;
        }
        d.volume = static_cast<int>(*volume);
    }
    return 0; // "set song time format milliseconds": replies are in milliseconds anyway
}

// ---- test side -------------------------------------------------------------------------
void AddMciFile(const std::u16string& path, DWORD lengthMs, MCIERROR openError) {
    world().mciFiles[Fold(path)] = {lengthMs, openError};
}

void FailMci(const std::u16string& prefix, MCIERROR code, bool once) {
    world().mciFaults.push_back({prefix, code, once});
}

const std::vector<std::u16string>& MciLog() {
    return world().mciLog;
}

void ClearMciLog() {
    world().mciLog.clear();
}

std::u16string MciErrorText(MCIERROR code) {
    return u"MCI-Fehler " + Decimal(code);
}

MciDevice Mci() {
    const Device& d = TheDevice();
    return {d.open,      d.path,   d.mode,          d.lengthMs,
            Position(d), d.volume, d.notifyPending, d.notifyWindow};
}

} // namespace winsim

using namespace winsim;

MCIERROR mciSendStringW(LPCWSTR command, LPWSTR returnString, UINT returnLength, HWND callback) {
    World& w = world();
    if (!command) {
        return MCIERR_MISSING_COMMAND_STRING;
    }
    const std::u16string c = command;
    w.mciLog.push_back(c);
    if (returnString && returnLength) {
        returnString[0] = 0;
    }
    for (auto it = w.mciFaults.begin(); it != w.mciFaults.end(); ++it) {
        if (c.starts_with(it->prefix)) {
            const MCIERROR code = it->code;
            if (it->once) {
                w.mciFaults.erase(it);
            }
            return code; // a failed command has no effect and notifies nothing
        }
    }
    MciFireDue(); // a play that has reached its end by now has ended
    return Interpret(c, returnString, returnLength, callback);
}

BOOL mciGetErrorStringW(MCIERROR error, LPWSTR text, UINT length) {
    if (world().faults.mciErrorString || !text || length == 0) {
        return FALSE;
    }
    const std::u16string description = MciErrorText(error);
    const std::size_t n = std::min<std::size_t>(description.size(), length - 1);
    std::copy_n(description.begin(), n, text);
    text[n] = 0;
    return TRUE;
}

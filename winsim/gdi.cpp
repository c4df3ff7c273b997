// GDI: fonts and their lifetime, stock objects, and device contexts that record drawing.
#include "winsim/internal.h"

namespace winsim {

HDC CreateRecordingDC() {
    World& w = world();
    HDC dc = MakeHandle<HDC>(0x500000, w.dcs.size() + 1);
    w.dcs[dc];
    return dc;
}

const std::vector<DrawCall>& DrawCalls(HDC dc) {
    auto it = world().dcs.find(dc);
    if (it == world().dcs.end()) {
        throw std::invalid_argument("winsim: not a recording device context");
    }
    return it->second;
}

std::vector<HFONT> Fonts() {
    return world().fontOrder;
}

const Font& FontInfo(HFONT font) {
    auto it = world().fonts.find(font);
    if (it == world().fonts.end()) {
        throw std::invalid_argument("winsim: no font was created with this handle");
    }
    return it->second;
}

int DeleteCount(HGDIOBJ object) {
    auto it = world().deletes.find(object);
    return it == world().deletes.end() ? 0 : it->second;
}

int GdiCreated() {
    return world().gdiCreated;
}

int GdiLive() {
    return world().gdiLive;
}

static std::vector<DrawCall>* Calls(HDC dc) {
    auto it = world().dcs.find(dc);
    return it == world().dcs.end() ? nullptr : &it->second;
}

// The last call of this kind on the DC, to answer with the previous state.
static const DrawCall* Last(const std::vector<DrawCall>& calls, DrawCall::Kind kind,
                            bool font = false) {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
        if (it->kind == kind &&
            (kind != DrawCall::SelectObject || (world().fonts.count(it->object) != 0) == font)) {
            return &*it;
        }
    }
    return nullptr;
}

static int RecordRect(HDC dc, DrawCall::Kind kind, const RECT* rect, HBRUSH brush) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls || !rect) {
        return 0;
    }
    calls->push_back({kind, *rect, brush, {}, 0, {}, 0});
    return 1;
}

} // namespace winsim

using namespace winsim;

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName) {
    World& w = world();
    if (w.faults.createFont) {
        return nullptr;
    }
    HFONT font = MakeHandle<HFONT>(0x800000, ++w.gdiCreated);
    w.gdiLive++;
    w.fontOrder.push_back(font);
    w.fonts[font] = {height,         width,
                     escapement,     orientation,
                     weight,         italic,
                     underline,      strikeOut,
                     charSet,        outPrecision,
                     clipPrecision,  quality,
                     pitchAndFamily, faceName ? faceName : u""};
    return font;
}

BOOL DeleteObject(HGDIOBJ object) {
    World& w = world();
    if (!object) {
        return FALSE;
    }
    const int count = ++w.deletes[object];
    if (w.fonts.count(object)) {
        if (count > 1) {
            return FALSE; // already deleted: the handle is no longer valid
        }
        w.gdiLive--;
        return TRUE;
    }
    // Deleting a stock object or a system colour brush is harmless and ignored.
    const auto value = reinterpret_cast<std::uintptr_t>(object);
    return value >= 0x700000 && value < 0x800000;
}

HGDIOBJ GetStockObject(int object) {
    return object >= 0 && object <= 19 ? MakeHandle<HGDIOBJ>(0x700000, object + 1) : nullptr;
}

HBRUSH GetSysColorBrush(int index) {
    return index >= 0 && index <= 30 ? MakeHandle<HBRUSH>(0x710000, index + 1) : nullptr;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls) {
        return nullptr;
    }
    const bool font = world().fonts.count(object) != 0;
    const DrawCall* previous = Last(*calls, DrawCall::SelectObject, font);
    HGDIOBJ replaced = previous ? previous->object : GetStockObject(font ? 13 : 0);
    calls->push_back({DrawCall::SelectObject, {}, object, {}, 0, {}, 0});
    // Selecting nothing fails and changes nothing.
    return object ? replaced : nullptr;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return RecordRect(dc, DrawCall::FillRect, rect, brush);
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return RecordRect(dc, DrawCall::FrameRect, rect, brush);
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls || !points || count < 2) {
        return FALSE;
    }
    calls->push_back({DrawCall::Polygon, {}, nullptr, {points, points + count}, 0, {}, count});
    return TRUE;
}

int SetBkMode(HDC dc, int mode) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls) {
        return 0;
    }
    const DrawCall* previous = Last(*calls, DrawCall::SetBkMode);
    calls->push_back({DrawCall::SetBkMode, {}, nullptr, {}, static_cast<DWORD>(mode), {}, 0});
    return previous ? static_cast<int>(previous->value) : OPAQUE;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls) {
        return 0xFFFFFFFF; // CLR_INVALID
    }
    const DrawCall* previous = Last(*calls, DrawCall::SetTextColor);
    calls->push_back({DrawCall::SetTextColor, {}, nullptr, {}, color, {}, 0});
    return previous ? previous->value : RGB(0, 0, 0);
}

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    std::vector<DrawCall>* calls = Calls(dc);
    if (!calls || !text || !rect) {
        return 0;
    }
    // A count of -1 means the text ends at its terminator.
    std::u16string drawn = count < 0 ? std::u16string(text) : std::u16string(text, count);
    calls->push_back({DrawCall::DrawText, *rect, nullptr, {}, format, drawn, count});
    return 16; // the height of one line in the UI font
}

// The control layout, control creation and the owner-drawn transport buttons.
#pragma once

#include "platform/win32.h"

#include <stddef.h>

// The class names and the button words, stored once as one run of NUL-terminated UTF-16
// strings. The tables below name a string by its byte offset from the start of the run.
inline constexpr WCHAR ControlTextPool[] = TEXT("STATIC\0"
                                                "\0"
                                                "Zurueck\0"
                                                "Play\0"
                                                "Pause\0"
                                                "Stop\0"
                                                "Weiter\0"
                                                "EDIT\0"
                                                "BUTTON\0"
                                                "LISTBOX\0"
                                                "SCROLLBAR");

// Byte offsets into ControlTextPool.
constexpr BYTE TEXT_STATIC = 0;
constexpr BYTE TEXT_EMPTY = 14;
constexpr BYTE TEXT_BACK = 16;
constexpr BYTE TEXT_PLAY = 32;
constexpr BYTE TEXT_PAUSE = 42;
constexpr BYTE TEXT_STOP = 54;
constexpr BYTE TEXT_NEXT = 64;
constexpr BYTE TEXT_EDIT = 78;
constexpr BYTE TEXT_BUTTON = 88;
constexpr BYTE TEXT_LISTBOX = 102;
constexpr BYTE TEXT_SCROLLBAR = 118;

constexpr LPCWSTR PoolText(BYTE offset) {
    return ControlTextPool + offset / sizeof(WCHAR);
}

constexpr bool PoolTextIs(BYTE offset, const WCHAR* expected) {
    const WCHAR* text = PoolText(offset);
    while (*expected != 0 && *text == *expected) {
        ++text;
        ++expected;
    }
    return *text == 0 && *expected == 0;
}

static_assert(sizeof(ControlTextPool) == 138, "eleven strings, 69 units with terminators");
static_assert(PoolTextIs(TEXT_STATIC, TEXT("STATIC")));
static_assert(PoolTextIs(TEXT_EMPTY, TEXT("")));
static_assert(PoolTextIs(TEXT_BACK, TEXT("Zurueck")));
static_assert(PoolTextIs(TEXT_PLAY, TEXT("Play")));
static_assert(PoolTextIs(TEXT_PAUSE, TEXT("Pause")));
static_assert(PoolTextIs(TEXT_STOP, TEXT("Stop")));
static_assert(PoolTextIs(TEXT_NEXT, TEXT("Weiter")));
static_assert(PoolTextIs(TEXT_EDIT, TEXT("EDIT")));
static_assert(PoolTextIs(TEXT_BUTTON, TEXT("BUTTON")));
static_assert(PoolTextIs(TEXT_LISTBOX, TEXT("LISTBOX")));
static_assert(PoolTextIs(TEXT_SCROLLBAR, TEXT("SCROLLBAR")));

#pragma pack(push, 1)
// Five control classes as two parallel arrays, indexed by the class bits of a kind byte.
struct ControlClassTableLayout {
    BYTE nameOffset[5];
    DWORD style[5];
};

// One row of LayoutTable.
struct ControlDescriptor {
    BYTE kind; // bits 0-3: class index; bit 7: send the UI font; 0xFF ends the table
    BYTE text; // byte offset of the initial window text in ControlTextPool
    WORD x;
    WORD y;
    WORD width;
    WORD height;
    BYTE id; // given to the window system as the child's menu handle
};
#pragma pack(pop)

static_assert(sizeof(ControlClassTableLayout) == 25);
static_assert(offsetof(ControlClassTableLayout, style) == 5);
static_assert(sizeof(ControlDescriptor) == 11);
static_assert(offsetof(ControlDescriptor, text) == 1);
static_assert(offsetof(ControlDescriptor, x) == 2);
static_assert(offsetof(ControlDescriptor, y) == 4);
static_assert(offsetof(ControlDescriptor, width) == 6);
static_assert(offsetof(ControlDescriptor, height) == 8);
static_assert(offsetof(ControlDescriptor, id) == 10);

constexpr BYTE KIND_END = 0xFF;
constexpr BYTE KIND_TAKES_FONT = 0x80;
constexpr BYTE KIND_CLASS_MASK = 0x0F;
constexpr int LAYOUT_ROWS = 11;

extern const ControlClassTableLayout ControlClassTable;
extern const ControlDescriptor LayoutTable[LAYOUT_ROWS + 1];

HFONT CreateUiFont();
void CreateControls(const ControlDescriptor* descriptors, HWND* slots);
BOOL DrawTransportButton(const DRAWITEMSTRUCT* item);

#include "ui/ui.h"
#include "core/player.h"
#include "app/app.h"

// Class indexes of the kind byte.
enum : BYTE { CLASS_EDIT, CLASS_STATIC, CLASS_SCROLLBAR, CLASS_BUTTON, CLASS_LISTBOX };

constexpr ControlClassTableLayout ControlClassTable = {
    {TEXT_EDIT, TEXT_STATIC, TEXT_SCROLLBAR, TEXT_BUTTON, TEXT_LISTBOX},
    {
        // Read-only single line: the user may select and scroll the status, not edit it.
        WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL,
        // Left-aligned on one line that is cut at the right edge. A wrapping label would
        // move a word that does not fit onto a second line, which the 22-pixel labels cannot
        // show: "Lautstaerke: 100%" in Segoe UI is some 128 pixels in a label of 118, and
        // would read "Lautstaerke:" alone, while clipped only the "%" is cut.
        WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
        WS_CHILD | WS_VISIBLE | SBS_HORZ,
        // Owner-drawn: the program paints the face, and a double click arrives as BN_DBLCLK.
        WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
        // Sorted on insertion, and notifying the parent of selection and double click.
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT,
    },
};
static_assert(ControlClassTable.style[CLASS_EDIT] == 0x50800880);
static_assert(ControlClassTable.style[CLASS_STATIC] == 0x5000000C);
static_assert(ControlClassTable.style[CLASS_SCROLLBAR] == 0x50000000);
static_assert(ControlClassTable.style[CLASS_BUTTON] == 0x5000000B);
static_assert(ControlClassTable.style[CLASS_LISTBOX] == 0x50A00003);

constexpr BYTE F = KIND_TAKES_FONT;

// One row per control slot, in slot order. Every row spans x 12 to 522; each label sits
// one pixel below the bar to its right. The bars keep the system's look and get no font.
constexpr ControlDescriptor LayoutTable[LAYOUT_ROWS + 1] = {
    {F | CLASS_EDIT, TEXT_EMPTY, 12, 10, 510, 34, 0},
    {F | CLASS_STATIC, TEXT_EMPTY, 12, 52, 112, 22, 0},
    {CLASS_SCROLLBAR, TEXT_EMPTY, 132, 51, 390, 22, ID_POSITION_BAR},
    {F | CLASS_BUTTON, TEXT_BACK, 12, 86, 100, 34, ID_BACK},
    {F | CLASS_BUTTON, TEXT_PLAY, 117, 86, 94, 34, ID_PLAY},
    {F | CLASS_BUTTON, TEXT_PAUSE, 216, 86, 94, 34, ID_PAUSE},
    {F | CLASS_BUTTON, TEXT_STOP, 315, 86, 94, 34, ID_STOP},
    {F | CLASS_BUTTON, TEXT_NEXT, 414, 86, 108, 34, ID_NEXT},
    {F | CLASS_STATIC, TEXT_EMPTY, 12, 134, 118, 22, 0},
    {CLASS_SCROLLBAR, TEXT_EMPTY, 132, 133, 390, 22, ID_VOLUME_BAR},
    {F | CLASS_LISTBOX, TEXT_EMPTY, 12, 170, 510, 357, ID_TRACK_LIST},
    {KIND_END, 0, 0, 0, 0, 0, 0},
};
static_assert(LAYOUT_ROWS == ControlSlotCount, "one row per control slot");
static_assert(LayoutTable[LAYOUT_ROWS].kind == KIND_END, "the end marker follows the eleventh row");
static_assert(sizeof(LayoutTable) == (LAYOUT_ROWS + 1) * 11);

HFONT CreateUiFont() {
    return CreateFontW(-16, // a character height of 16 pixels, not a cell height
                       0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       TEXT("Segoe UI"));
}

// A control that fails leaves a null slot; the rows after it still land in their own.
void CreateControls(const ControlDescriptor* descriptors, HWND* slots) {
    for (const ControlDescriptor* row = descriptors; row->kind != KIND_END; ++row, ++slots) {
        const BYTE classIndex = row->kind & KIND_CLASS_MASK;
        HWND control = CreateWindowExW(0, PoolText(ControlClassTable.nameOffset[classIndex]),
                                       PoolText(row->text), ControlClassTable.style[classIndex],
                                       row->x, row->y, row->width, row->height, player.mainWindow,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(row->id)),
                                       moduleInstance, nullptr);
        *slots = control;
        if (control != nullptr && (row->kind & KIND_TAKES_FONT) != 0) {
            // Sent also when the font is null: the control then keeps the system font.
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(player.uiFont), TRUE);
        }
    }
}

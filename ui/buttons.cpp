#include "ui/ui.h"
#include "core/player.h"

// One black shape of an icon, in pixels relative to the icon's anchor: a rectangle
// {left, top, right, bottom} or a triangle of three points (x, y).
struct IconShape {
    BYTE isTriangle;
    signed char c[6];
};

struct ButtonFace {
    BYTE label; // byte offset of the label in ControlTextPool
    BYTE shapeCount;
    IconShape shapes[2];
};

// Faces of ID_BACK to ID_NEXT, in id order: the icon's shapes in drawing order and the
// label. The words are the buttons' own window texts, so they are stored once.
static constexpr ButtonFace ButtonFaces[5] = {
    {TEXT_BACK, 2, {{0, {-9, -8, -6, 8}}, {1, {7, -8, -5, 0, 7, 8}}}},
    {TEXT_PLAY, 1, {{1, {-6, -9, 9, 0, -6, 9}}}},
    {TEXT_PAUSE, 2, {{0, {-8, -9, -3, 9}}, {0, {3, -9, 8, 9}}}},
    {TEXT_STOP, 1, {{0, {-8, -8, 8, 8}}}},
    {TEXT_NEXT, 2, {{1, {-7, -8, 5, 0, -7, 8}}, {0, {7, -8, 10, 8}}}},
};
// Any other id gets the face with the label "Weiter" and no icon.
static constexpr ButtonFace PlainFace = {TEXT_NEXT, 0, {}};

static const int ICON_ANCHOR_X = 20; // icon centre from the left edge
static const int LABEL_LEFT = 35;    // the label starts right of the icon
static const int LABEL_RIGHT_GAP = 5;

// Paints a transport button from scratch. Pressed, focused and disabled buttons look the
// same as released ones, and no focus rectangle is drawn. Nothing is created, so nothing
// needs releasing: the brushes are the system's and the stock one.
BOOL DrawTransportButton(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT& bounds = item->rcItem;
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &bounds, GetSysColorBrush(COLOR_BTNSHADOW));

    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const LONG cx = bounds.left + ICON_ANCHOR_X;
    const LONG cy = (bounds.top + bounds.bottom) / 2;

    const UINT id = item->CtlID;
    const ButtonFace& face =
        (id >= ID_BACK && id <= ID_NEXT) ? ButtonFaces[id - ID_BACK] : PlainFace;
    for (int i = 0; i < face.shapeCount; ++i) {
        const signed char* c = face.shapes[i].c;
        if (face.shapes[i].isTriangle) {
            const POINT corners[3] = {
                {cx + c[0], cy + c[1]}, {cx + c[2], cy + c[3]}, {cx + c[4], cy + c[5]}};
            // The interior takes the selected brush; the outline keeps the DC's pen.
            SelectObject(dc, black);
            Polygon(dc, corners, 3);
        } else {
            const RECT bar = {cx + c[0], cy + c[1], cx + c[2], cy + c[3]};
            FillRect(dc, &bar, black);
        }
    }

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    SelectObject(dc, player.uiFont); // a null font fails without effect: the DC's font draws
    RECT labelRect = {bounds.left + LABEL_LEFT, bounds.top, bounds.right - LABEL_RIGHT_GAP,
                      bounds.bottom};
    DrawTextW(dc, PoolText(face.label), -1, &labelRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return TRUE;
}

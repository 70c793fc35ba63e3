#pragma once
// The search view's fixed layout: control ids, texts and rectangles in
// client pixels of the view, the list and count areas and the list columns.
// A rectangle (l,t)-(r,b) holds the points l <= x < r and t <= y < b.

#include <QRect>

namespace view_layout {

// Command and control ids.
inline constexpr int kIdSearch = 1;
inline constexpr int kIdClear = 101;
inline constexpr int kIdHelp = 102;
inline constexpr int kIdQuit = 103;
inline constexpr int kIdMoreInfo = 104;
inline constexpr int kIdPrev = 106;
inline constexpr int kIdNext = 107;
inline constexpr int kIdSurname = 108;
inline constexpr int kIdFirstName = 109;
inline constexpr int kIdDatabaseList = 114;

struct Rect {
    int left, top, right, bottom;
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
};

struct ButtonLayout {
    const char* text;
    int id;
    Rect rect;
};

// The seven buttons in creation order: Search, Clear, More Info, Prev, Next, Help, Quit.
inline constexpr int kButtonCount = 7;
inline constexpr ButtonLayout kButtons[kButtonCount] = {
    {"&Search", kIdSearch, {200, 135, 296, 155}},
    {"&Clear", kIdClear, {310, 135, 406, 155}},
    {"&More Info", kIdMoreInfo, {420, 135, 516, 155}},
    {"", kIdPrev, {541, 179, 561, 199}},
    {"", kIdNext, {582, 179, 602, 199}},
    {"Help", kIdHelp, {219, 426, 315, 446}},
    {"&Quit", kIdQuit, {320, 426, 416, 446}},
};

// The two edit boxes: x, y, width, height, id, text limit.
struct EditLayout {
    short x, y, width, height, id, limit;
};
inline constexpr EditLayout kEdits[2] = {
    {236, 71, 161, 24, kIdSurname, 20},
    {461, 71, 161, 24, kIdFirstName, 20},
};

// The database list; the height includes the dropped list.
inline constexpr Rect kDatabaseListRect = {236, 101, 516, 351};

// Where Help and Quit go when the text is large (height 20 or more).
inline constexpr int kLargeTextHeight = 20;
inline constexpr int kLargeTextButtonTop = 423;
inline constexpr int kButtonWidth = 96;
inline constexpr int kButtonHeight = 20;

inline constexpr Rect kListArea = {20, 249, 602, 413};
inline constexpr Rect kCountArea = {267, 181, 450, 210};
// The page shown ("2 of 3"), under the Pages label (right-aligned at 533)
// and left of the Prev caption; clear of the count panel.
inline constexpr Rect kPageArea = {462, 195, 534, 212};
inline constexpr int kListTop = 249;
// The result list's focus frame lies this far outside the list area, on the list's paper.
inline constexpr int kListFrameMargin = 3;

// The three columns of a result row: surname, given names, summary.
struct Column {
    int left, right;
};
inline constexpr Column kColumns[3] = {{20, 140}, {158, 282}, {300, 601}};

// Colour of the count line and of the rows: RGB(15, 25, 8).
inline constexpr int kTextRed = 15;
inline constexpr int kTextGreen = 25;
inline constexpr int kTextBlue = 8;

// The backdrop's size, which is the view's client area.
inline constexpr int kViewWidth = 632;
inline constexpr int kViewHeight = 453;

// Rectangle of column c of row i for a text height h.
inline QRect ColumnRect(int row, int column, int h) {
    return QRect(kColumns[column].left, kListTop + row * h, kColumns[column].right - kColumns[column].left,
                 h);
}

}  // namespace view_layout

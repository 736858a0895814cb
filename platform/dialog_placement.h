// Where a dialog opens: pure arithmetic on screen rectangles, with no window
// in sight, so that it builds and is tested on any system.
#pragma once

struct ScreenRect {
    long left, top, right, bottom;
};

struct ScreenPoint {
    long x, y;
    bool operator==(const ScreenPoint&) const = default;
};

// The top-left corner for a dialog of `width` by `height`: centred over its
// owner's window when the owner can be seen where it stands (neither iconic
// nor hidden), else centred on `workArea`, the work area of the owner's own
// monitor; then moved just far enough to lie inside that work area. A dialog
// larger than the work area keeps its top-left corner, and so its caption, in it.
inline ScreenPoint CentredPlacement(const ScreenRect& owner, bool ownerUsable, long width, long height,
                                    const ScreenRect& workArea) {
    const ScreenRect& over = ownerUsable ? owner : workArea;
    long x = over.left + (over.right - over.left - width) / 2;
    long y = over.top + (over.bottom - over.top - height) / 2;
    if (x + width > workArea.right) x = workArea.right - width;
    if (y + height > workArea.bottom) y = workArea.bottom - height;
    if (x < workArea.left) x = workArea.left;
    if (y < workArea.top) y = workArea.top;
    return {x, y};
}

#pragma once
// Rectangles as the platform draws them (Right and Bottom one past the
// last pixel) and the few routines the splitter needs on them.

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// Left <= Right and Top <= Bottom, by swapping.
TRect NormalizeRect(TRect r);
// The overlap of the normalised rectangles; one that only touches along an
// edge is a zero-width or zero-height result, no overlap at all is 0,0,0,0.
TRect IntersectRects(TRect r1, TRect r2);
// All four edges count as inside.
bool PointInRect(int x, int y, const TRect& r);

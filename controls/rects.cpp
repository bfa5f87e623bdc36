#include "controls/rects.h"

#include "controls/min_max.h"

TRect NormalizeRect(TRect r)
{
    return {Min(r.Left, r.Right), Min(r.Top, r.Bottom), Max(r.Left, r.Right), Max(r.Top, r.Bottom)};
}

TRect IntersectRects(TRect r1, TRect r2)
{
    r1 = NormalizeRect(r1);
    r2 = NormalizeRect(r2);
    const TRect r{Max(r1.Left, r2.Left), Max(r1.Top, r2.Top), Min(r1.Right, r2.Right), Min(r1.Bottom, r2.Bottom)};
    if (r.Left > r.Right || r.Top > r.Bottom)
        return {};
    return r;
}

bool PointInRect(int x, int y, const TRect& r) { return r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom; }

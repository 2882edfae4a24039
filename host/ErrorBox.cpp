#include "host/ErrorBox.h"

namespace {
const float kBoxWidth = 300.0f;
const float kBoxHeight = 150.0f;
}  // namespace

RECT ErrorBox::Rect() const
{
    RECT r;
    r.left = static_cast<LONG>(x);
    r.top = static_cast<LONG>(y);
    r.right = static_cast<LONG>(x + width);
    r.bottom = static_cast<LONG>(y + height);
    return r;
}

void PlaceErrorBox(ErrorBox& box, const RECT& bounds, bool preview)
{
    const float w = static_cast<float>(bounds.right - bounds.left);
    const float h = static_cast<float>(bounds.bottom - bounds.top);
    if (preview) {
        box = ErrorBox{0, 0, w, h, 0, 0};
        return;
    }
    box.width = kBoxWidth;
    box.height = kBoxHeight;
    box.x = (static_cast<float>(bounds.left + bounds.right) - kBoxWidth) * 0.5f;
    box.y = (static_cast<float>(bounds.top + bounds.bottom) - kBoxHeight) * 0.5f;
    box.vx = w / 10.0f;
    box.vy = h / 20.0f;
}

bool StepErrorBox(ErrorBox& box, const RECT& bounds, float dt, RECT* oldRect, RECT* newRect)
{
    const RECT before = box.Rect();
    const float nx = box.x + box.vx * dt;
    if ((nx + box.width > bounds.right && box.vx > 0) || (nx < bounds.left && box.vx < 0))
        box.vx = -box.vx;
    const float ny = box.y + box.vy * dt;
    if ((ny + box.height > bounds.bottom && box.vy > 0) || (ny < bounds.top && box.vy < 0))
        box.vy = -box.vy;
    box.x += box.vx * dt;
    box.y += box.vy * dt;
    const RECT after = box.Rect();
    if (oldRect)
        *oldRect = before;
    if (newRect)
        *newRect = after;
    return after.left != before.left || after.top != before.top;
}

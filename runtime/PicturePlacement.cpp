#include "runtime/PicturePlacement.h"

#include "model/D3DResourceMakers.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"

namespace {

PicturePlacement& Record()
{
    static PicturePlacement s_record = [] {
        PicturePlacement record;
        InitScreenQuad(record.placedQuad);
        return record;
    }();
    return s_record;
}

}  // namespace

const PicturePlacement& GetPicturePlacement()
{
    return Record();
}

void SetPicturePlacement(const ScreenQuad& placedQuad, int width, int height, int pictureWidth,
                         int pictureHeight, int backBufferWidth, int backBufferHeight)
{
    PicturePlacement& record = Record();
    record.scaleX = width > 0 ? static_cast<float>(backBufferWidth) / static_cast<float>(width) : 1.0f;
    record.scaleY = height > 0 ? static_cast<float>(backBufferHeight) / static_cast<float>(height) : 1.0f;
    record.placedQuad = placedQuad;
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        pictureWidth = width;
        pictureHeight = height;
    }
    record.pictureWidth = pictureWidth;
    record.pictureHeight = pictureHeight;
}

void SetPicturePlacement(const ScreenQuad& placedQuad, int width, int height, int pictureWidth,
                         int pictureHeight)
{
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    SetPicturePlacement(placedQuad, width, height, pictureWidth, pictureHeight,
                        static_cast<int>(desc.Width), static_cast<int>(desc.Height));
}

void RestorePicturePlacement(const PicturePlacement& record)
{
    Record() = record;
}

D3DXVECTOR3 MapPointToPicture(const D3DXVECTOR3& point)
{
    const PicturePlacement& record = Record();
    const ScreenQuad& quad = record.placedQuad;
    const float x0 = quad.corners[ScreenQuad::kBottomLeft].x;
    const float x1 = quad.corners[ScreenQuad::kTopRight].x;
    const float y0 = quad.corners[ScreenQuad::kTopLeft].y;
    const float y1 = quad.corners[ScreenQuad::kBottomRight].y;
    if (!(x1 != x0) || !(y1 != y0))
        return point;

    float inverseScaleX = 1.0f, inverseScaleY = 1.0f, offsetX = 0.0f, offsetY = 0.0f;
    if (CurrentScreenView) {
        inverseScaleX = CurrentScreenView->InverseScaleX();
        inverseScaleY = CurrentScreenView->InverseScaleY();
        offsetX = CurrentScreenView->OffsetX();
        offsetY = CurrentScreenView->OffsetY();
    }
    const float w = static_cast<float>(record.pictureWidth);
    const float h = static_cast<float>(record.pictureHeight);
    D3DXVECTOR3 result = point;
    result.x = w * (point.x - x0) / (x1 - x0) * inverseScaleX - offsetX;
    result.y = h * (point.y - y0) / (y1 - y0) * inverseScaleY - offsetY;
    return result;
}

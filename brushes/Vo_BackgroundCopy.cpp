#include "brushes/Vo_BackgroundCopy.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABRender.h"

Vo_BackgroundCopy::Vo_BackgroundCopy()
{
    EffectLink().Assign(L"common_res.dll", 75);
}

Vo_BackgroundCopy::Vo_BackgroundCopy(const Vo_BackgroundCopy& other)
    : Vo_FX_Constructor(other), m_rectangle(other.m_rectangle), m_verticalWrap(other.m_verticalWrap),
      m_horizontalWrap(other.m_horizontalWrap)
{
}

Vo_BackgroundCopy::~Vo_BackgroundCopy() = default;

void Vo_BackgroundCopy::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    m_rectangle.Load(stream);
    stream.ReadLong(m_verticalWrap.ValueRef());
    stream.ReadLong(m_horizontalWrap.ValueRef());
    Vo_FX_Constructor::Load(stream);
}

bool Vo_BackgroundCopy::OffsetFor(unsigned pictureWidth, unsigned pictureHeight, float offset[2]) const
{
    if (pictureWidth == 0 || pictureHeight == 0)
        return false;
    offset[0] = static_cast<float>(m_rectangle.CenterX().Value()) / static_cast<float>(pictureWidth);
    offset[1] = static_cast<float>(m_rectangle.CenterY().Value()) / static_cast<float>(pictureHeight);
    if (m_verticalWrap.Value() != 0)
        offset[1] += 1.0f;
    if (m_horizontalWrap.Value() != 0)
        offset[0] += 1.0f;
    return true;
}

void Vo_BackgroundCopy::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    float offset[2];
    // A picture without size would give an infinite offset: nothing to copy.
    if (!effect || !OffsetFor(layer->GetPictureWidth(), layer->GetPictureHeight(), offset))
        return;
    effect->SetFloatArray("offset", offset, 2);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_BackgroundCopy);

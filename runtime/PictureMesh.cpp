#include "runtime/PictureMesh.h"

#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"

HRESULT PictureMesh::CreateQuad()
{
    const float values[20] = {0, 0, 0, 0, 1,  0, 0, 0, 0, 0,  0, 0, 0, 1, 1,  0, 0, 0, 1, 0};
    return BuildWorldQuad(values);
}

void PictureMesh::SetSize(float width, float height)
{
    const float corners[12] = {0, height, 0,  0, 0, 0,  width, height, 0,  width, 0, 0};
    SetWorldCorners(corners);
}

void PictureMesh::SetPicture(const TextureInfo& picture)
{
    m_picture = picture;
    SetTexture(m_picture.texture.Get());
    SetSize(static_cast<float>(m_picture.width), static_cast<float>(m_picture.height));
}

void PictureMesh::LoadPicture(const Vo_FileLink3& link)
{
    TextureInfo picture;
    if (CurrentDocResManager)
        picture = CopyFirstTextureInfo(CurrentDocResManager->GetTextureFrameSet(link));
    SetPicture(picture);
}

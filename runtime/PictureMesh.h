#pragma once
#include "model/TextureInfo.h"
#include "runtime/TexturedQuad.h"

class Vo_FileLink3;

// A layer's picture: a TexVertex strip in picture pixels with the picture's texture, and the
// picture's TextureInfo, which brushes read through the layer.
class PictureMesh : public TexturedQuad {
public:
    PictureMesh() = default;

    // A new TexVertex buffer with the texture coordinates (0, 1), (0, 0), (1, 1), (1, 0).
    HRESULT CreateQuad();
    // Corners (0, h), (0, 0), (w, h), (w, 0), z 0; texture coordinates kept.
    void SetSize(float width, float height);
    // The first frame of the link's frame set in the current resource store becomes the picture
    // and the mesh's texture, and the mesh takes the picture's size. A set without frames leaves
    // no texture and a mesh of size 0: nothing is drawn.
    void LoadPicture(const Vo_FileLink3& link);

    const TextureInfo& Picture() const { return m_picture; }
    void SetPicture(const TextureInfo& picture);

private:
    TextureInfo m_picture;
};

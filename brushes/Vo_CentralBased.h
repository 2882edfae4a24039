#pragma once
#include <d3dx9math.h>

#include "brushes/Vo_FX_Constructor.h"

// Base of the brushes that distort the image around one centre of the picture: expansion, radial
// waves, rotation and bending. Adds the centre, in picture pixels, to the brush base.
class Vo_CentralBased : public Vo_FX_Constructor {
public:
    // The centre starts in the middle of the picture laid out last.
    Vo_CentralBased();
    Vo_CentralBased(const Vo_CentralBased& other);
    ~Vo_CentralBased() override;

    // The record of this level (header, centre x, y, z), then the base record.
    void Load(Vo_IOF_Virtual& stream);

    // The common parameters ("Scale" with four values, "Mask", "Background", the technique), then
    // "Center" in texture units.
    void SetCenterParams(Vo_ABRender* layer);

    // The centre over the size of the picture laid out last: texture units. Before any layout the
    // picture has no size, and a side without size gives 0 rather than a division by it.
    D3DXVECTOR2 CenterInPicture() const;

    MediaParamT<D3DXVECTOR3>& Center() { return m_center; }
    const MediaParamT<D3DXVECTOR3>& Center() const { return m_center; }

private:
    MediaParamT<D3DXVECTOR3> m_center;
};

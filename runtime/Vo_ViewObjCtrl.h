#pragma once
#include <d3dx9math.h>

#include <cstdint>

#include "model/MediaParamT.h"
#include "model/MediaRectangle.h"
#include "model/ParamBindingList.h"
#include "runtime/Vo_ABObj_Constructor.h"

struct ScreenQuad;

// The description of an object placed in a rectangle of the picture. The rectangle is stored
// relative to the picture (0 to 1) and mirrored in whole picture pixels; a change of a pixel edge
// writes the relative value back, so the relative rectangle always sits on whole pixels. It also
// keeps the object's speed clock.
class Vo_ViewObjCtrl : public Vo_ABObj_Constructor {
public:
    Vo_ViewObjCtrl();
    // Copies the relative rectangle, speed and flag; the pixel rectangle is worked out afresh
    // from the picture laid out now, and the clock starts at 0.
    Vo_ViewObjCtrl(const Vo_ViewObjCtrl& other);
    Vo_ViewObjCtrl& operator=(const Vo_ViewObjCtrl&) = delete;
    ~Vo_ViewObjCtrl() override;

    void Restart() override;
    // The rectangle in picture pixels as a quad, corners in vertex order.
    virtual void GetScreenQuad(ScreenQuad* quad) const;
    virtual bool HitTest(float, float) const { return false; }

    void Load(Vo_IOF_Virtual& stream);
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Advances the speed clock to absolute time t.
    void UpdateSpeed(float t);
    // Pixel edges from the relative rectangle and the picture laid out last.
    void UpdatePixelRect();

    // A random point of the rectangle in picture pixels, x drawn first; z 0.
    D3DXVECTOR3 RandomPointInRect() const;
    // The same within the rectangle inset by a particle's half size on each side.
    D3DXVECTOR3 RandomPointNear(float halfWidth, float halfHeight) const;

    int GetMinXPixels() const { return m_pixelRect.Left().Value(); }
    int GetMaxXPixels() const { return m_pixelRect.Right().Value(); }
    int GetMinYPixels() const { return m_pixelRect.Top().Value(); }
    int GetMaxYPixels() const { return m_pixelRect.Bottom().Value(); }

    MediaRectangle& PixelRect() { return m_pixelRect; }
    const MediaRectangle& PixelRect() const { return m_pixelRect; }
    MediaParamT<unsigned int>& Speed() { return m_speed; }
    const MediaParamT<unsigned int>& Speed() const { return m_speed; }
    uint8_t Flag() const { return m_flag; }
    void SetFlag(uint8_t flag) { m_flag = flag; }

    float MinX() const { return m_minX; }
    float MaxX() const { return m_maxX; }
    float MinY() const { return m_minY; }
    float MaxY() const { return m_maxY; }
    // Sets the relative rectangle without touching the pixel edges; UpdatePixelRect follows.
    void SetRelativeRect(float minX, float maxX, float minY, float maxY);

    // The speed clock: the last step scaled by the speed, the sum of those, the last step
    // clamped to 0.1 s, and the time of the last update.
    float ScaledStep() const { return m_scaledStep; }
    float AccumulatedTime() const { return m_accumulated; }
    float ClampedStep() const { return m_clampedStep; }
    float LastTime() const { return m_lastTime; }

protected:
    void BindRectangleCallbacks();

private:
    void OnMinXChanged(int left);
    void OnMaxXChanged(int right);
    void OnMinYChanged(int top);
    void OnMaxYChanged(int bottom);

    MediaRectangle m_pixelRect;
    MediaParamT<unsigned int> m_speed;
    uint8_t m_flag = 0;
    float m_minX = 0.0f;
    float m_maxX = 1.0f;
    float m_minY = 0.0f;
    float m_maxY = 1.0f;
    float m_scaledStep = 0.0f;
    float m_accumulated = 0.0f;
    float m_clampedStep = 0.0f;
    float m_lastTime = 0.0f;
    // Last, so its controls leave the rectangle's edges before the edges are destroyed.
    ParamBindingList m_bindings;
};

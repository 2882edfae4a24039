#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Vo_IOF_Item.h"
#include "runtime/CountedHandle.h"
#include "runtime/SlideSchedule.h"
#include "runtime/VertexTypes.h"
#include "runtime/Vo_AudioFile.h"
#include "runtime/Vo_SimpleMesh.h"
#include "runtime/Vo_SlideContainer.h"

class Vo_IOF_Virtual;

// The document root: the slides, shown one at a time with fades through a black overlay, and the
// background music tracks that the host plays.
class Vo_SlideShow_Light : public Vo_IOF_Item {
public:
    using SlideList = std::vector<CountedHandle<Vo_SlideContainer>>;
    using TrackList = std::vector<CountedHandle<Vo_AudioFile>>;

    Vo_SlideShow_Light();
    Vo_SlideShow_Light(const Vo_SlideShow_Light&) = delete;
    Vo_SlideShow_Light& operator=(const Vo_SlideShow_Light&) = delete;
    ~Vo_SlideShow_Light() override;

    virtual HRESULT Render(int nested);
    // Releases every slide's device objects and the resource store's, so that a reset succeeds.
    virtual HRESULT InvalidateDeviceObjects();
    // Only the current slide's layer; the others rebuild when they are shown.
    virtual HRESULT RestoreDeviceObjects();
    virtual HRESULT FrameMove(float time);

    // A count, then that many records. False for a negative count, a record of an unknown class,
    // a slide without a layer or a stream that failed; what was read stays in the lists.
    bool LoadSlides(Vo_IOF_Virtual& stream);
    bool LoadAudioFiles(Vo_IOF_Virtual& stream);

    void ActivateSlides();
    void SetPicturePosition(int mode);

    const SlideList& Slides() const { return m_slides; }
    const TrackList& Tracks() const { return m_tracks; }
    const CountedHandle<Vo_SlideContainer>& CurrentSlide() const { return m_currentSlide; }
    Vo_SimpleMesh<DX_V::PCT>* Overlay() const { return m_overlay.get(); }
    const SlideSchedule& Schedule() const { return m_schedule; }

private:
    void ShowSlide();
    void CreateOverlay();
    void SetOverlayAlpha(float alpha);

    CountedHandle<Vo_SlideContainer> m_currentSlide;
    SlideList m_slides;
    TrackList m_tracks;
    SlideSchedule m_schedule;
    // Screen-space colour vertices, black, with the fade in their alpha.
    std::unique_ptr<Vo_SimpleMesh<DX_V::PCT>> m_overlay;
};

// The root record: class name and version (neither looked at), the slides, the music tracks.
// Null when the record is damaged; nothing of it is kept then.
Vo_SlideShow_Light* ReadRootSlideShow(Vo_IOF_Virtual& stream);

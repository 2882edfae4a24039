#pragma once
#include <cstdint>
#include <vector>

#include "model/MediaParamT.h"
#include "model/Vo_IOF_Item.h"
#include "runtime/CountedHandle.h"
#include "runtime/SlideSchedule.h"
// Complete, so that a handle to the layer copied out of a slide can delete it.
#include "runtime/Vo_2D_Light.h"

class Vo_ABObj;
class Vo_ABObj_Constructor;
class Vo_IOF_Virtual;

// One slide of the show: its times, its layer and the runtime objects made from its scene-object
// records, those drawn into the layer and those that only follow their timelines (sound items).
class Vo_SlideContainer : public Vo_IOF_Item {
public:
    using ObjectList = std::vector<CountedHandle<Vo_ABObj>>;
    using RecordList = std::vector<Vo_ABObj_Constructor*>;

    Vo_SlideContainer();
    Vo_SlideContainer(const Vo_SlideContainer&) = delete;
    Vo_SlideContainer& operator=(const Vo_SlideContainer&) = delete;
    ~Vo_SlideContainer() override;

    virtual void InvalidateDeviceObjects();

    // The record's fields after the class name and version. A record that names an unknown
    // layer leaves the slide without one; an unknown scene-object class stops its list. The
    // caller checks both, and the stream, before trusting the slide.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // A count, then that many scene-object records. Returns false for a count below 0 or a
    // record of a class no registry holds; the records read so far stay in the list.
    bool ReadObjectList(Vo_IOF_Virtual& stream, RecordList& list);

    CountedHandle<Vo_2D_Light> GetLight() const { return m_layer; }
    void SetLight(Vo_2D_Light* layer);
    // Turns the records into runtime objects and deletes the records.
    void Activate();
    void Render(int nested);
    void EndRender(int nested);
    void Update(float time);
    // The drawn objects restart, then the layer rebuilds its device objects.
    void Restore();
    void Layout(int width, int height);
    void SetPicturePosition(int mode);
    void SetTrackObjectsEnabled(bool enabled);

    SlideTimes Times() const;
    MediaParamT<unsigned int>& FadeIn() { return m_fadeIn; }
    MediaParamT<unsigned int>& FadeOut() { return m_fadeOut; }
    MediaParamT<unsigned int>& ShowTime() { return m_showTime; }
    MediaParamT<int>& SignedValue() { return m_signedValue; }
    MediaParamTB<vo_string>& Caption() { return m_caption; }
    MediaParamT<unsigned int>& UnsignedValue() { return m_unsignedValue; }
    const ObjectList& DrawnObjects() const { return m_drawnObjects; }
    const ObjectList& TrackObjects() const { return m_trackObjects; }
    const RecordList& DrawnRecords() const { return m_drawnRecords; }
    const RecordList& TrackRecords() const { return m_trackRecords; }
    bool LoadedCompletely() const { return m_loadedCompletely; }

private:
    static void MakeObjects(RecordList& records, ObjectList& objects);
    static void DeleteRecords(RecordList& records);

    MediaParamT<unsigned int> m_fadeIn;
    MediaParamT<unsigned int> m_fadeOut;
    MediaParamT<unsigned int> m_showTime;
    MediaParamT<int> m_signedValue;
    MediaParamTB<vo_string> m_caption;
    MediaParamT<unsigned int> m_unsignedValue;
    CountedHandle<Vo_2D_Light> m_layer;
    ObjectList m_drawnObjects;
    ObjectList m_trackObjects;
    RecordList m_drawnRecords;
    RecordList m_trackRecords;
    bool m_loadedCompletely = false;
};

// Reads a slide record through the slide registry: null for an unknown class name.
Vo_SlideContainer* CreateSlide(Vo_IOF_Virtual& stream, int32_t version);

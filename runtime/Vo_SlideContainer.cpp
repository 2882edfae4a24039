#include "runtime/Vo_SlideContainer.h"

#include "model/ClassReaderRegistration.h"
#include "model/ClassReaderRegistries.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_ABObj_Constructor.h"

Vo_SlideContainer::Vo_SlideContainer()
    : m_fadeIn(1), m_fadeOut(1), m_showTime(10), m_signedValue(0), m_unsignedValue(10),
      m_layer(nullptr)
{
}

Vo_SlideContainer::~Vo_SlideContainer()
{
    // Records left over from a slide that was never activated belong to the slide.
    DeleteRecords(m_drawnRecords);
    DeleteRecords(m_trackRecords);
    m_trackObjects.clear();
    m_drawnObjects.clear();
    m_layer.Release();
}

void Vo_SlideContainer::DeleteRecords(RecordList& records)
{
    for (Vo_ABObj_Constructor* record : records)
        delete record;
    records.clear();
}

void Vo_SlideContainer::SetLight(Vo_2D_Light* layer)
{
    m_layer = CountedHandle<Vo_2D_Light>(layer);
}

void Vo_SlideContainer::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    m_loadedCompletely = false;
    stream.ReadUInt(m_fadeIn.ValueRef());
    stream.ReadUInt(m_fadeOut.ValueRef());
    stream.ReadUInt(m_showTime.ValueRef());
    stream.ReadLong(m_signedValue.ValueRef());
    stream.ReadString(m_caption.ValueRef());
    if (version > 2)
        stream.ReadUInt(m_unsignedValue.ValueRef());
    SetLight(ReadLight2DRecord(stream));
    if (!m_layer || stream.Failed())
        return;
    if (!ReadObjectList(stream, m_drawnRecords))
        return;
    if (version > 1 && !ReadObjectList(stream, m_trackRecords))
        return;
    m_loadedCompletely = !stream.Failed();
}

bool Vo_SlideContainer::ReadObjectList(Vo_IOF_Virtual& stream, RecordList& list)
{
    int32_t count = 0;
    stream.ReadInt(count);
    if (stream.Failed() || count < 0)
        return false;
    // Each record takes at least its header's bytes, so a count larger than what remains ends
    // with a failed stream within the bytes left, never with a huge allocation.
    for (int32_t i = 0; i < count; ++i) {
        Vo_ABObj_Constructor* record = ReadConstructorRecord(stream);
        if (!record)
            return false;
        list.push_back(record);
        if (stream.Failed())
            return false;
    }
    return true;
}

Vo_SlideContainer* CreateSlide(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_SlideContainer> slide(new Vo_SlideContainer());
    slide->LoadFields(stream, version);
    return slide.release();
}

VO_REGISTER_SLIDE_READER(Vo_SlideContainer);

void Vo_SlideContainer::MakeObjects(RecordList& records, ObjectList& objects)
{
    for (Vo_ABObj_Constructor* record : records) {
        Vo_ABObj* object = record->CreateObject();
        if (object)
            objects.push_back(CountedHandle<Vo_ABObj>(object));
    }
}

void Vo_SlideContainer::Activate()
{
    if (m_layer) {
        m_layer->LoadContent();
        m_layer->Layout(1, 1);
    }
    MakeObjects(m_drawnRecords, m_drawnObjects);
    MakeObjects(m_trackRecords, m_trackObjects);
    DeleteRecords(m_drawnRecords);
    DeleteRecords(m_trackRecords);
}

void Vo_SlideContainer::Render(int nested)
{
    if (!m_layer)
        return;
    int n = 0;
    for (const auto& object : m_drawnObjects)
        if (object && object->NeedsBackground())
            ++n;
    if (m_layer->HasOwnPostEffect())
        ++n;
    if (n > 0)
        m_layer->BeginEffects();
    m_layer->BeginRender(nested);
    m_layer->ApplyEffects(m_drawnObjects, n);
}

void Vo_SlideContainer::EndRender(int nested)
{
    if (m_layer)
        m_layer->EndRender(nested);
}

void Vo_SlideContainer::Update(float time)
{
    if (m_layer)
        m_layer->Update(time);
    for (const auto& object : m_drawnObjects)
        object->UpdateByTimeline(time);
    for (const auto& object : m_trackObjects)
        object->UpdateByTimeline(time);
}

void Vo_SlideContainer::Restore()
{
    for (const auto& object : m_drawnObjects)
        object->Restart();
    if (m_layer)
        m_layer->RestoreDeviceObjects();
}

void Vo_SlideContainer::Layout(int width, int height)
{
    if (m_layer)
        m_layer->Layout(width, height);
}

void Vo_SlideContainer::SetPicturePosition(int mode)
{
    if (m_layer)
        m_layer->SetPicturePosition(mode);
}

void Vo_SlideContainer::SetTrackObjectsEnabled(bool enabled)
{
    for (const auto& object : m_trackObjects)
        object->SetEnabled(enabled ? 1 : 0);
}

void Vo_SlideContainer::InvalidateDeviceObjects()
{
    if (m_layer)
        m_layer->InvalidateDeviceObjects();
}

SlideTimes Vo_SlideContainer::Times() const
{
    return SlideTimes{m_fadeIn.Value(), m_showTime.Value(), m_fadeOut.Value()};
}

#include "runtime/Vo_ABObj.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/IOF_Virtual_Reader.h"
#include "runtime/CountedHandle.h"
#include "runtime/Vo_ABObj_Constructor.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/QueuedStream.h"

namespace {

int s_descriptionDeaths = 0;

class TestDescription : public Vo_ABObj_Constructor {
public:
    TestDescription() = default;
    TestDescription(const TestDescription&) = default;
    ~TestDescription() override { ++s_descriptionDeaths; }
    Vo_ABObj* CreateObject() override;
};

class TestObject : public Vo_ABObj {
public:
    explicit TestObject(TestDescription* owner) : Vo_ABObj(owner) {}
    void Render(Vo_ABRender*) override {}
    void Notify(int, int) override {}
    void Relayout() override {}
    void Update(float localTime) override { updates.push_back(localTime); }
    std::vector<float> updates;
};

Vo_ABObj* TestDescription::CreateObject()
{
    return new TestObject(new TestDescription(*this));
}

void PushDefaultTimeline(QueuedStream& stream, int mode)
{
    stream.Push(QueuedStream::String{L"Vo_TimeLineControl"})
        .Push(QueuedStream::Int{1})
        .Push(QueuedStream::Long{mode})
        .Push(QueuedStream::Long{0});
    for (int i = 0; i < 6; ++i)
        stream.Push(QueuedStream::UInt{100});
    stream.Push(QueuedStream::Int{0});
}

TEST(Vo_ABObj, RuntimeObjectOwnsItsCloneAndRunsOnItsTimeline)
{
    s_descriptionDeaths = 0;
    TestDescription description;
    description.SetName(L"fish");
    description.Timeline().Mode().SetValue(Vo_TimeLineControl::kCycling);
    {
        CountedHandle<Vo_ABObj> handle(description.CreateObject());
        TestObject& object = static_cast<TestObject&>(*handle);
        ASSERT_NE(object.Owner(), &description);
        EXPECT_EQ(object.Owner()->Name(), L"fish");
        EXPECT_NE(&object.Owner()->Timeline(), &description.Timeline());
        EXPECT_EQ(object.Owner()->Timeline().Mode().Value(), Vo_TimeLineControl::kCycling);
        EXPECT_EQ(object.GetKind(), 3);
        EXPECT_EQ(object.QueryOwner(), nullptr);
        EXPECT_EQ(object.IsEnabled(), 1);
        object.SetEnabled(0);
        EXPECT_EQ(object.IsEnabled(), 0);

        // The first frame is measured from 0, so it hands out the whole absolute time.
        object.UpdateByTimeline(4.0f);
        object.UpdateByTimeline(4.5f);
        ASSERT_EQ(object.updates.size(), 2u);
        EXPECT_FLOAT_EQ(object.updates[0], 4.0f);
        EXPECT_FLOAT_EQ(object.updates[1], 4.5f);
        EXPECT_EQ(object.Owner()->Timeline().GetState(), 2);
        // The description itself never ran.
        EXPECT_EQ(description.Timeline().States().LastTime(), 0.0f);

        object.Restart();
        EXPECT_EQ(object.Owner()->Timeline().States().LastTime(), 0.0f);
        EXPECT_EQ(object.Owner()->Timeline().GetState(), 1);
        object.UpdateByTimeline(10.0f);
        EXPECT_FLOAT_EQ(object.updates.back(), 10.0f);
        EXPECT_EQ(s_descriptionDeaths, 0);
    }
    EXPECT_EQ(s_descriptionDeaths, 1);
}

TEST(Vo_ABObj_Constructor, RecordByVersion)
{
    // Version 2: name and timeline.
    QueuedStream v2;
    v2.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{2});
    v2.Push(QueuedStream::String{L"rain"});
    PushDefaultTimeline(v2, 1);
    TestDescription a;
    a.Load(v2);
    EXPECT_FALSE(v2.Failed());
    EXPECT_EQ(v2.Remaining(), 0u);
    EXPECT_EQ(a.Name(), L"rain");
    EXPECT_EQ(a.Timeline().Mode().Value(), 1);
    EXPECT_FLOAT_EQ(a.Timeline().FadeOut().Result(), 1.0f);

    // Version 1: no timeline; the default stays and nothing more is read.
    QueuedStream v1;
    v1.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{1});
    v1.Push(QueuedStream::String{L"old"});
    v1.Push(QueuedStream::Int{12345});
    TestDescription b;
    b.Load(v1);
    EXPECT_EQ(b.Name(), L"old");
    EXPECT_EQ(b.Timeline().Mode().Value(), 0);
    EXPECT_EQ(v1.Remaining(), 1u);

    // An empty stored name leaves the name as it was.
    QueuedStream empty;
    empty.Push(QueuedStream::String{L""}).Push(QueuedStream::Int{1}).Push(QueuedStream::String{L""});
    TestDescription c;
    c.SetName(L"kept");
    c.Load(empty);
    EXPECT_EQ(c.Name(), L"kept");
}

TEST(Vo_ABObj_Constructor, ReaderTemplateReadsFieldsAfterNameAndVersion)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"sparkle"});
    PushDefaultTimeline(stream, 2);
    IOF_Virtual_ReaderT<TestDescription> reader;
    std::unique_ptr<Vo_ABObj_Constructor> made(reader.CreateObject(stream, 2));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Name(), L"sparkle");
    EXPECT_EQ(made->Timeline().Mode().Value(), 2);
    EXPECT_EQ(stream.Remaining(), 0u);
}

TEST(Vo_ABObj_Constructor, DefaultsAndHooks)
{
    TestDescription description;
    EXPECT_EQ(description.ReservedValue(), 1);
    EXPECT_TRUE(description.Name().empty());
    EXPECT_EQ(description.GetKind(), 3);
    ObjectPreviewInfo info;
    info.frame = 9;
    info.scale = 3.0f;
    description.GetPreviewInfo(info);
    EXPECT_EQ(info.picture, nullptr);
    EXPECT_EQ(info.frame, 0);
    EXPECT_EQ(info.flag, 0);
    EXPECT_EQ(info.scale, 1.0f);
    EXPECT_EQ(description.ReservedQuery(5), 0);
    EXPECT_EQ(description.QueryForObject(nullptr), nullptr);
}

}  // namespace

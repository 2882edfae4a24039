#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_DirectionBased.h"
#include "support/BrushTesting.h"

using namespace brush_testing;

namespace {

class DirectionBrush : public Vo_DirectionBased {
public:
    DirectionBrush() = default;
    DirectionBrush(const DirectionBrush& other) = default;
    void Render(Vo_ABRender*) override {}
    Vo_FX_Constructor* Clone() const override { return new DirectionBrush(*this); }
};

struct AngleCase {
    unsigned int angle;
    float x, y;
};

const AngleCase kAngles[] = {{0, 1, 0}, {90, 0, -1}, {270, 0, 1}, {450, 0, -1}};

// A change of the angle through its parameter turns the direction at once.
TEST(Vo_DirectionBasedTest, DirectionFollowsTheAngleParameter)
{
    DirectionBrush brush;
    EXPECT_FLOAT_EQ(brush.Direction().x, 1.0f);
    EXPECT_NEAR(brush.Direction().y, 0.0f, 1e-6f);
    for (const AngleCase& c : kAngles) {
        brush.Angle().SetValue(c.angle);
        EXPECT_NEAR(brush.Direction().x, c.x, 1e-6f) << c.angle;
        EXPECT_NEAR(brush.Direction().y, c.y, 1e-6f) << c.angle;
    }
}

// A record stores the angle without turning the description; the runtime clone turns.
TEST(Vo_DirectionBasedTest, RecordAngleReachesTheClone)
{
    for (const AngleCase& c : kAngles) {
        SCOPED_TRACE(c.angle);
        QueuedStream stream;
        stream.Push(QueuedStream::String{L"Vo_DirectionBased"}).Push(QueuedStream::Int{1});
        stream.Push(QueuedStream::UInt{250}).Push(QueuedStream::UInt{c.angle});
        PushFxRecord(stream, 1, 10, 0, L"", 0);
        DirectionBrush brush;
        brush.Strength().Rescale(0.004f, 0.0f);
        brush.Load(stream);
        EXPECT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(brush.Angle().Value(), c.angle);
        EXPECT_FLOAT_EQ(brush.Direction().x, 1.0f);

        std::unique_ptr<Vo_FX_Constructor> clone(brush.Clone());
        auto* copy = static_cast<DirectionBrush*>(clone.get());
        EXPECT_NEAR(copy->Direction().x, c.x, 1e-6f);
        EXPECT_NEAR(copy->Direction().y, c.y, 1e-6f);
        EXPECT_FLOAT_EQ(copy->Strength().Result(), 1.0f);
        // The clone's angle has its own observer: turning it leaves the description alone.
        copy->Angle().SetValue(0);
        EXPECT_NEAR(copy->Direction().x, 1.0f, 1e-6f);
        EXPECT_EQ(brush.Angle().Value(), c.angle);
    }
}

}  // namespace

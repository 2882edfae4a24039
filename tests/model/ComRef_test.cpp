#include "model/ComRef.h"

#include <gtest/gtest.h>

namespace {

// Counts references the way a COM object does.
struct CountedObject {
    unsigned long refs = 1;
    unsigned long AddRef() { return ++refs; }
    unsigned long Release() { return --refs; }
};

}  // namespace

TEST(ComRefTest, AttachTakesOverAndAssignAddsAReference)
{
    CountedObject created;  // as handed out by a Create call: one reference
    {
        ComRef<CountedObject> owner;
        owner.Attach(&created);
        EXPECT_EQ(created.refs, 1u);
        ComRef<CountedObject> second;
        second.Assign(owner.Get());
        EXPECT_EQ(created.refs, 2u);
        ComRef<CountedObject> copy(second);
        EXPECT_EQ(created.refs, 3u);
        ComRef<CountedObject> moved(std::move(copy));
        EXPECT_EQ(created.refs, 3u);
        EXPECT_FALSE(copy);
    }
    EXPECT_EQ(created.refs, 0u);
}

TEST(ComRefTest, ReleaseInterfaceNullsAndReturnsTheCount)
{
    CountedObject object;
    object.refs = 2;
    CountedObject* p = &object;
    EXPECT_EQ(ReleaseInterface(p), 1u);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(ReleaseInterface(p), 0u);
    EXPECT_EQ(object.refs, 1u);
}

TEST(ComRefTest, SelfAssignmentKeepsTheObject)
{
    CountedObject object;
    ComRef<CountedObject> ref;
    ref.Attach(&object);
    ref.Assign(ref.Get());
    EXPECT_EQ(object.refs, 1u);
    EXPECT_EQ(ref.Get(), &object);
}

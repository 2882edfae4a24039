#include "runtime/CountedHandle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts destructions through the virtual destructor, as the handle deletes a derived object
// through a base pointer.
struct Counted {
    explicit Counted(int* deaths) : m_deaths(deaths) {}
    virtual ~Counted() { ++*m_deaths; }
    int* m_deaths;
};
struct DerivedCounted : Counted {
    DerivedCounted(int* deaths, int* derivedDeaths) : Counted(deaths), m_derivedDeaths(derivedDeaths) {}
    ~DerivedCounted() override { ++*m_derivedDeaths; }
    int* m_derivedDeaths;
};

TEST(CountedHandle, CopyInVectorOutlivesMakerAndLastReleaseDeletes)
{
    int deaths = 0;
    int derivedDeaths = 0;
    std::vector<CountedHandle<Counted>> held;
    {
        CountedHandle<Counted> maker(new DerivedCounted(&deaths, &derivedDeaths));
        EXPECT_EQ(maker.UseCount(), 1);
        held.push_back(maker);
        EXPECT_EQ(maker.UseCount(), 2);
        maker.Release();
        EXPECT_EQ(maker.Get(), nullptr);
        EXPECT_EQ(maker.UseCount(), 0);
    }
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(held[0].UseCount(), 1);
    held[0].Release();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(derivedDeaths, 1);
    held.clear();
    EXPECT_EQ(deaths, 1);
}

TEST(CountedHandle, AssignmentReleasesTargetAndSelfAssignmentKeepsCount)
{
    int deaths = 0;
    CountedHandle<Counted> a(new Counted(&deaths));
    CountedHandle<Counted> b(new Counted(&deaths));
    CountedHandle<Counted> c = a;

    CountedHandle<Counted>& alias = a;
    a = alias;
    EXPECT_EQ(a.UseCount(), 2);
    // Both already share the record: nothing is released.
    c = a;
    EXPECT_EQ(a.UseCount(), 2);

    // b's only reference goes; a's record gains one.
    b = a;
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(a.UseCount(), 3);
    EXPECT_TRUE(b.SharesWith(a));

    a.Release();
    b.Release();
    EXPECT_EQ(deaths, 1);
    c.Release();
    EXPECT_EQ(deaths, 2);
    // Releasing an empty handle again does nothing.
    c.Release();
    EXPECT_EQ(deaths, 2);
}

TEST(CountedHandle, RecordWithoutObjectIsCountedAndReleasedSafely)
{
    CountedHandle<Counted> empty(nullptr);
    EXPECT_EQ(empty.UseCount(), 1);
    EXPECT_FALSE(empty);
    CountedHandle<Counted> copy = empty;
    EXPECT_EQ(empty.UseCount(), 2);
    copy.Release();
    empty.Release();
    EXPECT_EQ(empty.UseCount(), 0);
}

TEST(CountedHandle, MoveTransfersWithoutCounting)
{
    int deaths = 0;
    CountedHandle<Counted> a(new Counted(&deaths));
    CountedHandle<Counted> b(std::move(a));
    EXPECT_EQ(a.UseCount(), 0);
    EXPECT_EQ(b.UseCount(), 1);
    CountedHandle<Counted> c(new Counted(&deaths));
    c = std::move(b);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(c.UseCount(), 1);
}

}  // namespace

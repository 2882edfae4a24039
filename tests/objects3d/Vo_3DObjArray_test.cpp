// The object array of 3D objects without a device: copies added and removed by the count, the
// frames handed to the instances, the trees updated from the description's speed clock, and
// instances whose mesh does not resolve.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/Vo_DocResManager.h"
#include "objects3d/ObjectTesting.h"
#include "objects3d/Vo_3DObjArray.h"
#include "objects3d/Vo_3D_Obj_Ctrl.h"
#include "runtime/Vo_AnimationBase.h"
#include "runtime/Vo_Frame.h"

namespace {

// Writes the frame's world matrix as a translation by the owner's accumulated time along x,
// and counts its own destruction.
class ClockReader : public Vo_AnimationBase {
public:
    ClockReader(const Vo_3D_Obj_Ctrl& owner, int& destroyed) : m_owner(owner), m_destroyed(destroyed) {}
    ~ClockReader() override { ++m_destroyed; }
    void Apply(Vo_Frame& frame) override
    {
        D3DXMatrixTranslation(&frame.World(), m_owner.AccumulatedTime(), 0.0f, 0.0f);
    }

private:
    const Vo_3D_Obj_Ctrl& m_owner;
    int& m_destroyed;
};

// A 3D object of two instances whose trees are numbered in the order they are built (the
// number in the root's first bound), each a root with one child.
class NumberedObject : public Vo_3D_Obj_Ctrl {
public:
    void BuildInstances(std::vector<MeshInstance>& instances) override
    {
        instances.resize(2);
        ++buildInstanceCalls;
    }
    void LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances) override
    {
        instances[0].Frames().assign(roots.begin(), roots.end());
        instances[1].Frames().clear();
        for (Vo_Frame* root : roots)
            instances[1].Frames().push_back(root->Children()[0]);
    }
    Vo_Frame* BuildFrameTree() override
    {
        Vo_Frame* root = new Vo_Frame();
        root->Bounds()[0] = float(++built);
        root->SetAnimator(new ClockReader(*this, destroyed));
        root->AddChild(new Vo_Frame());
        return root;
    }
    Vo_3D_Obj_Ctrl* Clone() const override { return new NumberedObject(*this); }

    int built = 0;
    int destroyed = 0;
    int buildInstanceCalls = 0;
};

std::vector<float> RootNumbers(const Vo_3DObjArray& array)
{
    std::vector<float> numbers;
    for (const Vo_Frame* root : array.Roots())
        numbers.push_back(root->Bounds()[0]);
    return numbers;
}

TEST(Vo_3DObjArray, CountAddsNewCopiesAtTheEndAndRemovesTheOldest)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(200, 100);
    auto* description = new NumberedObject();
    description->Count().ValueRef() = 3;
    Vo_3DObjArray array(description);
    NumberedObject& owner = static_cast<NumberedObject&>(array.Description());
    EXPECT_EQ(RootNumbers(array), (std::vector<float>{1, 2, 3}));

    owner.Count().SetValue(1);
    EXPECT_EQ(RootNumbers(array), (std::vector<float>{3}));
    EXPECT_EQ(owner.destroyed, 2);
    owner.Count().SetValue(3);
    EXPECT_EQ(RootNumbers(array), (std::vector<float>{3, 4, 5}));

    // Every change hands the current frames to the instances, which are never built again.
    ASSERT_EQ(array.Instances().size(), 2u);
    EXPECT_EQ(owner.buildInstanceCalls, 1);
    const std::vector<Vo_Frame*> roots(array.Roots().begin(), array.Roots().end());
    EXPECT_EQ(array.Instances()[0].Frames(), roots);
    ASSERT_EQ(array.Instances()[1].Frames().size(), 3u);
    EXPECT_EQ(array.Instances()[1].Frames()[2], roots[2]->Children()[0]);

    owner.Count().SetValue(0);
    EXPECT_TRUE(array.Roots().empty());
    EXPECT_TRUE(array.Instances()[0].Frames().empty());
    EXPECT_TRUE(array.Instances()[1].Frames().empty());
    EXPECT_EQ(array.Instances().size(), 2u);
}

TEST(Vo_3DObjArray, UpdateAdvancesTheSpeedClockBeforeTheTrees)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(200, 100);
    for (unsigned speed : {0u, 50u, 100u}) {
        SCOPED_TRACE(speed);
        auto* description = new NumberedObject();
        description->Count().ValueRef() = 2;
        description->Speed().ValueRef() = speed;
        Vo_3DObjArray array(description);
        array.Update(0.1f);
        array.Update(0.15f);
        // Raw speed 50 is real time; each root and its child follow the clock of this frame.
        const float expected = 0.15f * float(speed) / 50.0f;
        for (const Vo_Frame* root : array.Roots()) {
            EXPECT_NEAR(root->World()._41, expected, 1e-6f);
            EXPECT_NEAR(root->Children()[0]->World()._41, expected, 1e-6f);
        }
    }
}

TEST(Vo_3DObjArray, DestructionFreesEveryTree)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(200, 100);
    int destroyed = 0;
    {
        auto* description = new NumberedObject();
        description->Count().ValueRef() = 4;
        Vo_3DObjArray array(description);
        // The animators count into the description they were built for, which dies with the
        // array: watch one of them from outside.
        array.Roots().front()->SetAnimator(new ClockReader(array.Description(), destroyed));
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(Vo_3DObjArray, DescriptionDefaultsAndCopy)
{
    NumberedObject object;
    EXPECT_EQ(object.Count().Value(), 1u);
    EXPECT_EQ(object.Size().Value(), 50u);
    EXPECT_EQ(object.Speed().Value(), 50u);
    EXPECT_TRUE(object.PictureLink().GetPath().empty());
    EXPECT_TRUE(object.MeshLink().GetPath().empty());

    object.Count().ValueRef() = 7;
    object.Size().ValueRef() = 120;
    object.PictureLink().Assign(L"C:\\wings.png", 5);
    object.MeshLink().Assign(L"common_res.dll", 69);
    std::unique_ptr<Vo_3D_Obj_Ctrl> copy(object.Clone());
    EXPECT_EQ(copy->Count().Value(), 7u);
    EXPECT_EQ(copy->Size().Value(), 120u);
    EXPECT_EQ(copy->PictureLink().GetKey(), object.PictureLink().GetKey());
    EXPECT_EQ(copy->MeshLink().GetKey(), object.MeshLink().GetKey());
}

TEST(MeshInstance, WithoutAStoreOrAMeshNothingIsBound)
{
    Vo_DocResManager* before = CurrentDocResManager;
    CurrentDocResManager = nullptr;
    MeshInstance instance;
    instance.Bind(Vo_ImageFileLink(900, L"common_res.dll"), Vo_MeshFile(901, L"common_res.dll"));
    EXPECT_FALSE(instance.HasMesh());
    EXPECT_EQ(instance.Mesh().Texture(), nullptr);
    EXPECT_EQ(instance.Mesh().PrimitiveType(), D3DPT_TRIANGLELIST);
    CurrentDocResManager = before;
}

}  // namespace

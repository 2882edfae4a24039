#include <gtest/gtest.h>

#include "runtime/Vo_AnimationBase.h"
#include "runtime/Vo_Frame.h"

namespace {

// Counts its deletions and writes a fixed translation as the world matrix.
class CountingAnimator : public Vo_AnimationBase {
public:
    explicit CountingAnimator(int* deleted, float dx = 0) : m_deleted(deleted), m_dx(dx) {}
    ~CountingAnimator() override { ++*m_deleted; }
    void Apply(Vo_Frame& frame) override
    {
        D3DXMATRIX move;
        D3DXMatrixTranslation(&move, m_dx, 0, 0);
        D3DXMatrixMultiply(&frame.World(), &frame.Local(), &move);
    }

private:
    int* m_deleted;
    float m_dx;
};

D3DXVECTOR3 Transform(const D3DXMATRIX& m, D3DXVECTOR3 p)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

TEST(Vo_Frame, WorldIsOwnMatrixTimesParentAppliedToChildren)
{
    Vo_Frame root;
    auto* child = new Vo_Frame;
    root.AddChild(child);
    // Root: rotate 90 degrees about z; child: move 10 along x. Row vectors apply the child's
    // own move first, then the parent's rotation: (1, 0) -> (11, 0) -> (0, 11).
    D3DXMatrixRotationZ(&root.Local(), D3DX_PI / 2);
    D3DXMatrixTranslation(&child->Local(), 10, 0, 0);

    root.UpdateWorld(nullptr);
    D3DXVECTOR3 p = Transform(child->World(), D3DXVECTOR3(1, 0, 0));
    EXPECT_NEAR(p.x, 0, 1e-4);
    EXPECT_NEAR(p.y, 11, 1e-4);
    // Without a parent the frame keeps its own matrix.
    EXPECT_TRUE(root.World() == root.Local());

    root.DestroyTree();
}

TEST(Vo_Frame, AnimatorMakesTheWorldMatrix)
{
    int deleted = 0;
    Vo_Frame frame;
    D3DXMatrixTranslation(&frame.Local(), 0, 5, 0);
    frame.SetAnimator(new CountingAnimator(&deleted, 3));
    frame.UpdateWorld(nullptr);
    D3DXVECTOR3 p = Transform(frame.World(), D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(p.x, 3);
    EXPECT_FLOAT_EQ(p.y, 5);
    frame.SetAnimator(new CountingAnimator(&deleted));
    EXPECT_EQ(deleted, 1);
}

TEST(Vo_Frame, CopiesShareNeitherAnimatorNorChildren)
{
    int deleted = 0;
    {
        Vo_Frame original;
        D3DXMatrixTranslation(&original.Local(), 1, 2, 3);
        original.SetWinding(0);
        original.Bounds()[0] = 4.5f;
        original.SetAnimator(new CountingAnimator(&deleted));
        auto* child = new Vo_Frame;
        original.AddChild(child);

        Vo_Frame copy(original);
        EXPECT_EQ(copy.Animator(), nullptr);
        EXPECT_TRUE(copy.Children().empty());
        EXPECT_TRUE(copy.Local() == original.Local());
        EXPECT_EQ(copy.Winding(), 0);
        EXPECT_EQ(copy.Bounds()[0], 4.5f);

        Vo_Frame assigned;
        assigned.SetAnimator(new CountingAnimator(&deleted));
        assigned = original;
        EXPECT_EQ(deleted, 1);  // the target's own animator went with the assignment
        EXPECT_EQ(assigned.Animator(), nullptr);
        EXPECT_TRUE(assigned.Children().empty());

        original.DestroyTree();
    }
    // Only the original deleted its animator: no double deletion.
    EXPECT_EQ(deleted, 2);
}

TEST(Vo_Frame, DestroyTreeDeletesEveryDescendant)
{
    int deleted = 0;
    auto* root = new Vo_Frame;
    auto* a = new Vo_Frame;
    auto* b = new Vo_Frame;
    auto* grandchild = new Vo_Frame;
    a->SetAnimator(new CountingAnimator(&deleted));
    b->SetAnimator(new CountingAnimator(&deleted));
    grandchild->SetAnimator(new CountingAnimator(&deleted));
    a->AddChild(grandchild);
    root->AddChild(a);
    root->AddChild(b);
    root->SetAnimator(new CountingAnimator(&deleted));

    Vo_Frame* roots[] = {root};
    DeleteFrameTrees(roots, roots + 1);
    EXPECT_EQ(deleted, 4);
}

}  // namespace

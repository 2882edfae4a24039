#pragma once
#include <d3dx9math.h>

#include <cstdint>
#include <vector>

class Vo_AnimationBase;

// A transform node: a local matrix, the world matrix made from it, an optional animator that the
// frame owns, and child frames that it does not own (a tree is torn down with DestroyTree).
class Vo_Frame {
public:
    Vo_Frame();
    // A copy takes the matrices, bounds and winding flag only: it gets neither the animator,
    // which only one frame may own, nor the children, which only one parent may tear down.
    Vo_Frame(const Vo_Frame& other);
    Vo_Frame& operator=(const Vo_Frame& other);
    // Deletes the animator; child frames are left to DestroyTree.
    ~Vo_Frame();

    // World := the animator's result (or the local matrix) x parent, then every child in order.
    void UpdateWorld(const D3DXMATRIX* parent);
    // Deletes every child frame together with its own children; the caller frees this frame.
    void DestroyTree();

    // Takes ownership; an animator held before is deleted.
    void SetAnimator(Vo_AnimationBase* animator);
    Vo_AnimationBase* Animator() const { return m_animator; }

    void AddChild(Vo_Frame* child) { m_children.push_back(child); }
    const std::vector<Vo_Frame*>& Children() const { return m_children; }

    D3DXMATRIX& World() { return m_world; }
    const D3DXMATRIX& World() const { return m_world; }
    D3DXMATRIX& Local() { return m_local; }
    const D3DXMATRIX& Local() const { return m_local; }

    // 1: counter-clockwise front faces, 0: clockwise.
    uint8_t Winding() const { return m_winding; }
    void SetWinding(uint8_t winding) { m_winding = winding; }

    // Bounding sphere of the mesh a frame carries: radius, then centre x, y, z.
    float* Bounds() { return m_bounds; }
    const float* Bounds() const { return m_bounds; }

private:
    float m_bounds[4] = {0, 0, 0, 0};
    D3DXMATRIX m_world;
    D3DXMATRIX m_local;
    Vo_AnimationBase* m_animator = nullptr;
    uint8_t m_winding = 1;
    std::vector<Vo_Frame*> m_children;
};

// Destroys and frees every frame of a range (children are not touched).
void DeleteFrames(Vo_Frame* const* first, Vo_Frame* const* last);
// Destroys every frame of a range with its whole tree and frees it.
void DeleteFrameTrees(Vo_Frame* const* first, Vo_Frame* const* last);

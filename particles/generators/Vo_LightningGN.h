#pragma once
#include <d3dx9math.h>

#include <cstdint>
#include <vector>

#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"
#include "particles/generators/BoltNode.h"
#include "particles/generators/BranchSlot.h"
#include "particles/generators/Vo_StringGenerator.h"

struct QuadVertices;

// A branching lightning bolt from the start point to the end point. A bolt grows when the item
// becomes visible: a chain of nodes refined by midpoint displacement and smoothed by corner
// cutting, with branches on up to three levels, all drawn from rand() (from the stored seed unless
// the random flag is set, so by default every bolt of an item is the same). Every frame turns the
// tree into three layers of quads: soft outer streaks with fading end pieces (colour 1, picture
// 0), core streaks (colour 2, picture 1) and square end caps (colour 2, picture 2). The bolt
// lights up from its start while fading in, flickers while visible and fades out quadratically.
class Vo_LightningGN : public Vo_StringGenerator {
public:
    // Each pass doubles a chain's nodes: more than this many would only cost memory and quads
    // beyond what a slot can index.
    static constexpr unsigned kMaxPasses = 10;
    // Branch slots per level; the table is made slot by slot, so a damaged count must not run away.
    static constexpr unsigned kMaxBranchSlots = 64;

    // The three geometry slots: where the next quad goes and how many fit.
    struct QuadSlot {
        void* vertices = nullptr;
        unsigned capacity = 0;
        unsigned written = 0;
    };

    Vo_LightningGN();
    Vo_LightningGN(const Vo_LightningGN& other);

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    void Init(Vo_ParticlesObj* object) override;
    void Restart() override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_LightningGN(*this); }

    // The record's own fields (the registry read the class name and version), then the lower
    // levels; a version-1 record's timing in milliseconds then becomes a cycling time line.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Grows a new bolt from the start to the end point (reseeding rand() with the seed unless
    // random is set). Start equal to end grows no bolt.
    void Regenerate();
    // Appends start and end to the empty chain, refines it by g midpoint passes, cuts its corners,
    // places the branches of the table's slots first to first + count on its nodes and gives every
    // node its width and fade factors, growing the branches with one pass fewer.
    void Subdivide(const D3DXVECTOR3& start, const D3DXVECTOR3& end, std::vector<BoltNode>& chain, int g,
                   float h, unsigned firstSlot, unsigned slotCount, float l);
    static unsigned CountSegments(const std::vector<BoltNode>& chain);
    static unsigned CountEndCaps(const std::vector<BoltNode>& chain);

    // Reserves and locks the three slots and writes the bolt's layers; a generator that cannot
    // draw (see CanDraw) or a failed lock leaves every slot empty for the frame.
    void BuildGeometry(Vo_ParticlesObj* object);
    // Writes the whole bolt into the slots (never past a slot's capacity) and returns whether it
    // could: false when it cannot draw.
    bool WriteLayers(QuadSlot slots[3]) const;
    // Three pictures, picture 0 of some width, both widths above 0, a bolt of some length.
    bool CanDraw() const;

    // The brightness of a node with fade factor k in the time line's current state and at the last
    // local time, before the colour conversion clamps it.
    float GetBrightness(float k) const;

    MediaParamT<unsigned int>& OuterWidth() { return m_outerWidth; }
    MediaParamT<unsigned int>& Passes() { return m_passes; }
    UINTSclaleTo<float>& Jitter() { return m_jitter; }
    MediaParamT<unsigned int>& Seed() { return m_seed; }
    UINTSclaleTo<float>& BranchLength() { return m_branchLength; }
    UINTSclaleTo<float>& BranchAngle() { return m_branchAngle; }
    UINTSclaleTo<float>& TipFactor() { return m_tipFactor; }
    MediaParamT<unsigned int>& Branches() { return m_branches; }
    MediaParamT<unsigned int>& SubBranches() { return m_subBranches; }
    MediaParamT<unsigned int>& Twigs() { return m_twigs; }
    UINTSclaleTo<float>& Flicker() { return m_flicker; }
    MediaParamT<unsigned int>& CoreWidth() { return m_coreWidth; }
    MediaParamT<int>& Random() { return m_random; }

    const std::vector<BoltNode>& Bolt() const { return m_bolt; }
    float LastLocalTime() const { return m_lastLocalTime; }
    bool Regenerated() const { return m_regenerated; }

protected:
    bool DrawsThroughMask() const override { return true; }

private:
    struct LayerContext;
    // The brightness of a node of fade factor k for the state, fade and flicker of one frame.
    struct Brightness {
        int state;
        float fade;
        float flickered;
        float Of(float k) const;
    };
    Brightness FrameBrightness() const;
    // Slot 2's caps, slot 0's end pieces and both layers' streaks of one chain, its branches
    // written where they leave it.
    void BuildLayers(const std::vector<BoltNode>& chain, float u, LayerContext& context) const;
    // The outer and core streaks from P to Q, and the texture length r of the outer one.
    void BuildBranch(const BoltNode& p, const BoltNode& q, QuadVertices& outer, QuadVertices& core, float& r) const;
    // A new bolt every strike must not cost the heap anything once the first strikes have sized
    // the storage: the branch table is kept, and every chain a bolt lets go of waits in a pool
    // until a later bolt takes the one that fits best.
    void BuildBranchTable(unsigned a, unsigned b, unsigned t);
    std::vector<BoltNode> TakeChain(size_t nodes);
    void ReturnChain(std::vector<BoltNode>& chain);
    void RecycleBranches(std::vector<BoltNode>& chain);

    MediaParamT<unsigned int> m_outerWidth;
    MediaParamT<unsigned int> m_passes;
    UINTSclaleTo<float> m_jitter;
    MediaParamT<unsigned int> m_seed;
    UINTSclaleTo<float> m_branchLength;
    UINTSclaleTo<float> m_branchAngle;
    UINTSclaleTo<float> m_tipFactor;
    MediaParamT<unsigned int> m_branches;
    MediaParamT<unsigned int> m_subBranches;
    MediaParamT<unsigned int> m_twigs;
    UINTSclaleTo<float> m_flicker;
    MediaParamT<unsigned int> m_coreWidth;
    MediaParamT<int> m_random;

    std::vector<BoltNode> m_bolt;
    std::vector<BranchSlot> m_branchTable;
    std::vector<std::vector<BoltNode>> m_spareChains;
    float m_lastLocalTime = 0.0f;
    bool m_regenerated = false;
};

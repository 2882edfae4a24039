#include "particles/generators/Vo_LightningGN.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/RenderTargetPair.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/AnimationState.h"
#include "runtime/Noise.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

float RandomUnit()
{
    return static_cast<float>(std::rand()) / 32767.0f;
}

// -1 when the next number of the sequence is odd, else +1.
float RandomSign()
{
    return (std::rand() & 1) ? -1.0f : 1.0f;
}

// The direction of v with length 1; a zero vector stays zero.
D3DXVECTOR3 UnitOrZero(const D3DXVECTOR3& v)
{
    const float length = D3DXVec3Length(&v);
    return length > 0.0f ? v / length : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

BoltNode NodeAt(const D3DXVECTOR3& position, float width)
{
    BoltNode node;
    node.position = position;
    node.width = width;
    return node;
}

// An end piece: the colour at its node (vertices 0 and 1), faded out at its far edge.
void SetVertexAlphas(QuadVertices& quad, uint32_t start, uint32_t end)
{
    quad.v[0].color = quad.v[1].color = start;
    quad.v[2].color = quad.v[3].color = end;
}

void SetTexCoords(QuadVertices& quad, const float (&uv)[4][2])
{
    for (int i = 0; i < 4; ++i) {
        quad.v[i].u = uv[i][0];
        quad.v[i].v = uv[i][1];
    }
}

void Write(Vo_LightningGN::QuadSlot& slot, const QuadVertices& quad)
{
    if (slot.written < slot.capacity)
        WriteQuadVertices(slot.vertices, slot.written++, quad);
}

}  // namespace

// What every chain of one frame's geometry shares.
struct Vo_LightningGN::LayerContext {
    QuadSlot* slots;
    float aspect;
    float outerWidth;
    float coreWidth;
    unsigned long colour1;
    float alpha1;
    unsigned long colour2;
    float alpha2;
    Brightness brightness;

    uint32_t Colour1(float k) const { return VertexColorFromUnits(colour1, alpha1 * brightness.Of(k) / 255.0f); }
    uint32_t Colour2(float k) const { return VertexColorFromUnits(colour2, alpha2 * brightness.Of(k) / 255.0f); }
    uint32_t Clear1() const { return VertexColorFromUnits(colour1, 0.0f); }
};

namespace {

// Every slot of the three levels, and every chain of a bolt (one per slot) plus the one being
// refined, so that neither store grows while a bolt is grown.
const size_t kTableSlots = 3 * Vo_LightningGN::kMaxBranchSlots;
const size_t kPooledChains = kTableSlots + 2;

}  // namespace

Vo_LightningGN::Vo_LightningGN()
{
    m_branchTable.reserve(kTableSlots);
    m_spareChains.reserve(kPooledChains);
    m_jitter.Rescale(0.004f, 0.0f);
    m_branchLength.Rescale(0.01f, 0.0f);
    m_branchAngle.Rescale(0.015707964f, 0.0f);
    m_tipFactor.Rescale(-0.01f, 1.0f);
    m_flicker.Rescale(0.01f, 0.0f);
}

Vo_LightningGN::Vo_LightningGN(const Vo_LightningGN& other)
    : Vo_StringGenerator(other), m_jitter(other.m_jitter), m_branchLength(other.m_branchLength),
      m_branchAngle(other.m_branchAngle), m_tipFactor(other.m_tipFactor), m_flicker(other.m_flicker),
      m_bolt(other.m_bolt), m_lastLocalTime(other.m_lastLocalTime), m_regenerated(other.m_regenerated)
{
    m_branchTable.reserve(kTableSlots);
    m_spareChains.reserve(kPooledChains);
    m_outerWidth.ValueRef() = other.m_outerWidth.Value();
    m_passes.ValueRef() = other.m_passes.Value();
    m_seed.ValueRef() = other.m_seed.Value();
    m_branches.ValueRef() = other.m_branches.Value();
    m_subBranches.ValueRef() = other.m_subBranches.Value();
    m_twigs.ValueRef() = other.m_twigs.Value();
    m_coreWidth.ValueRef() = other.m_coreWidth.Value();
    m_random.ValueRef() = other.m_random.Value();
}

void Vo_LightningGN::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    stream.ReadUInt(m_outerWidth.ValueRef());
    stream.ReadUInt(m_passes.ValueRef());
    ReadScaled(stream, m_jitter);
    stream.ReadUInt(m_seed.ValueRef());
    ReadScaled(stream, m_branchLength);
    ReadScaled(stream, m_branchAngle);
    ReadScaled(stream, m_tipFactor);
    stream.ReadUInt(m_branches.ValueRef());
    stream.ReadUInt(m_subBranches.ValueRef());
    stream.ReadUInt(m_twigs.ValueRef());
    // Version 1 kept its own timing in milliseconds: fade-in, fade-out, visible, invisible
    // minimum and maximum, and two values no longer used.
    uint32_t legacy[7] = {0, 0, 0, 0, 0, 0, 0};
    if (version < 2)
        for (uint32_t& value : legacy)
            stream.ReadUInt(value);
    ReadScaled(stream, m_flicker);
    stream.ReadUInt(m_coreWidth.ValueRef());
    stream.ReadLong(m_random.ValueRef());
    Vo_StringGenerator::Load(stream);

    if (version < 2 && !stream.Failed()) {
        Vo_TimeLineControl& timeline = Timeline();
        timeline.FadeIn().SetValue(legacy[0] / 10);
        timeline.FadeOut().SetValue(legacy[1] / 10);
        timeline.VisibleMinimum().SetValue(legacy[2] / 10);
        timeline.VisibleMaximum().SetValue(legacy[2] / 10);
        timeline.InvisibleMinimum().SetValue(legacy[3] / 10);
        timeline.InvisibleMaximum().SetValue(legacy[4] / 10);
        timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    }
}

void Vo_LightningGN::Init(Vo_ParticlesObj* object)
{
    Vo_StringGenerator::Init(object);
    Regenerate();
    CreateMaskTarget();
    if (object)
        object->SetSlotCount(3);
}

void Vo_LightningGN::Restart()
{
    Vo_StringGenerator::Restart();
    m_lastLocalTime = 0.0f;
}

void Vo_LightningGN::Update(float time, Vo_ParticlesObj* object)
{
    m_lastLocalTime = time;
    if (Timeline().GetState() == AnimationState::kInvisible) {
        m_regenerated = false;
    } else if (!m_regenerated) {
        Regenerate();
        m_regenerated = true;
    }
    BuildGeometry(object);
}

void Vo_LightningGN::Regenerate()
{
    if (m_random.Value() == 0)
        std::srand(m_seed.Value());
    RecycleBranches(m_bolt);
    m_bolt.clear();

    const unsigned a = std::min(m_branches.Value(), kMaxBranchSlots);
    const unsigned b = std::min(m_subBranches.Value(), kMaxBranchSlots);
    const unsigned t = std::min(m_twigs.Value(), kMaxBranchSlots);
    BuildBranchTable(a, b, t);

    const D3DXVECTOR3& start = Start().Value();
    const D3DXVECTOR3& end = End().Value();
    // A bolt of no length has no direction to grow in.
    if (start == end)
        return;
    const int passes = static_cast<int>(std::min(m_passes.Value(), kMaxPasses));
    Subdivide(start, end, m_bolt, passes, 1.0f, 0, a, 1.0f);
}

void Vo_LightningGN::BuildBranchTable(unsigned a, unsigned b, unsigned t)
{
    // Each twig goes to a sub-branch drawn at random, then each sub-branch to a branch, in this
    // order of draws; twigs need sub-branches, and both need branches.
    unsigned twigsOf[kMaxBranchSlots] = {};
    unsigned branchOf[kMaxBranchSlots] = {};
    if (a > 0) {
        if (b > 0)
            for (unsigned i = 0; i < t; ++i)
                ++twigsOf[static_cast<unsigned>(std::rand()) % b];
        for (unsigned j = 0; j < b; ++j)
            branchOf[j] = static_cast<unsigned>(std::rand()) % a;
    }

    // The branches first, then each branch's sub-branches in their order, then each sub-branch's
    // twigs.
    m_branchTable.assign(a, BranchSlot());
    for (unsigned p = 0; p < a; ++p) {
        m_branchTable[p].firstChild = static_cast<unsigned>(m_branchTable.size());
        for (unsigned j = 0; j < b; ++j) {
            if (branchOf[j] != p)
                continue;
            BranchSlot subBranch;
            subBranch.childCount = twigsOf[j];
            m_branchTable.push_back(subBranch);
        }
        m_branchTable[p].childCount = static_cast<unsigned>(m_branchTable.size()) - m_branchTable[p].firstChild;
    }
    const size_t subBranchesEnd = m_branchTable.size();
    for (size_t k = a; k < subBranchesEnd; ++k) {
        m_branchTable[k].firstChild = static_cast<unsigned>(m_branchTable.size());
        m_branchTable.resize(m_branchTable.size() + m_branchTable[k].childCount);
    }
}

std::vector<BoltNode> Vo_LightningGN::TakeChain(size_t nodes)
{
    // The smallest spare chain that holds the nodes, else the largest, which then grows.
    auto better = [nodes](size_t capacity, size_t than) {
        const bool fits = capacity >= nodes;
        if (fits != (than >= nodes))
            return fits;
        return fits ? capacity < than : capacity > than;
    };
    size_t best = m_spareChains.size();
    for (size_t i = 0; i < m_spareChains.size(); ++i)
        if (best == m_spareChains.size() || better(m_spareChains[i].capacity(), m_spareChains[best].capacity()))
            best = i;
    std::vector<BoltNode> chain;
    if (best < m_spareChains.size()) {
        chain.swap(m_spareChains[best]);
        m_spareChains[best].swap(m_spareChains.back());
        m_spareChains.pop_back();
    }
    chain.reserve(nodes);
    return chain;
}

void Vo_LightningGN::ReturnChain(std::vector<BoltNode>& chain)
{
    chain.clear();
    m_spareChains.emplace_back();
    m_spareChains.back().swap(chain);
}

void Vo_LightningGN::RecycleBranches(std::vector<BoltNode>& chain)
{
    for (BoltNode& node : chain) {
        if (node.branch.capacity() == 0)
            continue;
        RecycleBranches(node.branch);
        ReturnChain(node.branch);
    }
}

void Vo_LightningGN::Subdivide(const D3DXVECTOR3& start, const D3DXVECTOR3& end, std::vector<BoltNode>& chain,
                               int g, float h, unsigned firstSlot, unsigned slotCount, float l)
{
    // g passes make 2^g + 1 nodes, and cutting the corners 2^(g + 1).
    const size_t nodes = size_t(2) << std::max(g, 0);
    chain.reserve(nodes);
    chain.push_back(NodeAt(start, h));
    chain.push_back(NodeAt(end, h));

    // Midpoint displacement: each segment gets a midpoint pushed sideways by up to the jitter
    // times its length (the perpendicular is not normalised, so the push scales with it).
    const float jitter = m_jitter.Result();
    std::vector<BoltNode> refined = TakeChain(nodes);
    for (int pass = 0; pass < g; ++pass) {
        refined.clear();
        for (size_t i = 0; i + 1 < chain.size(); ++i) {
            const D3DXVECTOR3& p = chain[i].position;
            const D3DXVECTOR3& q = chain[i + 1].position;
            const D3DXVECTOR3 d = q - p;
            const float r = RandomUnit() * jitter;
            const float s = RandomSign();
            refined.push_back(chain[i]);
            refined.push_back(NodeAt((p + q) / 2 + D3DXVECTOR3(d.y, -d.x, 0.0f) * s * r, h));
        }
        refined.push_back(chain.back());
        chain.swap(refined);
    }

    // Corner cutting: every segment keeps its points at one third and two thirds, the first node
    // stays and the last ends at two thirds of the last segment.
    refined.clear();
    refined.push_back(chain.front());
    for (size_t i = 1; i < chain.size(); ++i) {
        const D3DXVECTOR3& previous = chain[i - 1].position;
        const D3DXVECTOR3& q = chain[i].position;
        refined.push_back(NodeAt(previous + 0.67f * (q - previous), h));
        if (i + 1 < chain.size()) {
            const D3DXVECTOR3& r = chain[i + 1].position;
            refined.push_back(NodeAt(r + 0.67f * (q - r), h));
        }
    }
    chain.swap(refined);
    ReturnChain(refined);

    const size_t n = chain.size();
    BranchSlot* const slots = m_branchTable.data() + firstSlot;
    for (unsigned k = 0; k < slotCount; ++k)
        slots[k].node = static_cast<int>(static_cast<unsigned>(std::rand()) % n);

    // From the tip back to the start: the width factor rises from h x m towards h, the fade
    // factor falls from l at the start to 0 at the tip, and branches grow where a slot landed.
    const float m = m_tipFactor.Result();
    const D3DXVECTOR3 u = UnitOrZero(start - end);
    const float angle = m_branchAngle.Result();
    const float branchLength = m_branchLength.Result();
    float a = h * m;
    for (size_t step = 0; step < n; ++step) {
        const size_t i = n - 1 - step;
        BoltNode& node = chain[i];
        node.width = a;
        node.fade = l * static_cast<float>(n - 1 - i) / static_cast<float>(n - 1);
        const BranchSlot* const slot = std::find_if(slots, slots + slotCount,
                                                    [i](const BranchSlot& s) { return s.node == static_cast<int>(i); });
        if (slot != slots + slotCount) {
            const D3DXVECTOR3 toEnd = end - node.position;
            const float s = RandomSign();
            const D3DXVECTOR3 side = D3DXVECTOR3(u.y, -u.x, 0.0f) * s * D3DXVec3Length(&toEnd);
            const D3DXVECTOR3 v = toEnd * std::cos(angle) + side * std::sin(angle);
            const float f = RandomUnit() * 0.5f + 0.5f;
            const D3DXVECTOR3 from = node.position;
            node.branch = TakeChain(size_t(2) << std::max(g - 1, 0));
            Subdivide(from, from + v * branchLength * f, node.branch, g - 1, node.width, slot->firstChild,
                      slot->childCount, node.fade);
        }
        a = std::min(a + h * (1 - m) / static_cast<float>(n), 1.0f);
    }
}

unsigned Vo_LightningGN::CountSegments(const std::vector<BoltNode>& chain)
{
    if (chain.empty())
        return 0;
    unsigned count = static_cast<unsigned>(chain.size() - 1);
    for (const BoltNode& node : chain)
        count += CountSegments(node.branch);
    return count;
}

unsigned Vo_LightningGN::CountEndCaps(const std::vector<BoltNode>& chain)
{
    if (chain.empty())
        return 0;
    unsigned count = 2;
    for (const BoltNode& node : chain)
        count += CountEndCaps(node.branch);
    return count;
}

bool Vo_LightningGN::CanDraw() const
{
    const std::vector<TextureFrameSet>& sets = FrameSets();
    return Pictures().size() >= 3 && sets.size() >= 3 && sets[0].width > 0 && m_outerWidth.Value() > 0 &&
           m_coreWidth.Value() > 0 && Start().Value() != End().Value() && !m_bolt.empty();
}

void Vo_LightningGN::BuildGeometry(Vo_ParticlesObj* object)
{
    if (!object)
        return;
    if (!CanDraw()) {
        for (size_t i = 0; i < 3; ++i)
            object->ReserveQuads(i, 0);
        return;
    }
    const unsigned caps = CountEndCaps(m_bolt);
    const unsigned segments = CountSegments(m_bolt);
    object->ReserveQuads(0, segments + caps);
    object->ReserveQuads(1, segments);
    object->ReserveQuads(2, caps);

    QuadSlot slots[3];
    bool locked = true;
    for (size_t i = 0; i < 3; ++i) {
        slots[i].capacity = object->QuadCount(i);
        slots[i].vertices = object->LockQuads(i);
        locked = locked && slots[i].vertices;
    }
    if (locked)
        WriteLayers(slots);
    // Only what was written is drawn: nothing after a failed lock, and no stale quads where a
    // chain wrote fewer than were reserved.
    for (size_t i = 0; i < 3; ++i) {
        object->UnlockQuads(i);
        object->ReserveQuads(i, locked ? slots[i].written : 0);
    }
}

bool Vo_LightningGN::WriteLayers(QuadSlot slots[3]) const
{
    if (!CanDraw())
        return false;
    LayerContext context;
    context.slots = slots;
    context.aspect = FrameSets()[0].aspect;
    context.outerWidth = static_cast<float>(m_outerWidth.Value());
    context.coreWidth = static_cast<float>(m_coreWidth.Value());
    context.colour1 = Color1().Color().Value();
    context.alpha1 = static_cast<float>(Color1().Alpha().Result());
    context.colour2 = Color2().Color().Value();
    context.alpha2 = static_cast<float>(Color2().Alpha().Result());
    context.brightness = FrameBrightness();
    BuildLayers(m_bolt, 0.0f, context);
    return true;
}

void Vo_LightningGN::BuildBranch(const BoltNode& p, const BoltNode& q, QuadVertices& outer, QuadVertices& core,
                                 float& r) const
{
    const D3DXVECTOR3 d = q.position - p.position;
    const float length = D3DXVec3Length(&d);
    const float w1 = static_cast<float>(m_outerWidth.Value());
    const float w2 = static_cast<float>(m_coreWidth.Value());
    BuildStreakQuad(outer, p.position, d, length, w1 * p.width, w1 * q.width);
    BuildStreakQuad(core, p.position, d, length, w2 * p.width, w2 * q.width);
    r = q.width * length / w1;
}

void Vo_LightningGN::BuildLayers(const std::vector<BoltNode>& chain, float u, LayerContext& context) const
{
    if (chain.size() < 2)
        return;
    QuadSlot* slots = context.slots;
    const float a = context.aspect;
    const BoltNode& first = chain.front();
    const BoltNode& last = chain.back();

    QuadVertices cap;
    const float firstSide = context.coreWidth * first.width;
    BuildAxisAlignedQuad(cap, first.position, firstSide, firstSide);
    SetQuadColor(cap, context.Colour2(first.fade));
    Write(slots[2], cap);
    const float lastSide = context.coreWidth * last.width;
    BuildAxisAlignedQuad(cap, last.position, lastSide, lastSide);
    SetQuadColor(cap, context.Colour2(last.fade));
    Write(slots[2], cap);

    if (!first.branch.empty())
        BuildLayers(first.branch, 0.0f, context);

    QuadVertices outer, core;
    float r = 0.0f;
    BuildBranch(first, chain[1], outer, core, r);

    // The start piece points backwards from the first node and fades out away from it.
    {
        const float width = first.width * context.outerWidth;
        const float length = 0.5f * width;
        QuadVertices piece;
        BuildStreakQuad(piece, first.position, length * UnitOrZero(first.position - chain[1].position), length,
                        width, width);
        const float uv[4][2] = {{u, 0.0f}, {u, 1.0f}, {u + 0.5f * a, 0.0f}, {u + 0.5f * a, 1.0f}};
        SetTexCoords(piece, uv);
        SetVertexAlphas(piece, context.Colour1(first.fade), context.Clear1());
        Write(slots[0], piece);
    }

    for (size_t i = 1; i < chain.size(); ++i) {
        const BoltNode& previous = chain[i - 1];
        const BoltNode& current = chain[i];
        if (!current.branch.empty())
            BuildLayers(current.branch, 0.0f, context);

        const float next_u = u + r * a;
        const float uv[4][2] = {{u, 1.0f}, {u, 0.0f}, {next_u, 1.0f}, {next_u, 0.0f}};
        SetTexCoords(outer, uv);
        SetTexCoords(core, uv);
        SetQuadColor(outer, context.Colour1(previous.fade));
        SetQuadColor(core, context.Colour2(previous.fade));
        u = next_u;

        QuadVertices nextOuter, nextCore;
        if (i + 1 < chain.size()) {
            const BoltNode& next = chain[i + 1];
            BuildBranch(current, next, nextOuter, nextCore, r);
            SmoothQuadEdge(outer, nextOuter);
            SmoothQuadEdge(core, nextCore);
            if (i + 2 == chain.size()) {
                // The end piece points forwards from the last node and fades out away from it.
                const float width = next.width * context.outerWidth;
                const float length = 0.7f * width;
                QuadVertices piece;
                BuildStreakQuad(piece, next.position, length * UnitOrZero(next.position - current.position), length,
                                width, width);
                const float from = u + r * a;
                const float pieceUv[4][2] = {{from, 1.0f}, {from, 0.0f}, {from + 0.7f * a, 1.0f}, {from + 0.7f * a, 0.0f}};
                SetTexCoords(piece, pieceUv);
                SetVertexAlphas(piece, context.Colour1(current.fade), context.Clear1());
                Write(slots[0], piece);
            }
        }
        Write(slots[0], outer);
        Write(slots[1], core);
        outer = nextOuter;
        core = nextCore;
    }
}

Vo_LightningGN::Brightness Vo_LightningGN::FrameBrightness() const
{
    Brightness brightness;
    brightness.state = Timeline().GetState();
    brightness.fade = Timeline().GetFadeFactor();
    brightness.flickered = 1.0f;
    if (brightness.state == AnimationState::kVisible) {
        const double noise = FractalNoise1D(static_cast<double>(m_lastLocalTime) * 1000.0, 75.0, 0.5, 4);
        brightness.flickered = 1.0f - static_cast<float>(noise + 1.0) * m_flicker.Result() / 2.0f;
    }
    return brightness;
}

float Vo_LightningGN::Brightness::Of(float k) const
{
    switch (state) {
    case AnimationState::kFadingOut:
        return fade * fade;
    case AnimationState::kVisible:
        return flickered;
    case AnimationState::kFadingIn:
        // The bolt lights up from its start (k = 1) towards its tips (k = 0).
        return fade > 1.0f - k ? 1.0f : (fade + k - 0.666f) * 3.0f;
    default:
        return fade;
    }
}

float Vo_LightningGN::GetBrightness(float k) const
{
    return FrameBrightness().Of(k);
}

void Vo_LightningGN::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    if (!CanUseMask())
        return;
    // The cores and caps, the brightest of them winning, over the layer by the blend mode; then
    // the soft outer layer normally on top.
    DrawMasked("BlendMask_Max", renderer, 1, 2, object);
    Composite(renderer);
    DrawMasked("BlendMask_Max", renderer, 0, 0, object);
    ID3DXEffect* effect = Effect();
    effect->SetTechnique("CommonTex");
    effect->SetTexture("Texture1", MaskTarget()->Current());
    DrawOverLayer(renderer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_LightningGN);

// The lightning generator without a device: its records, how a bolt grows from the seed, the
// quads that each frame writes, the brightness of its appearance states and the guards against
// documents it cannot draw.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "tests/particles/generators/GeneratorTesting.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_LightningGN.h"
#include "runtime/AnimationState.h"
#include "runtime/Noise.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/CrtRandom.h"
#include "support/QueuedStream.h"
#include "support/RegistryReading.h"

using namespace generator_testing;

namespace {

// The record as an editor stores it: version 1 carries its own timing in milliseconds.
void PushLightning(QueuedStream& s, int32_t version)
{
    s.Push(QueuedStream::UInt{24});   // outer width
    s.Push(QueuedStream::UInt{5});    // passes
    s.Push(QueuedStream::UInt{25});   // jitter raw: 0.1
    s.Push(QueuedStream::UInt{977});  // seed
    s.Push(QueuedStream::UInt{50});   // branch length raw: 0.5
    s.Push(QueuedStream::UInt{20});   // branch angle raw: 0.314 rad
    s.Push(QueuedStream::UInt{30});   // tip factor raw: 0.7
    s.Push(QueuedStream::UInt{3}).Push(QueuedStream::UInt{4}).Push(QueuedStream::UInt{5});
    if (version < 2) {
        for (uint32_t ms : {250u, 1239u, 800u, 1500u, 3009u, 77u, 88u})
            s.Push(QueuedStream::UInt{ms});
    }
    s.Push(QueuedStream::UInt{40});  // flicker raw: 0.4
    s.Push(QueuedStream::UInt{6});   // core width
    s.Push(QueuedStream::Long{1});   // random
    s.Push(QueuedStream::String{L"Vo_StringGenerator"}).Push(QueuedStream::Int{1});
    PushOrigin(s, 10, 20, 0);
    PushOrigin(s, 300, 400, 0);
    PushTexRecord(s, 2, {{L"glow.png", 1}, {L"core.png", 2}, {L"cap.png", 3}}, 0x00FF8000, 20, 0x00FFFFFF, 0, 3);
}

std::unique_ptr<Vo_LightningGN> ReadLightning(QueuedStream& s, int32_t version)
{
    return ReadObjectThroughRegistry<Vo_LightningGN>(L"Vo_LightningGN", s, version);
}

TEST(LightningRecordTest, Version2)
{
    QueuedStream s;
    PushLightning(s, 2);
    auto bolt = ReadLightning(s, 2);
    ASSERT_TRUE(bolt);
    EXPECT_EQ(bolt->OuterWidth().Value(), 24u);
    EXPECT_EQ(bolt->Passes().Value(), 5u);
    EXPECT_FLOAT_EQ(bolt->Jitter().Result(), 0.1f);
    EXPECT_EQ(bolt->Seed().Value(), 977u);
    EXPECT_FLOAT_EQ(bolt->BranchLength().Result(), 0.5f);
    EXPECT_NEAR(bolt->BranchAngle().Result(), 3.14159265f / 10, 1e-6f);
    EXPECT_FLOAT_EQ(bolt->TipFactor().Result(), 0.7f);
    EXPECT_EQ(bolt->Branches().Value(), 3u);
    EXPECT_EQ(bolt->SubBranches().Value(), 4u);
    EXPECT_EQ(bolt->Twigs().Value(), 5u);
    EXPECT_FLOAT_EQ(bolt->Flicker().Result(), 0.4f);
    EXPECT_EQ(bolt->CoreWidth().Value(), 6u);
    EXPECT_EQ(bolt->Random().Value(), 1);
    EXPECT_FLOAT_EQ(bolt->Start().Value().y, 20.0f);
    EXPECT_FLOAT_EQ(bolt->End().Value().x, 300.0f);
    ASSERT_EQ(bolt->Pictures().size(), 3u);
    EXPECT_EQ(bolt->Pictures()[2].GetPath(), L"cap.png");
    EXPECT_EQ(bolt->BlendModeParam().Value(), 3);
    EXPECT_EQ(bolt->Color1().Alpha().Result(), 204);
    EXPECT_EQ(bolt->Name(), L"generator");
    EXPECT_EQ(bolt->Timeline().Mode().Value(), Vo_TimeLineControl::kAlwaysVisible);
    EXPECT_FALSE(bolt->NeedsBackground()) << "no effect or mask target yet";
}

// Version 1's milliseconds become the time line's hundredths (integer division by 10), and the
// time line cycles.
TEST(LightningRecordTest, Version1TimingMovesIntoTheTimeLine)
{
    QueuedStream s;
    PushLightning(s, 1);
    auto bolt = ReadLightning(s, 1);
    ASSERT_TRUE(bolt);
    const Vo_TimeLineControl& timeline = bolt->Timeline();
    EXPECT_EQ(timeline.Mode().Value(), Vo_TimeLineControl::kCycling);
    EXPECT_EQ(timeline.FadeIn().Value(), 25u);
    EXPECT_FLOAT_EQ(timeline.FadeIn().Result(), 0.25f);
    EXPECT_EQ(timeline.FadeOut().Value(), 123u);
    EXPECT_EQ(timeline.VisibleMinimum().Value(), 80u);
    EXPECT_EQ(timeline.VisibleMaximum().Value(), 80u);
    EXPECT_EQ(timeline.InvisibleMinimum().Value(), 150u);
    EXPECT_EQ(timeline.InvisibleMaximum().Value(), 300u);
    EXPECT_FLOAT_EQ(bolt->Flicker().Result(), 0.4f) << "the fields after the legacy values";
    EXPECT_EQ(bolt->Random().Value(), 1);
}

// A generator of plain values: a straight bolt from (0, 0) to (30, 0), widths 10 and 4, three
// picture sets of aspect 2, no branches and no jitter.
class LightningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bolt.OuterWidth().ValueRef() = 10;
        m_bolt.CoreWidth().ValueRef() = 4;
        m_bolt.Start().ValueRef() = D3DXVECTOR3(0, 0, 0);
        m_bolt.End().ValueRef() = D3DXVECTOR3(30, 0, 0);
        m_bolt.Color1().Color().ValueRef() = 0x00FF8040;
        m_bolt.Color2().Color().ValueRef() = 0x00FFFFFF;
        for (int i = 0; i < 3; ++i) {
            m_bolt.Pictures().emplace_back();
            TextureFrameSet set;
            set.width = 16;
            set.height = 32;
            set.aspect = 2.0f;
            m_bolt.FrameSets().push_back(set);
        }
    }

    // Writes the bolt's layers into plain memory of room quads per slot.
    bool Write(unsigned room = 10000)
    {
        for (int i = 0; i < 3; ++i) {
            m_vertices[i].assign(4 * room, DX_V::PCT{});
            m_slots[i] = Vo_LightningGN::QuadSlot{m_vertices[i].data(), room, 0};
        }
        return m_bolt.WriteLayers(m_slots);
    }
    const DX_V::PCT& Vertex(int slot, unsigned quad, int k) const { return m_vertices[slot][4 * quad + k]; }

    Vo_LightningGN m_bolt;
    std::vector<DX_V::PCT> m_vertices[3];
    Vo_LightningGN::QuadSlot m_slots[3];
};

void ExpectAt(const DX_V::PCT& vertex, float x, float y)
{
    EXPECT_NEAR(vertex.x, x, 1e-4f);
    EXPECT_NEAR(vertex.y, y, 1e-4f);
}

// Passes 0: the chain is its two end points, the end moved to two thirds by the corner cutting.
// The quads then follow from the widths: caps of side 4, a start piece 5 long pointing backwards
// and fading out, the outer and core streaks 10 and 4 wide with the texture running r x a along.
TEST_F(LightningTest, TwoNodeChainAndItsQuads)
{
    m_bolt.Regenerate();
    const std::vector<BoltNode>& chain = m_bolt.Bolt();
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].position, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(chain[1].position.x, 20.1f, 1e-4f);
    EXPECT_EQ(chain[1].position.y, 0.0f);
    EXPECT_FLOAT_EQ(chain[0].fade, 1.0f);
    EXPECT_FLOAT_EQ(chain[1].fade, 0.0f);
    EXPECT_FLOAT_EQ(chain[0].width, 1.0f) << "tip factor raw 0 keeps the width";
    EXPECT_FLOAT_EQ(chain[1].width, 1.0f);

    ASSERT_TRUE(Write());
    EXPECT_EQ(m_slots[2].written, 2u);
    EXPECT_EQ(m_slots[1].written, 1u);
    EXPECT_EQ(m_slots[0].written, 2u) << "a chain of one segment has no end piece";

    ExpectAt(Vertex(2, 0, 0), -2, 2);
    ExpectAt(Vertex(2, 0, 3), 2, -2);
    ExpectAt(Vertex(2, 1, 1), 18.1f, -2);
    EXPECT_EQ(Vertex(2, 1, 2).color, 0xFFFFFFFFu);

    // Start piece: from (0, 0) backwards to (-5, 0), 10 wide.
    ExpectAt(Vertex(0, 0, 0), 0, -5);
    ExpectAt(Vertex(0, 0, 1), 0, 5);
    ExpectAt(Vertex(0, 0, 2), -5, -5);
    ExpectAt(Vertex(0, 0, 3), -5, 5);
    EXPECT_FLOAT_EQ(Vertex(0, 0, 1).v, 1.0f);
    EXPECT_FLOAT_EQ(Vertex(0, 0, 3).u, 1.0f);  // 0.5 x aspect
    EXPECT_EQ(Vertex(0, 0, 0).color, 0xFF4080FFu);
    EXPECT_EQ(Vertex(0, 0, 2).color, 0x004080FFu);

    // The segment: outer 10 wide, core 4 wide; r = 20.1 / 10, u' = r x 2.
    ExpectAt(Vertex(0, 1, 0), 0, 5);
    ExpectAt(Vertex(0, 1, 3), 20.1f, -5);
    EXPECT_NEAR(Vertex(0, 1, 2).u, 4.02f, 1e-4f);
    EXPECT_FLOAT_EQ(Vertex(0, 1, 2).v, 1.0f);
    EXPECT_EQ(Vertex(0, 1, 3).color, 0xFF4080FFu);
    ExpectAt(Vertex(1, 0, 1), 0, -2);
    ExpectAt(Vertex(1, 0, 2), 20.1f, 2);
    EXPECT_EQ(Vertex(1, 0, 0).color, 0xFFFFFFFFu);
}

// Every pass doubles the segments: 2^(g+1) nodes after corner cutting. The slots hold exactly what
// the counts reserve, the end piece included once a chain has two segments or more.
TEST_F(LightningTest, NodeAndQuadCountsPerPass)
{
    for (unsigned g = 0; g <= 6; ++g) {
        SCOPED_TRACE("passes " + std::to_string(g));
        m_bolt.Passes().ValueRef() = g;
        m_bolt.Regenerate();
        const unsigned n = 2u << g;
        ASSERT_EQ(m_bolt.Bolt().size(), n);
        const unsigned segments = Vo_LightningGN::CountSegments(m_bolt.Bolt());
        const unsigned caps = Vo_LightningGN::CountEndCaps(m_bolt.Bolt());
        EXPECT_EQ(segments, n - 1);
        EXPECT_EQ(caps, 2u);
        ASSERT_TRUE(Write());
        EXPECT_EQ(m_slots[0].written, g == 0 ? segments + 1 : segments + caps);
        EXPECT_EQ(m_slots[1].written, segments);
        EXPECT_EQ(m_slots[2].written, caps);
        // Without jitter the chain stays on the line and ends at two thirds of the last of the
        // 2^g segments.
        EXPECT_NEAR(m_bolt.Bolt().back().position.x, 30.0f - 0.33f * 30.0f / static_cast<float>(1u << g), 1e-4f);
        for (const BoltNode& node : m_bolt.Bolt())
            EXPECT_EQ(node.position.y, 0.0f);
    }
}

// A stored pass count of 20 grows the bolt of 10 passes instead of a million nodes.
TEST_F(LightningTest, PassesAreCapped)
{
    m_bolt.Passes().ValueRef() = 20;
    m_bolt.Regenerate();
    EXPECT_EQ(m_bolt.Bolt().size(), 2u << Vo_LightningGN::kMaxPasses);
    m_bolt.Passes().ValueRef() = 0xFFFFFFFFu;
    m_bolt.Branches().ValueRef() = 0xFFFFFFFFu;
    m_bolt.SubBranches().ValueRef() = 0xFFFFFFFFu;
    m_bolt.Twigs().ValueRef() = 0xFFFFFFFFu;
    m_bolt.Regenerate();
    EXPECT_EQ(m_bolt.Bolt().size(), 2u << Vo_LightningGN::kMaxPasses);
    // Slots that cannot hold the whole tree are filled up to their room, never past it.
    ASSERT_TRUE(Write(100));
    EXPECT_EQ(m_slots[0].written, 100u);
    EXPECT_EQ(m_slots[1].written, 100u);
}

// A jagged, branching bolt: the same seed grows the same bolt, and it leaves rand() where the seed
// and its draws leave it; another seed grows another. With random set nothing is reseeded.
TEST_F(LightningTest, SameSeedSameBolt)
{
    m_bolt.Passes().ValueRef() = 5;
    m_bolt.Jitter().SetValue(50);
    m_bolt.Branches().ValueRef() = 4;
    m_bolt.SubBranches().ValueRef() = 3;
    m_bolt.Twigs().ValueRef() = 5;
    m_bolt.BranchLength().SetValue(60);
    m_bolt.BranchAngle().SetValue(30);
    m_bolt.Seed().ValueRef() = 1234;

    auto positions = [](const std::vector<BoltNode>& chain) {
        std::vector<float> values;
        auto walk = [&values](const std::vector<BoltNode>& c, auto& self) -> void {
            for (const BoltNode& node : c) {
                values.insert(values.end(), {node.position.x, node.position.y, node.width, node.fade});
                self(node.branch, self);
            }
        };
        walk(chain, walk);
        return values;
    };

    std::srand(1);
    m_bolt.Regenerate();
    const std::vector<float> first = positions(m_bolt.Bolt());
    const int after = std::rand();
    std::srand(99);
    m_bolt.Regenerate();
    EXPECT_EQ(positions(m_bolt.Bolt()), first);
    EXPECT_EQ(std::rand(), after) << "the sequence continues from the seed";
    EXPECT_GT(first.size(), 4u * 64) << "branches grew";
    bool jagged = false;
    for (const BoltNode& node : m_bolt.Bolt())
        jagged = jagged || node.position.y != 0.0f;
    EXPECT_TRUE(jagged);

    m_bolt.Seed().ValueRef() = 1235;
    m_bolt.Regenerate();
    EXPECT_NE(positions(m_bolt.Bolt()), first);

    m_bolt.Random().ValueRef() = 1;
    std::srand(1234);
    m_bolt.Regenerate();
    EXPECT_EQ(positions(m_bolt.Bolt()), first) << "random set: drawn from the sequence as it stands";
    std::srand(7);
    m_bolt.Regenerate();
    EXPECT_NE(positions(m_bolt.Bolt()), first);
}

// The bolt of seed 4254 from (10, 40) to (190, 100): one pass of jitter 0.2, two branch slots and
// one sub-branch slot (branch length 0.6, angle 30 x 0.0157 rad), tip factor 0.6. The nodes
// (depth, position, width factor, fade), each followed by its branch, were worked out once from
// the growth's steps with msvcrt's rand(); the next draw after the growth is 4688.
TEST_F(LightningTest, SeededBoltFollowsItsDraws)
{
    ASSERT_TRUE(RandIsMsvcrtSequence());
    m_bolt.Start().ValueRef() = D3DXVECTOR3(10, 40, 0);
    m_bolt.End().ValueRef() = D3DXVECTOR3(190, 100, 0);
    m_bolt.Passes().ValueRef() = 1;
    m_bolt.Jitter().SetValue(50);
    m_bolt.Branches().ValueRef() = 2;
    m_bolt.SubBranches().ValueRef() = 1;
    m_bolt.Twigs().ValueRef() = 0;
    m_bolt.BranchLength().SetValue(60);
    m_bolt.BranchAngle().SetValue(30);
    m_bolt.TipFactor().SetValue(40);
    m_bolt.Seed().ValueRef() = 4254;
    m_bolt.Regenerate();
    EXPECT_EQ(std::rand(), 4688);

    struct Node {
        int depth;
        float x, y, width, fade;
    };
    const Node expected[] = {
        {0, 10.0000f, 40.0000f, 0.900000f, 1.000000f},
        {0, 65.3730f, 74.8810f, 0.800000f, 0.666667f},
        {1, 65.3730f, 74.8810f, 0.640000f, 0.666667f},
        {2, 65.3730f, 74.8810f, 0.512000f, 0.666667f},
        {2, 73.8999f, 94.7150f, 0.384000f, 0.000000f},
        {1, 100.4918f, 104.0748f, 0.480000f, 0.000000f},
        {0, 124.7730f, 94.6810f, 0.700000f, 0.333333f},
        {1, 124.7730f, 94.6810f, 0.560000f, 0.333333f},
        {1, 137.6924f, 103.4116f, 0.420000f, 0.000000f},
        {0, 157.8733f, 97.3802f, 0.600000f, 0.000000f},
    };
    std::vector<Node> grown;
    auto walk = [&grown](const std::vector<BoltNode>& chain, int depth, auto& self) -> void {
        for (const BoltNode& node : chain) {
            grown.push_back({depth, node.position.x, node.position.y, node.width, node.fade});
            self(node.branch, depth + 1, self);
        }
    };
    walk(m_bolt.Bolt(), 0, walk);
    ASSERT_EQ(grown.size(), std::size(expected));
    for (size_t i = 0; i < grown.size(); ++i) {
        SCOPED_TRACE("node " + std::to_string(i));
        EXPECT_EQ(grown[i].depth, expected[i].depth);
        EXPECT_NEAR(grown[i].x, expected[i].x, 2e-3f);
        EXPECT_NEAR(grown[i].y, expected[i].y, 2e-3f);
        EXPECT_NEAR(grown[i].width, expected[i].width, 1e-5f);
        EXPECT_NEAR(grown[i].fade, expected[i].fade, 1e-5f);
    }
}

// Branches: none without first-level slots; first-level ones without children when there are no
// sub-branches; twigs need sub-branches. A branch starts at its node with that node's fade, and a
// level deeper than the passes is two nodes.
TEST_F(LightningTest, BranchLevels)
{
    auto depth = [](const std::vector<BoltNode>& chain, auto& self) -> int {
        int deepest = 0;
        for (const BoltNode& node : chain)
            if (!node.branch.empty())
                deepest = std::max(deepest, 1 + self(node.branch, self));
        return deepest;
    };
    m_bolt.Passes().ValueRef() = 4;
    m_bolt.BranchLength().SetValue(50);
    m_bolt.Seed().ValueRef() = 5;
    struct Case {
        unsigned a, b, t;
        int deepest;
    } cases[] = {{0, 8, 8, 0}, {6, 0, 8, 1}, {6, 8, 0, 2}, {6, 8, 12, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a << " " << c.b << " " << c.t);
        m_bolt.Branches().ValueRef() = c.a;
        m_bolt.SubBranches().ValueRef() = c.b;
        m_bolt.Twigs().ValueRef() = c.t;
        m_bolt.Regenerate();
        EXPECT_EQ(depth(m_bolt.Bolt(), depth), c.deepest);
    }

    // The last case: every branch hangs off its node; first-level branches get three passes.
    for (const BoltNode& node : m_bolt.Bolt()) {
        if (node.branch.empty())
            continue;
        EXPECT_EQ(node.branch.front().position, node.position);
        EXPECT_FLOAT_EQ(node.branch.front().fade, node.fade);
        EXPECT_FLOAT_EQ(node.branch.back().fade, 0.0f);
        EXPECT_EQ(node.branch.size(), 16u) << "three passes";
    }

    // Passes 1: a second-level branch gets no pass but its corner cutting.
    m_bolt.Passes().ValueRef() = 1;
    m_bolt.Regenerate();
    int secondLevel = 0;
    for (const BoltNode& node : m_bolt.Bolt()) {
        for (const BoltNode& inner : node.branch) {
            if (!inner.branch.empty()) {
                EXPECT_EQ(inner.branch.size(), 2u);
                ++secondLevel;
            }
        }
    }
    EXPECT_GT(secondLevel, 0);
}

// Many slots on a short chain draw the same nodes: only the first slot of a node makes a branch.
TEST_F(LightningTest, OneBranchPerNode)
{
    m_bolt.Branches().ValueRef() = 40;
    m_bolt.BranchLength().SetValue(50);
    m_bolt.Regenerate();
    ASSERT_EQ(m_bolt.Bolt().size(), 2u);
    int branched = 0;
    for (const BoltNode& node : m_bolt.Bolt())
        branched += node.branch.empty() ? 0 : 1;
    EXPECT_GE(branched, 1);
    EXPECT_LE(branched, 2);
    EXPECT_EQ(Vo_LightningGN::CountEndCaps(m_bolt.Bolt()), 2u + 2u * branched);
}

// Tip factor raw 100 (m = 0) narrows the chain to nothing at its end, rising by 1/n per node.
TEST_F(LightningTest, TipFactorNarrowsTheChain)
{
    m_bolt.Passes().ValueRef() = 2;
    m_bolt.TipFactor().SetValue(100);
    m_bolt.Regenerate();
    const std::vector<BoltNode>& chain = m_bolt.Bolt();
    ASSERT_EQ(chain.size(), 8u);
    for (size_t i = 0; i < chain.size(); ++i)
        EXPECT_NEAR(chain[i].width, (7.0f - i) / 8.0f, 1e-6f) << "node " << i;
}

// The brightness by appearance state, the fade factor f taken from an interval that fades in over
// 0-4 s and out over 6-10 s.
TEST_F(LightningTest, BrightnessByState)
{
    Vo_TimeLineControl& timeline = m_bolt.Timeline();
    timeline.Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_TRUE(timeline.InsertInterval(TimeInterval{0.0f, 10.0f, 4.0f, 6.0f}));

    // Fading in at f = 0.25: full from the start down to k = 0.75, then (f + k - 0.666) x 3.
    timeline.SetIntervalTime(1.0f);
    ASSERT_EQ(timeline.GetState(), AnimationState::kFadingIn);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(0.8f), 1.0f);
    EXPECT_NEAR(m_bolt.GetBrightness(0.5f), (0.25f + 0.5f - 0.666f) * 3, 1e-5f);
    EXPECT_LT(m_bolt.GetBrightness(0.0f), 0.0f) << "dark at the tips, clamped by the colour";

    // Visible: 1 - (noise + 1) x flicker / 2 at the last local time, the same for every node.
    timeline.SetIntervalTime(5.0f);
    ASSERT_EQ(timeline.GetState(), AnimationState::kVisible);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(0.3f), 1.0f) << "no flicker";
    m_bolt.Flicker().SetValue(60);
    m_bolt.Update(2.5f, nullptr);
    const double noise = FractalNoise1D(2500.0, 75.0, 0.5, 4);
    EXPECT_NEAR(m_bolt.GetBrightness(0.3f), 1 - (noise + 1) * 0.6 / 2, 1e-5);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(0.9f), m_bolt.GetBrightness(0.3f));
    m_bolt.Update(2.53f, nullptr);
    EXPECT_NE(m_bolt.GetBrightness(0.3f), 1 - (noise + 1) * 0.6f / 2) << "it flickers";

    // Fading out at f = 0.5: f squared.
    timeline.SetIntervalTime(8.0f);
    ASSERT_EQ(timeline.GetState(), AnimationState::kFadingOut);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(0.7f), 0.25f);

    // Invisible: the fade factor, 0.
    timeline.SetIntervalTime(11.0f);
    ASSERT_EQ(timeline.GetState(), AnimationState::kInvisible);
    EXPECT_FLOAT_EQ(m_bolt.GetBrightness(0.7f), 0.0f);
}

// The bolt grows again each time the item leaves the invisible state, and is kept in between;
// restarting resets the clock but not the flag.
TEST_F(LightningTest, GrowsWhenItBecomesVisible)
{
    Vo_TimeLineControl& timeline = m_bolt.Timeline();
    timeline.Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_TRUE(timeline.InsertInterval(TimeInterval{0.0f, 10.0f, 0.0f, 10.0f}));
    m_bolt.Passes().ValueRef() = 3;
    m_bolt.Jitter().SetValue(50);
    m_bolt.Random().ValueRef() = 1;

    timeline.SetIntervalTime(5.0f);
    std::srand(1);
    m_bolt.Update(1.0f, nullptr);
    EXPECT_TRUE(m_bolt.Regenerated());
    const float y = m_bolt.Bolt()[1].position.y;
    std::srand(2);
    m_bolt.Update(1.1f, nullptr);
    EXPECT_EQ(m_bolt.Bolt()[1].position.y, y) << "kept while visible";

    timeline.SetIntervalTime(11.0f);
    m_bolt.Update(1.2f, nullptr);
    EXPECT_FALSE(m_bolt.Regenerated());
    timeline.SetIntervalTime(5.0f);
    std::srand(2);
    m_bolt.Update(1.3f, nullptr);
    EXPECT_TRUE(m_bolt.Regenerated());
    EXPECT_NE(m_bolt.Bolt()[1].position.y, y) << "a new bolt";

    m_bolt.Restart();
    EXPECT_EQ(m_bolt.LastLocalTime(), 0.0f);
    EXPECT_TRUE(m_bolt.Regenerated());

    std::unique_ptr<Vo_TexParticleGenerator> clone(m_bolt.Clone());
    auto* copy = dynamic_cast<Vo_LightningGN*>(clone.get());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->Regenerated());
    ASSERT_EQ(copy->Bolt().size(), m_bolt.Bolt().size());
    EXPECT_EQ(copy->Bolt()[1].position, m_bolt.Bolt()[1].position);
    EXPECT_FLOAT_EQ(copy->Jitter().Result(), m_bolt.Jitter().Result());
    EXPECT_TRUE(IsEqualGUID(copy->Guid(), m_bolt.Guid()));
}

// Documents the generator cannot draw write nothing instead of dividing by zero.
TEST_F(LightningTest, GuardsDrawNothing)
{
    m_bolt.Passes().ValueRef() = 2;
    m_bolt.Regenerate();
    ASSERT_TRUE(Write());

    m_bolt.FrameSets()[0].width = 0;
    EXPECT_FALSE(Write()) << "picture 0 of width 0";
    m_bolt.FrameSets()[0].width = 16;

    m_bolt.OuterWidth().ValueRef() = 0;
    EXPECT_FALSE(Write()) << "outer width 0";
    m_bolt.OuterWidth().ValueRef() = 10;
    m_bolt.CoreWidth().ValueRef() = 0;
    EXPECT_FALSE(Write()) << "core width 0";
    m_bolt.CoreWidth().ValueRef() = 4;

    m_bolt.Pictures().pop_back();
    EXPECT_FALSE(Write()) << "two pictures";
    m_bolt.Pictures().emplace_back();
    ASSERT_TRUE(Write());

    m_bolt.End().ValueRef() = m_bolt.Start().Value();
    m_bolt.Branches().ValueRef() = 3;
    m_bolt.Regenerate();
    EXPECT_TRUE(m_bolt.Bolt().empty()) << "start equal to end";
    EXPECT_FALSE(Write());
    for (const Vo_LightningGN::QuadSlot& slot : m_slots)
        EXPECT_EQ(slot.written, 0u);
}

}  // namespace

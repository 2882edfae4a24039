#include "host/UnitFrameOps.h"

#include <gtest/gtest.h>

#include <d3d9.h>

#include <string>
#include <vector>

namespace {

// Units whose devices answer from a script, recording every step the walk takes.
class ScriptedUnits : public UnitFrameOps {
public:
    struct Unit {
        HRESULT level = D3D_OK;
        HRESULT reset = D3D_OK;
        HRESULT restore = S_OK;
        bool restored = true;
        bool hasDevice = true;
    };
    std::vector<Unit> units;
    std::vector<std::string> log;
    int current = -1;
    bool errorMode = false;

    int UnitCount() const override { return static_cast<int>(units.size()); }
    void SelectUnit(int i) override { current = i; }
    bool UnitHasDevice(int i) const override { return units[i].hasDevice; }
    HRESULT TestUnitCooperativeLevel(int i) override { return units[i].level; }
    void BeforeUnitReset(int i) override { Add("mode", i); }
    HRESULT ResetUnitDevice(int i) override
    {
        Add("reset", i);
        if (SUCCEEDED(units[i].reset))
            units[i].level = D3D_OK;
        return units[i].reset;
    }
    bool UnitRestored(int i) const override { return units[i].restored; }
    void SetUnitRestored(int i, bool restored) override { units[i].restored = restored; }
    HRESULT LoseDeviceResources() override
    {
        Add("lose", current);
        return S_OK;
    }
    HRESULT ResetDeviceResources() override
    {
        Add("restore", current);
        return units[current].restore;
    }
    void EnterResetErrorMode() override { errorMode = true; }
    HRESULT DrawUnit() override
    {
        Add("draw", current);
        return S_OK;
    }
    void PresentUnit(int i) override { Add("present", i); }

private:
    void Add(const char* step, int i) { log.push_back(step + std::to_string(i)); }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(UnitFrameWalkTest, HealthyUnitsAreAllDrawnThenAllPresented)
{
    ScriptedUnits s;
    s.units.resize(2);
    EXPECT_TRUE(WalkUnitFrame(s));
    EXPECT_EQ(s.log, (Log{"draw0", "draw1", "present0", "present1"}));
    EXPECT_FALSE(s.errorMode);
}

TEST(UnitFrameWalkTest, LostDeviceEndsTheFrameWithNothingPresented)
{
    ScriptedUnits s;
    s.units.resize(2);
    s.units[1].level = D3DERR_DEVICELOST;
    EXPECT_FALSE(WalkUnitFrame(s));
    // Unit 0 was drawn, but not even it is presented.
    EXPECT_EQ(s.log, (Log{"draw0"}));
    EXPECT_FALSE(s.errorMode);
    EXPECT_TRUE(s.units[1].restored);
}

TEST(UnitFrameWalkTest, NotResetDeviceIsLostResetRestoredAndDrawnInTheSameFrame)
{
    ScriptedUnits s;
    s.units.resize(2);
    s.units[0].level = D3DERR_DEVICENOTRESET;
    EXPECT_TRUE(WalkUnitFrame(s));
    EXPECT_EQ(s.log, (Log{"mode0", "lose0", "reset0", "restore0", "draw0", "draw1", "present0",
                          "present1"}));
    EXPECT_TRUE(s.units[0].restored);
    EXPECT_FALSE(s.errorMode);

    // The next frame runs normally.
    s.log.clear();
    EXPECT_TRUE(WalkUnitFrame(s));
    EXPECT_EQ(s.log, (Log{"draw0", "draw1", "present0", "present1"}));
}

TEST(UnitFrameWalkTest, ResourcesAlreadyDroppedAreNotDroppedAgain)
{
    ScriptedUnits s;
    s.units.resize(1);
    s.units[0].level = D3DERR_DEVICENOTRESET;
    s.units[0].restored = false;
    WalkUnitFrame(s);
    EXPECT_EQ(s.log, (Log{"mode0", "reset0", "restore0", "draw0", "present0"}));
    EXPECT_TRUE(s.units[0].restored);
}

TEST(UnitFrameWalkTest, FailedResetEntersErrorModeAndSkipsDrawingThatUnit)
{
    ScriptedUnits s;
    s.units.resize(2);
    s.units[0].level = D3DERR_DEVICENOTRESET;
    s.units[0].reset = D3DERR_INVALIDCALL;
    EXPECT_TRUE(WalkUnitFrame(s));
    // Its resources are gone, so it is not drawn; the other unit still is.
    EXPECT_EQ(s.log, (Log{"mode0", "lose0", "reset0", "draw1", "present0", "present1"}));
    EXPECT_TRUE(s.errorMode);
    EXPECT_FALSE(s.units[0].restored);
}

TEST(UnitFrameWalkTest, FailedRestoreEntersErrorModeButStillDraws)
{
    ScriptedUnits s;
    s.units.resize(2);
    s.units[1].level = D3DERR_DEVICENOTRESET;
    s.units[1].restore = E_FAIL;
    EXPECT_TRUE(WalkUnitFrame(s));
    EXPECT_EQ(s.log, (Log{"draw0", "mode1", "lose1", "reset1", "restore1", "draw1", "present0",
                          "present1"}));
    EXPECT_TRUE(s.errorMode);
    EXPECT_FALSE(s.units[1].restored);
}

TEST(UnitFrameWalkTest, UnitWithoutDeviceIsSkipped)
{
    ScriptedUnits s;
    s.units.resize(2);
    s.units[0].hasDevice = false;
    s.units[0].level = D3DERR_DEVICELOST;  // never asked
    EXPECT_TRUE(WalkUnitFrame(s));
    EXPECT_EQ(s.log, (Log{"draw1", "present0", "present1"}));
}

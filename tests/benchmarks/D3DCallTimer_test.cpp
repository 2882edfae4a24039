#include "benchmarks/D3DCallTimer.h"
#include "benchmarks/VtableSlots.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <string>
#include <vector>

#include "model/ComRef.h"
#include "support/DeviceFixture.h"

namespace {

// Results of calls whose arguments travel in every way the calling convention has: integer and
// floating-point registers, stack slots (integer and float), float and integer results.
struct CallResults {
    float fresnel = 0.0f;
    float determinant = 0.0f;
    D3DXMATRIX rotation;
    D3DXMATRIX projection;
    DWORD renderState = 0;
    HRESULT clear = E_FAIL;
    uint32_t cleared = 0;
};

class D3DCallTimerTest : public DeviceFixture {
protected:
    CallResults MakeCalls()
    {
        CallResults r;
        r.fresnel = D3DXFresnelTerm(0.5f, 1.5f);
        D3DXMatrixRotationZ(&r.rotation, 0.7f);
        D3DXMatrixPerspectiveFovLH(&r.projection, 0.9f, 1.25f, 0.5f, 300.0f);
        r.determinant = D3DXMatrixDeterminant(&r.projection);
        Device()->SetRenderState(D3DRS_TEXTUREFACTOR, 0x12345678);
        Device()->GetRenderState(D3DRS_TEXTUREFACTOR, &r.renderState);
        r.clear = Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF3366CC, 1.0f, 0);
        r.cleared = PixelAt(5, 7);
        return r;
    }

    std::vector<void*> DeviceTable() const
    {
        void** table = *reinterpret_cast<void***>(Device());
        return std::vector<void*>(table, table + kDeviceSlots);
    }
};

TEST_F(D3DCallTimerTest, TimedCallsKeepTheirArgumentsAndResults)
{
    const CallResults plain = MakeCalls();
    D3DCallTimer timer;
    ASSERT_GT(timer.Install(Device(), L""), static_cast<int>(kDeviceSlots));
    const CallResults timed = MakeCalls();
    timer.Uninstall();

    EXPECT_EQ(timed.fresnel, plain.fresnel);
    EXPECT_GT(timed.fresnel, 0.0f);
    EXPECT_EQ(timed.determinant, plain.determinant);
    EXPECT_NE(timed.determinant, 0.0f);
    EXPECT_TRUE(timed.rotation == plain.rotation);
    EXPECT_TRUE(timed.projection == plain.projection);
    EXPECT_NE(timed.projection._11, 0.0f);
    EXPECT_EQ(timed.renderState, 0x12345678u);
    EXPECT_EQ(timed.clear, D3D_OK);
    EXPECT_EQ(timed.cleared, 0xFF3366CCu);
}

TEST_F(D3DCallTimerTest, CountsOutermostCallsOnlyAndUninstallRestoresTheTables)
{
    const std::vector<void*> before = DeviceTable();
    D3DCallTimer timer;
    timer.Install(Device(), L"");
    EXPECT_NE(DeviceTable(), before);

    timer.Reset();
    // Three outer calls; D3DXCreateTexture calls the device from inside, which must not count.
    Device()->SetRenderState(D3DRS_LIGHTING, FALSE);
    ComRef<IDirect3DTexture9> texture;
    ASSERT_EQ(D3DXCreateTexture(Device(), 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive()), D3D_OK);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);  // inline: no call at all
    D3DXMatrixDeterminant(&identity);
    EXPECT_EQ(timer.Calls(), 3u);
    EXPECT_GE(timer.SecondsInside(), 0.0);

    texture.Reset();
    timer.Uninstall();
    EXPECT_EQ(DeviceTable(), before);
}

TEST_F(D3DCallTimerTest, TotalsPerEntryNameTheCalledFunctionsAndMethods)
{
    D3DCallTimer timer;
    timer.Install(Device(), L"");
    timer.Reset();
    // Two outer calls of one import (the device calls made inside them count for it), one of a
    // device method named in the list, one of a device method it leaves unnamed (slot 0).
    ComRef<IDirect3DTexture9> first, second;
    ASSERT_EQ(D3DXCreateTexture(Device(), 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, first.Receive()), D3D_OK);
    ASSERT_EQ(D3DXCreateTexture(Device(), 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, second.Receive()), D3D_OK);
    Device()->SetRenderState(D3DRS_LIGHTING, FALSE);
    ComRef<IDirect3DDevice9> same;
    ASSERT_EQ(Device()->QueryInterface(IID_IDirect3DDevice9, reinterpret_cast<void**>(same.Receive())), S_OK);
    const std::vector<D3DCallTimer::EntryTotal> totals = timer.EntryTotals();
    timer.Uninstall();

    const auto find = [&](const std::string& name) -> const D3DCallTimer::EntryTotal* {
        for (const D3DCallTimer::EntryTotal& entry : totals)
            if (entry.name == name)
                return &entry;
        return nullptr;
    };
    const struct {
        const char* name;
        uint64_t calls;
    } expected[] = {{"D3DXCreateTexture", 2},
                    {"IDirect3DDevice9::SetRenderState", 1},
                    {"IDirect3DDevice9::slot 0", 1}};
    uint64_t sum = 0;
    for (const auto& e : expected) {
        const D3DCallTimer::EntryTotal* entry = find(e.name);
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->calls, e.calls) << e.name;
        EXPECT_GT(entry->seconds, 0.0) << e.name;
        sum += entry->calls;
    }
    // Nothing else was called from outside: the texture's device calls are inside D3DX's.
    uint64_t all = 0;
    for (const D3DCallTimer::EntryTotal& entry : totals)
        all += entry.calls;
    EXPECT_EQ(all, sum);
    EXPECT_EQ(find("IDirect3DDevice9::CreateTexture"), nullptr);
}

TEST_F(D3DCallTimerTest, EveryInstallTimesAsManyEntriesAsTheFirst)
{
    // One timer per benchmarked document: the gallery installs and uninstalls one for each of
    // its documents, far more often than the stubs of one install would fit twenty times over.
    int first = 0;
    for (int round = 0; round < 60; ++round) {
        D3DCallTimer timer;
        const int patched = timer.Install(Device(), L"");
        if (round == 0)
            first = patched;
        ASSERT_EQ(patched, first) << "install " << round;
        EXPECT_EQ(timer.Untimed(), 0) << "install " << round;
        timer.Reset();
        Device()->SetRenderState(D3DRS_LIGHTING, FALSE);
        EXPECT_EQ(timer.Calls(), 1u) << "install " << round;
        timer.Uninstall();
    }
    EXPECT_GT(first, static_cast<int>(kDeviceSlots));
}

}  // namespace

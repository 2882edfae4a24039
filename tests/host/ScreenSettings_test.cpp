// The per-display values under the settings key, read into hand-made display and adapter
// records. The key lives under a test path of its own.
#include "host/CD3DScreensaver.h"
#include "host/RegistryKey.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// ctest runs the tests of this file in parallel processes: each process has a key of its own.
const std::wstring kTestKeyPath =
    L"Software\\GlimmerHostTests\\ScreenSettings " + std::to_wstring(GetCurrentProcessId());
const wchar_t* const kTestKey = kTestKeyPath.c_str();

const GUID kAdapterA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kAdapterB = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};
const GUID kOther = {0x99999999, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};

// Four displays: three driven by adapters 0, 1 and 2, the last by none.
class SettingsSaver : public CD3DScreensaver {
public:
    SettingsSaver()
    {
        m_monitorCount = 4;
        for (int m = 0; m < 4; ++m)
            m_monitors[m].adapter = m < 3 ? m : -1;
        const GUID ids[3] = {kAdapterA, kAdapterB, kAdapterA};
        for (int a = 0; a < 3; ++a) {
            m_adapters[a] = new AdapterRecord();
            m_adapters[a]->monitor = a;
            m_adapters[a]->identifier.DeviceIdentifier = ids[a];
        }
        m_adapterCount = 3;
    }
    void Read(HKEY key) { ReadScreenSettings(key); }
    void Write(HKEY key) { WriteScreenSettings(key); }
    AdapterRecord& Adapter(int a) { return *m_adapters[a]; }
    int AllScreensSame() const { return m_allScreensSame; }
    void SetAllScreensSame(int v) { m_allScreensSame = v; }
};

class ScreenSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        ASSERT_TRUE(m_key.Create(HKEY_CURRENT_USER, kTestKey));
    }
    void TearDown() override
    {
        m_key.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }
    void WriteScreen(int number, const GUID* id, DWORD leaveBlack, DWORD width)
    {
        RegistryKey screen;
        ASSERT_TRUE(screen.Create(m_key.Handle(), (L"Screen " + std::to_wstring(number)).c_str()));
        if (id)
            screen.WriteBinary(L"Adapter ID", id, sizeof(GUID));
        screen.WriteDword(L"Leave Black", leaveBlack);
        screen.WriteDword(L"Disable Hardware", 1);
        screen.WriteDword(L"Width", width);
        screen.WriteDword(L"Height", 600);
        screen.WriteDword(L"Format", D3DFMT_X8R8G8B8);
    }
    bool SubkeyExists(const wchar_t* name)
    {
        HKEY k = nullptr;
        if (RegOpenKeyExW(m_key.Handle(), name, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }
    RegistryKey m_key;
};

}  // namespace

TEST_F(ScreenSettingsTest, ValuesOfAnotherAdapterKeepOnlyLeaveBlack)
{
    m_key.WriteDword(L"AllScreensSame", 1);
    WriteScreen(1, &kAdapterA, 1, 800);  // this adapter's own values
    WriteScreen(2, &kOther, 1, 1024);    // stored for hardware that is gone
    WriteScreen(3, nullptr, 0, 640);     // no identifier: counts as all zeros, values apply

    SettingsSaver saver;
    saver.Read(m_key.Handle());
    EXPECT_EQ(saver.AllScreensSame(), 1);

    const AdapterRecord& a = saver.Adapter(0);
    EXPECT_EQ(a.leaveBlack, 1);
    EXPECT_EQ(a.disableHardware, 1);
    EXPECT_EQ(a.userWidth, 800u);
    EXPECT_EQ(a.userHeight, 600u);
    EXPECT_EQ(a.userFormat, D3DFMT_X8R8G8B8);

    const AdapterRecord& b = saver.Adapter(1);
    EXPECT_EQ(b.leaveBlack, 1);
    EXPECT_EQ(b.disableHardware, 0);
    EXPECT_EQ(b.userWidth, 0u);
    EXPECT_EQ(b.userHeight, 0u);

    EXPECT_EQ(saver.Adapter(2).userWidth, 640u);
    EXPECT_EQ(saver.Adapter(2).leaveBlack, 0);
    // The display without an adapter gets no subkey.
    EXPECT_FALSE(SubkeyExists(L"Screen 4"));
}

TEST_F(ScreenSettingsTest, EmptyKeyKeepsDefaultsAndCreatesTheSubkeys)
{
    SettingsSaver saver;
    saver.Read(m_key.Handle());
    EXPECT_EQ(saver.AllScreensSame(), 0);
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(saver.Adapter(a).leaveBlack, 0);
        EXPECT_EQ(saver.Adapter(a).userWidth, 0u);
    }
    EXPECT_TRUE(SubkeyExists(L"Screen 1"));
    EXPECT_TRUE(SubkeyExists(L"Screen 3"));
}

TEST_F(ScreenSettingsTest, WrittenValuesReadBack)
{
    SettingsSaver writer;
    writer.SetAllScreensSame(1);
    writer.Adapter(1).leaveBlack = 1;
    writer.Adapter(1).disableHardware = 1;
    writer.Adapter(1).userWidth = 1024;
    writer.Adapter(1).userHeight = 768;
    writer.Adapter(1).userFormat = D3DFMT_X8R8G8B8;
    writer.Write(m_key.Handle());

    SettingsSaver reader;
    reader.Read(m_key.Handle());
    EXPECT_EQ(reader.AllScreensSame(), 1);
    EXPECT_EQ(reader.Adapter(1).leaveBlack, 1);
    EXPECT_EQ(reader.Adapter(1).disableHardware, 1);
    EXPECT_EQ(reader.Adapter(1).userWidth, 1024u);
    EXPECT_EQ(reader.Adapter(1).userHeight, 768u);
    EXPECT_EQ(reader.Adapter(0).leaveBlack, 0);
}

TEST_F(ScreenSettingsTest, StoredIdentifierDecidesWhichValuesApply)
{
    const GUID zero = {};
    struct Case {
        const char* what;
        const GUID* stored;
        int disableHardware;
        UINT width;
    } cases[] = {
        {"this adapter's identifier", &kAdapterA, 1, 800},
        {"an all-zero identifier", &zero, 1, 800},
        {"another adapter's identifier", &kOther, 0, 0},
    };
    for (const Case& c : cases) {
        WriteScreen(1, c.stored, 1, 800);
        SettingsSaver saver;
        saver.Read(m_key.Handle());
        const AdapterRecord& a = saver.Adapter(0);
        EXPECT_EQ(a.leaveBlack, 1) << c.what;
        EXPECT_EQ(a.disableHardware, c.disableHardware) << c.what;
        EXPECT_EQ(a.userWidth, c.width) << c.what;
        EXPECT_EQ(a.userHeight, c.width ? 600u : 0u) << c.what;
    }
}

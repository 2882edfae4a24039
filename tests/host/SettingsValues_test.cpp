#include "host/SettingsValues.h"

#include "host/SettingsKeyPath.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <cwchar>
#include <vector>

#include "support/ProcessSettingsKey.h"

namespace {

const ProcessSettingsKey kTestKeys(L"GlimmerSaverTests");
const wchar_t* const kTestRoot = kTestKeys.Root();
const wchar_t* const kTestKey = kTestKeys.Settings();

// A value as it may be found in the registry, written without the code under test.
struct StoredValue {
    DWORD type;
    std::vector<BYTE> bytes;
};

StoredValue Dword(DWORD value)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    return {REG_DWORD, std::vector<BYTE>(p, p + 4)};
}

// Points the settings at a test key under HKEY_CURRENT_USER and removes it afterwards.
class SettingsValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wcscpy(m_savedPath, SettingsKeyPath);
        std::wcscpy(SettingsKeyPath, kTestKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        PicturePositionCache = PicturePositionCacheRecord();
    }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        std::wcscpy(SettingsKeyPath, m_savedPath);
        PicturePositionCache = PicturePositionCacheRecord();
    }
    static void Store(const wchar_t* name, const StoredValue& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, value.type, value.bytes.data(),
                       static_cast<DWORD>(value.bytes.size()));
        RegCloseKey(key);
    }
    static bool QueryStored(HKEY parent, const wchar_t* path, const wchar_t* name, DWORD* type,
                            DWORD* data)
    {
        DWORD size = sizeof(*data);
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        LONG result =
            RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS && size == sizeof(*data);
    }
    wchar_t m_savedPath[260] = {};
};

}  // namespace

TEST_F(SettingsValuesTest, ReadTakesOnlyFourByteDwords)
{
    const int kDefault = 77;
    EXPECT_FALSE(ReadRegistryValue(nullptr, kSoundVolumeValue)) << "missing key";

    struct Case {
        const char* name;
        StoredValue stored;
        int expected;
    };
    const Case cases[] = {
        {"dword", Dword(5), 5},
        {"dword with the top bit set reads as a negative int", Dword(0xFFFFFFFFu), -1},
        // Everything below keeps the default.
        {"binary of four bytes", {REG_BINARY, {1, 0, 0, 0}}, kDefault},
        {"string of four bytes", {REG_SZ, {'7', 0, 0, 0}}, kDefault},
        {"dword type with two bytes", {REG_DWORD, {9, 0}}, kDefault},
        {"qword", {REG_QWORD, {3, 0, 0, 0, 0, 0, 0, 0}}, kDefault},
        {"empty binary", {REG_BINARY, {}}, kDefault},
    };
    for (const Case& c : cases) {
        Store(kSoundVolumeValue, c.stored);
        int value = kDefault;
        EXPECT_EQ(ReadRegistryValue(&value, kSoundVolumeValue), c.expected != kDefault) << c.name;
        EXPECT_EQ(value, c.expected) << c.name;
    }
    int value = kDefault;
    EXPECT_FALSE(ReadRegistryValue(&value, L"\"NotStored\""));
    EXPECT_EQ(value, kDefault);
}

TEST_F(SettingsValuesTest, MissingKeyKeepsDefaultsAndReadingCreatesTheKey)
{
    int volume = 100;
    int mute = 0;
    ReadSoundVolume(&volume);
    ReadMuteSound(&mute);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(mute, 0);
    EXPECT_EQ(GetPicturePosition(), 2);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(SettingsValuesTest, VolumeIsClampedAndMuteTakenAsStored)
{
    struct Case {
        StoredValue stored;
        int volume;
    };
    const Case cases[] = {
        {Dword(40), 40},   {Dword(0), 0},
        {Dword(100), 100}, {Dword(101), 100},
        {Dword(0xFFFFFFFBu), 0},  // -5
        {{REG_SZ, {'4', 0, '0', 0}}, 63},  // another type keeps what the caller held
    };
    for (const Case& c : cases) {
        Store(kSoundVolumeValue, c.stored);
        int volume = 63;
        ReadSoundVolume(&volume);
        EXPECT_EQ(volume, c.volume) << "stored type " << c.stored.type;
    }
    Store(kMuteSoundValue, Dword(1));
    int mute = 0;
    ReadMuteSound(&mute);
    EXPECT_EQ(mute, 1);
}

TEST_F(SettingsValuesTest, PicturePositionIsClampedReadOnceAndStored)
{
    struct Case {
        StoredValue stored;
        int position;
    };
    const Case cases[] = {
        {Dword(0), 0}, {Dword(1), 1}, {Dword(2), 2},
        // Out of range or of another type: Fill.
        {Dword(3), 2}, {Dword(0xFFFFFFFFu), 2}, {{REG_BINARY, {0, 0, 0, 0}}, 2},
    };
    for (const Case& c : cases) {
        Store(kPicturePositionValue, c.stored);
        PicturePositionCache = PicturePositionCacheRecord();
        EXPECT_EQ(GetPicturePosition(), c.position) << "stored type " << c.stored.type;
    }

    PicturePositionCache = PicturePositionCacheRecord();
    SetPicturePosition(1);
    DWORD type = 0;
    DWORD data = 99;
    ASSERT_TRUE(QueryStored(HKEY_CURRENT_USER, kTestKey, kPicturePositionValue, &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, 1u);
    // The cache answers from now on, whatever the registry holds.
    Store(kPicturePositionValue, Dword(0));
    EXPECT_EQ(GetPicturePosition(), 1);
    // A position outside the list (a combo box without a selection) changes nothing.
    SetPicturePosition(-1);
    SetPicturePosition(3);
    EXPECT_EQ(GetPicturePosition(), 1);
    ASSERT_TRUE(QueryStored(HKEY_CURRENT_USER, kTestKey, kPicturePositionValue, &type, &data));
    EXPECT_EQ(data, 0u);
}

TEST_F(SettingsValuesTest, WithoutASettingsKeyNothingIsReadOrWritten)
{
    SettingsKeyPath[0] = 0;
    const wchar_t kName[] = L"\"GlimmerSaverTestValue\"";
    WriteRegistryValue(5, kName);
    int value = 8;
    EXPECT_FALSE(ReadRegistryValue(&value, kName));
    EXPECT_EQ(value, 8);
    DWORD type = 0;
    DWORD data = 0;
    EXPECT_FALSE(QueryStored(HKEY_CURRENT_USER, L"", kName, &type, &data));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, nullptr, kName);
}

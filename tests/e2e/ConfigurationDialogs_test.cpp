// The configuration mode of the built saver driven like a user: the picture position, the sound
// dialog and the web-site button, checked in the registry and through a recorder program
// registered as the browser.
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kBrowserKey[] = L"http\\shell\\open\\command";

int StoredSetting(const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kSaverSettingsKey, name, RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(value);
}

}  // namespace

TEST(ConfigurationDialogsTest, PicturePositionSoundSettingsAndWebsiteAreStoredAndStarted)
{
    SavedRegistryValue picture(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\"");
    SavedRegistryValue volume(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"SoundVolume\"");
    SavedRegistryValue mute(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"MuteSound\"");
    SavedRegistryValue browser(HKEY_CLASSES_ROOT, kBrowserKey, nullptr);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\"");

    const std::wstring recorded =
        UnixToWindowsPath(std::string(VO_BINARY_DIR)) + L"\\website-recorder.txt";
    DeleteFileW(recorded.c_str());
    const std::wstring command = L"\"" + BuiltProgramPath(L"tests\\command_recorder.exe") +
                                 L"\" \"" + recorded + L"\" \"%1\"";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kBrowserKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(BuiltProgramPath(L"GlimmerSaver.scr"), L"/c"));
    const HWND config = WaitForDialog(saver.ProcessId(), L"");
    ASSERT_NE(config, nullptr);
    // Nothing stored: Fill is selected.
    ASSERT_TRUE(WaitFor([&] { return SendDlgItemMessageW(config, 1023, CB_GETCOUNT, 0, 0) == 3; }));
    EXPECT_EQ(SendDlgItemMessageW(config, 1023, CB_GETCURSEL, 0, 0), 2);

    // The sound dialog: volume 30 (the trackbar's top is the loudest) and mute.
    PostMessageW(config, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    const HWND sound = WaitForDialog(saver.ProcessId(), L"Sound Settings");
    ASSERT_NE(sound, nullptr);
    ASSERT_TRUE(WaitFor([&] { return SendDlgItemMessageW(sound, 1021, TBM_GETRANGEMAX, 0, 0) == 100; }));
    SendDlgItemMessageW(sound, 1021, TBM_SETPOS, TRUE, 70);
    SendDlgItemMessageW(sound, 1022, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(sound, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(sound); }));
    EXPECT_EQ(StoredSetting(L"\"SoundVolume\""), 30);
    EXPECT_EQ(StoredSetting(L"\"MuteSound\""), 1);

    // The web-site button starts the registered browser command with an address.
    PostMessageW(config, WM_COMMAND, MAKEWPARAM(1017, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor(
        [&] { return GetFileAttributesW(recorded.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    std::ifstream file(std::string(recorded.begin(), recorded.end()));
    std::string address;
    std::getline(file, address);
    EXPECT_EQ(address.rfind("http", 0), 0u) << address;
    file.close();
    DeleteFileW(recorded.c_str());

    // OK stores the picture position.
    SendDlgItemMessageW(config, 1023, CB_SETCURSEL, 1, 0);
    PostMessageW(config, WM_COMMAND, IDOK, 0);
    ProcessResult result = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_EQ(StoredSetting(L"\"PicPos\""), 1);
}

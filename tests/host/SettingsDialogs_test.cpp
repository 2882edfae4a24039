#include "host/SettingsDialogs.h"

#include "host/SettingsKeyPath.h"
#include "host/SettingsValues.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include <cwchar>

#include "support/ProcessSettingsKey.h"

namespace {

const ProcessSettingsKey kTestKeys(L"GlimmerSaverDialogTests");
const wchar_t* const kTestRoot = kTestKeys.Root();
const wchar_t* const kTestKey = kTestKeys.Settings();

// The controls of the two dialogs on a plain window, settings under a test key.
class SettingsDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        std::wcscpy(m_savedPath, SettingsKeyPath);
        std::wcscpy(SettingsKeyPath, kTestKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        PicturePositionCache = PicturePositionCacheRecord();
        m_savedSoundValues = SoundDialogValues;
        SoundDialogValues = SoundDialogValuesRecord();

        HINSTANCE instance = GetModuleHandleW(nullptr);
        m_dialog = CreateWindowExW(0, L"STATIC", L"settings", WS_POPUP, 0, 0, 300, 300, nullptr,
                                   nullptr, instance, nullptr);
        ASSERT_NE(m_dialog, nullptr);
        Child(TRACKBAR_CLASSW, TBS_VERT, kVolumeTrackbar);
        Child(L"BUTTON", BS_AUTOCHECKBOX, kMuteCheckBox);
        Child(L"COMBOBOX", CBS_DROPDOWNLIST, kPicturePositionList);
    }
    void TearDown() override
    {
        DestroyWindow(m_dialog);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        std::wcscpy(SettingsKeyPath, m_savedPath);
        PicturePositionCache = PicturePositionCacheRecord();
        SoundDialogValues = m_savedSoundValues;
    }
    void Child(const wchar_t* windowClass, DWORD style, int id)
    {
        HWND child = CreateWindowExW(0, windowClass, L"", WS_CHILD | style, 0, 0, 100, 100,
                                     m_dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(child, nullptr);
    }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendDlgItemMessageW(m_dialog, id, message, wParam, lParam);
    }
    static int Stored(const wchar_t* name)
    {
        int value = -12345;
        ReadRegistryValue(&value, name);
        return value;
    }

    HWND m_dialog = nullptr;
    wchar_t m_savedPath[260] = {};
    SoundDialogValuesRecord m_savedSoundValues;
};

}  // namespace

TEST_F(SettingsDialogsTest, SoundDialogShowsTheStoredValuesAndStoresTheEditedOnes)
{
    WriteRegistryValue(40, kSoundVolumeValue);
    WriteRegistryValue(1, kMuteSoundValue);
    EXPECT_EQ(HandleSoundDialog(m_dialog, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(Send(kVolumeTrackbar, TBM_GETRANGEMIN), 0);
    EXPECT_EQ(Send(kVolumeTrackbar, TBM_GETRANGEMAX), 100);
    EXPECT_EQ(Send(kVolumeTrackbar, TBM_GETPOS), 60);  // the top is the loudest
    EXPECT_EQ(Send(kMuteCheckBox, BM_GETCHECK), BST_CHECKED);

    // The trackbar at the bottom is volume 0.
    Send(kVolumeTrackbar, TBM_SETPOS, TRUE, 100);
    Send(kMuteCheckBox, BM_SETCHECK, BST_UNCHECKED);
    EXPECT_EQ(HandleSoundDialog(m_dialog, WM_COMMAND, IDOK, 0), TRUE);
    EXPECT_EQ(Stored(kSoundVolumeValue), 0);
    EXPECT_EQ(Stored(kMuteSoundValue), 0);

    // Cancel stores nothing.
    Send(kVolumeTrackbar, TBM_SETPOS, TRUE, 30);
    EXPECT_EQ(HandleSoundDialog(m_dialog, WM_COMMAND, IDCANCEL, 0), TRUE);
    EXPECT_EQ(Stored(kSoundVolumeValue), 0);

    EXPECT_EQ(HandleSoundDialog(m_dialog, WM_PAINT, 0, 0), FALSE);
}

TEST_F(SettingsDialogsTest, SoundDialogShowsClampedOrDefaultValues)
{
    // Nothing stored: volume 100 (trackbar at the top), mute off.
    HandleSoundDialog(m_dialog, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(Send(kVolumeTrackbar, TBM_GETPOS), 0);
    EXPECT_EQ(Send(kMuteCheckBox, BM_GETCHECK), BST_UNCHECKED);
    // A stored volume above the range shows as the loudest.
    WriteRegistryValue(250, kSoundVolumeValue);
    HandleSoundDialog(m_dialog, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(Send(kVolumeTrackbar, TBM_GETPOS), 0);
}

TEST_F(SettingsDialogsTest, PicturePositionListShowsAndStoresTheSelection)
{
    WriteRegistryValue(1, kPicturePositionValue);
    FillPicturePositionList(m_dialog);
    ASSERT_EQ(Send(kPicturePositionList, CB_GETCOUNT), 3);
    const wchar_t* const names[] = {L"Stretch", L"Fit", L"Fill"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[32] = {};
        Send(kPicturePositionList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, names[i]);
    }
    EXPECT_EQ(Send(kPicturePositionList, CB_GETCURSEL), 1);

    Send(kPicturePositionList, CB_SETCURSEL, 0);
    StorePicturePositionSelection(m_dialog);
    EXPECT_EQ(Stored(kPicturePositionValue), 0);
    EXPECT_EQ(GetPicturePosition(), 0);
    // No selection keeps the old value.
    Send(kPicturePositionList, CB_SETCURSEL, static_cast<WPARAM>(-1));
    StorePicturePositionSelection(m_dialog);
    EXPECT_EQ(Stored(kPicturePositionValue), 0);
}

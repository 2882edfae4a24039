// The program's dialogs as the code addresses them: by control id, with their texts.
#include "support/SaverAsDataFile.h"
#include "support/SaverWindows.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    bool visible;
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class ResourceScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        m_program = m_saver.Module();
        ASSERT_NE(m_program, nullptr);
    }

    void ExpectDialog(int dialogId, const wchar_t* caption, const std::vector<Control>& controls,
                      const std::vector<std::wstring>& labels)
    {
        HWND dialog = CreateDialogParamW(m_program, MAKEINTRESOURCEW(dialogId), nullptr,
                                         QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << dialogId;
        if (caption) {
            EXPECT_EQ(TextOf(dialog), caption) << dialogId;
        }
        for (const Control& c : controls) {
            HWND item = GetDlgItem(dialog, c.id);
            ASSERT_NE(item, nullptr) << dialogId << " control " << c.id;
            wchar_t className[64] = {};
            GetClassNameW(item, className, 64);
            EXPECT_EQ(_wcsicmp(className, c.className), 0)
                << dialogId << " control " << c.id << " is " << testing::PrintToString(std::wstring(className));
            if (c.text) {
                EXPECT_EQ(TextOf(item), c.text) << dialogId << " control " << c.id;
            }
            EXPECT_EQ((GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE) != 0, c.visible)
                << dialogId << " control " << c.id;
        }
        std::vector<std::wstring> texts;
        for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            texts.push_back(TextOf(w));
        for (const std::wstring& label : labels)
            EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end())
                << dialogId << " lacks " << testing::PrintToString(label);
        DestroyWindow(dialog);
    }

    SaverAsDataFile m_saver;
    HMODULE m_program = nullptr;
};

const wchar_t kNote[] =
    L"Note: The Automatic display mode finds a mode that works well with your current screen "
    L"saver settings and video adapter.";

}  // namespace

TEST_F(ResourceScriptTest, ConfigurationDialog)
{
    ExpectDialog(106, nullptr,
                 {{1, L"Button", L"OK", true},
                  {2, L"Button", L"Cancel", true},
                  {1023, L"ComboBox", nullptr, true},
                  {1006, L"Button", L"&Display Settings...", true},
                  {1007, L"Button", L"&Sound Settings...", true},
                  {1017, L"Button", L"Website", true}},
                 {L"Image Settings", L"Picture position:", L"Display Settings", L"Sound Settings",
                  L"Information"});
    HWND dialog = CreateDialogParamW(m_program, MAKEINTRESOURCEW(106), nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, 1023), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    DestroyWindow(dialog);
}

TEST_F(ResourceScriptTest, DisplayDialogForOneAdapter)
{
    ExpectDialog(200, L"Display Settings",
                 {{2002, L"Static", nullptr, true},
                  {2003, L"Static", nullptr, true},
                  {2004, L"Button", L"&Help", true},
                  {2005, L"Button", L"&Disable hardware 3D rendering", true},
                  {2009, L"Button", L"Display Mode", true},
                  {2010, L"Static", L"Display &mode for this video adapter:", true},
                  {2011, L"ComboBox", nullptr, true},
                  {2012, L"Static", L"Automatic", false},
                  {2013, L"Static", kNote, true},
                  {2016, L"Static", L"%d by %d, %d bit color", false},
                  {1, L"Button", L"OK", true},
                  {2, L"Button", L"Cancel", true}},
                 {});
}

TEST_F(ResourceScriptTest, DisplayDialogForSeveralAdapters)
{
    ExpectDialog(201, L"Display Settings",
                 {{2000, L"SysTabControl32", nullptr, true},
                  {2001, L"Static", L"Monitor %d", false},
                  {2002, L"Static", nullptr, true},
                  {2003, L"Static", nullptr, true},
                  {2004, L"Button", L"&Help", true},
                  {2005, L"Button", L"&Disable hardware 3D rendering on this monitor", true},
                  {2006, L"Button", L"Monitor usage", true},
                  {2007, L"Button", L"Display &screen saver on this monitor", true},
                  {2008, L"Button", L"Display &nothing on this monitor", true},
                  {2009, L"Button", L"Display mode", true},
                  {2010, L"Static", L"Display &mode for this video adapter:", true},
                  {2011, L"ComboBox", nullptr, true},
                  {2012, L"Static", L"Automatic", false},
                  {2013, L"Static", kNote, true},
                  {2014, L"Button", L"Dual Monitor Settings", true},
                  {2015, L"Button", L"Show &images in reverse order", true},
                  {2016, L"Static", L"%d by %d, %d bit color", false},
                  {1, L"Button", L"OK", true},
                  {2, L"Button", L"Cancel", true}},
                 {});
}

TEST_F(ResourceScriptTest, SoundDialog)
{
    ExpectDialog(2214, L"Sound Settings",
                 {{1021, L"msctls_trackbar32", nullptr, true},
                  {1022, L"Button", L"Mute", true},
                  {1, L"Button", L"OK", true},
                  {2, L"Button", L"Cancel", true}},
                 {L"Volume"});
    HWND dialog = CreateDialogParamW(m_program, MAKEINTRESOURCEW(2214), nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, 1021), GWL_STYLE) & TBS_VERT);
    DestroyWindow(dialog);
}

// The display-settings dialog driven in process over display and adapter records made by hand:
// three displays (hardware and software usable, nothing usable, no adapter) in dialog 201 and
// one display in dialog 200. Wine offers only one adapter, so the tabbed dialog is tested here.
#include "host/CD3DScreensaver.h"
#include "support/SaverAsDataFile.h"
#include "support/SaverWindows.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const DisplayModeEntry kModes[] = {
    {640, 480, D3DFMT_X8R8G8B8, 0, D3DFMT_D24S8},
    {800, 600, D3DFMT_R5G6B5, 0, D3DFMT_D16},
    {1024, 768, D3DFMT_X8R8G8B8, 0, D3DFMT_D24S8},
};

class DialogSaver : public CD3DScreensaver {
public:
    DialogSaver(HMODULE program, int displays)
    {
        m_instance = program;
        m_monitorCount = displays;
        const wchar_t* names[3] = {L"First adapter", L"Second adapter", L"No adapter"};
        for (int d = 0; d < displays; ++d) {
            wcscpy(m_monitors[d].adapterDescription, names[d]);
            m_monitors[d].monitor = reinterpret_cast<HMONITOR>(static_cast<intptr_t>(d + 1));
            m_monitors[d].adapter = d < 2 ? d : -1;
        }
        for (int a = 0; a < displays && a < 2; ++a) {
            m_adapters[a] = new AdapterRecord();
            m_adapters[a]->monitor = a;
            ++m_adapterCount;
        }
        AdapterRecord& first = *m_adapters[0];
        first.hardwarePresent = first.hardwareUsable = true;
        first.softwarePresent = first.softwareUsable = true;
        first.deviceCount = 1;
        first.devices[0].type = D3DDEVTYPE_HAL;
        for (const DisplayModeEntry& mode : kModes)
            first.devices[0].modes[first.devices[0].modeCount++] = mode;
        first.userWidth = 800;
        first.userHeight = 600;
        first.userFormat = D3DFMT_R5G6B5;
        if (m_adapterCount > 1)
            m_adapters[1]->hardwarePresent = true;  // present, but no usable device
    }
    AdapterRecord& Adapter(int a) { return *m_adapters[a]; }
    int AllScreensSame() const { return m_allScreensSame; }
};

class DisplayDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        m_program = m_saver.Module();
        ASSERT_NE(m_program, nullptr);
    }
    void TearDown() override
    {
        if (m_dialog)
            DestroyWindow(m_dialog);
    }
    void Open(int id)
    {
        m_dialog = CreateDialogParamW(m_program, MAKEINTRESOURCEW(id), nullptr, DisplayDialogProc, 0);
        ASSERT_NE(m_dialog, nullptr);
    }
    std::wstring ProgramString(UINT id)
    {
        wchar_t text[512] = {};
        LoadStringW(m_program, id, text, 512);
        return text;
    }
    std::wstring Text(int id) { return TextOf(GetDlgItem(m_dialog, id)); }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(m_dialog, id)) != FALSE; }
    bool Checked(int id) { return IsDlgButtonChecked(m_dialog, id) == BST_CHECKED; }
    void Click(int id, bool check)
    {
        CheckDlgButton(m_dialog, id, check ? BST_CHECKED : BST_UNCHECKED);
        SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, id)));
    }
    // As a click on a radio button: the other one of the pair is unchecked.
    void ClickUsage(int id)
    {
        CheckRadioButton(m_dialog, 2007, 2008, id);
        SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, id)));
    }
    void ChooseMode(int item)
    {
        HWND combo = GetDlgItem(m_dialog, 2011);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(2011, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    void ChooseTab(int tab)
    {
        HWND tabs = GetDlgItem(m_dialog, 2000);
        SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        NMHDR header = {tabs, 2000, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(m_dialog, WM_NOTIFY, 2000, reinterpret_cast<LPARAM>(&header));
    }
    std::vector<std::wstring> Modes()
    {
        std::vector<std::wstring> texts;
        HWND combo = GetDlgItem(m_dialog, 2011);
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[200] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }
    int SelectedMode()
    {
        return static_cast<int>(SendDlgItemMessageW(m_dialog, 2011, CB_GETCURSEL, 0, 0));
    }

    SaverAsDataFile m_saver;
    HMODULE m_program = nullptr;
    HWND m_dialog = nullptr;
};

}  // namespace

TEST_F(DisplayDialogTest, TabsAndPagesShowEachDisplay)
{
    DialogSaver saver(m_program, 3);
    Open(201);
    HWND tabs = GetDlgItem(m_dialog, 2000);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    for (int t = 0; t < 3; ++t) {
        wchar_t caption[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(t), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(caption), L"Monitor " + std::to_wstring(t + 1));
    }

    // Display 1: hardware usable; its stored 16-bit mode is selected.
    EXPECT_EQ(Text(2002), L"First adapter");
    EXPECT_EQ(Text(2003), ProgramString(2210));
    EXPECT_TRUE(Enabled(2005));
    EXPECT_FALSE(Checked(2005));
    EXPECT_TRUE(Enabled(2007) && Enabled(2008) && Enabled(2006));
    EXPECT_TRUE(Checked(2007));
    EXPECT_TRUE(Enabled(2011) && Enabled(2010) && Enabled(2009) && Enabled(2013));
    const std::vector<std::wstring> expected = {L"Automatic", L"640 by 480, 32 bit color",
                                                L"800 by 600, 16 bit color",
                                                L"1024 by 768, 32 bit color"};
    EXPECT_EQ(Modes(), expected);
    EXPECT_EQ(SelectedMode(), 2);
    EXPECT_EQ(SendDlgItemMessageW(m_dialog, 2011, CB_GETITEMDATA, 0, 0), -1);
    EXPECT_EQ(SendDlgItemMessageW(m_dialog, 2011, CB_GETITEMDATA, 3, 0), 2);

    // Display 2: an adapter without a usable device cannot show the saver.
    ChooseTab(1);
    EXPECT_EQ(Text(2002), L"Second adapter");
    EXPECT_EQ(Text(2003), ProgramString(2212));
    EXPECT_FALSE(Enabled(2005));
    EXPECT_FALSE(Enabled(2007) || Enabled(2008) || Enabled(2006));
    EXPECT_TRUE(Checked(2008));
    EXPECT_FALSE(Checked(2007));
    EXPECT_FALSE(Enabled(2011) || Enabled(2010) || Enabled(2009) || Enabled(2013));
    EXPECT_EQ(Modes(), std::vector<std::wstring>{L"Automatic"});

    // Display 3: no adapter record at all; the page shows nothing to choose and edits are
    // ignored instead of reaching a record.
    ChooseTab(2);
    EXPECT_EQ(Text(2002), L"No adapter");
    EXPECT_EQ(Text(2003), ProgramString(2212));
    EXPECT_TRUE(Modes().empty());
    Click(2005, true);
    ClickUsage(2007);
    ChooseMode(0);
    EXPECT_EQ(saver.Adapter(1).disableHardware, 0);
    EXPECT_EQ(saver.Adapter(0).leaveBlack, 0);

    // Back on display 1 the page is filled again from its record.
    ChooseTab(0);
    EXPECT_EQ(Text(2002), L"First adapter");
    EXPECT_EQ(SelectedMode(), 2);
}

TEST_F(DisplayDialogTest, EditsReachTheRecordsAndCancelRestoresThem)
{
    DialogSaver saver(m_program, 3);
    Open(201);
    EXPECT_FALSE(Checked(2015));

    ChooseMode(3);
    EXPECT_EQ(saver.Adapter(0).userWidth, 1024u);
    EXPECT_EQ(saver.Adapter(0).userHeight, 768u);
    EXPECT_EQ(saver.Adapter(0).userFormat, D3DFMT_X8R8G8B8);

    // With hardware switched off the software renderer is used.
    Click(2005, true);
    EXPECT_EQ(saver.Adapter(0).disableHardware, 1);
    EXPECT_EQ(Text(2003), ProgramString(2211));
    EXPECT_TRUE(Checked(2005));

    ClickUsage(2008);
    EXPECT_EQ(saver.Adapter(0).leaveBlack, 1);
    EXPECT_FALSE(Enabled(2011) || Enabled(2010) || Enabled(2009) || Enabled(2013));

    Click(2015, true);
    EXPECT_EQ(saver.AllScreensSame(), 1);

    SendMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
    const AdapterRecord& a = saver.Adapter(0);
    EXPECT_EQ(a.userWidth, 800u);
    EXPECT_EQ(a.userHeight, 600u);
    EXPECT_EQ(a.userFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(a.disableHardware, 0);
    EXPECT_EQ(a.leaveBlack, 0);
    EXPECT_EQ(saver.AllScreensSame(), 0);
}

TEST_F(DisplayDialogTest, OkKeepsEditsAndTheFirstEntryMeansAutomatic)
{
    DialogSaver saver(m_program, 2);
    saver.Adapter(0).leaveBlack = 1;
    Open(201);
    EXPECT_TRUE(Checked(2008));
    EXPECT_FALSE(Enabled(2011));
    ClickUsage(2007);
    EXPECT_TRUE(Enabled(2011));
    ChooseMode(0);
    SendMessageW(m_dialog, WM_COMMAND, IDOK, 0);
    const AdapterRecord& a = saver.Adapter(0);
    EXPECT_EQ(a.leaveBlack, 0);
    EXPECT_EQ(a.userWidth, 0u);
    EXPECT_EQ(a.userHeight, 0u);
    EXPECT_EQ(a.userFormat, D3DFMT_UNKNOWN);
}

TEST_F(DisplayDialogTest, StoredModeTheAdapterLacksShowsAutomatic)
{
    DialogSaver saver(m_program, 1);
    saver.Adapter(0).userWidth = 1280;
    saver.Adapter(0).userHeight = 1024;
    saver.Adapter(0).userFormat = D3DFMT_X8R8G8B8;
    // One adapter: the dialog without tabs and usage radios shows display 1.
    Open(200);
    EXPECT_EQ(GetDlgItem(m_dialog, 2000), nullptr);
    EXPECT_EQ(Text(2002), L"First adapter");
    EXPECT_EQ(Modes().size(), 4u);
    EXPECT_EQ(SelectedMode(), 0);
    EXPECT_TRUE(Enabled(2011));
    ChooseMode(1);
    EXPECT_EQ(saver.Adapter(0).userWidth, 640u);
    Click(2005, true);
    EXPECT_EQ(saver.Adapter(0).disableHardware, 1);
    // Without hardware and software the mode list is of no use.
    saver.Adapter(0).softwareUsable = false;
    Click(2005, true);
    EXPECT_EQ(Text(2003), ProgramString(2212));
    EXPECT_FALSE(Enabled(2011));
}

// The display-settings dialog: per display the usage, the hardware switch and the display mode,
// edited in the adapter records and undone on Cancel.
#include "host/CD3DScreensaver.h"

#include "host/DisplayTexts.h"

#include <commctrl.h>
#include <cwchar>

namespace {

const int kOneAdapterDialog = 200;
const int kSeveralAdaptersDialog = 201;

const int kTabs = 2000;
const int kTabCaptionFormat = 2001;
const int kAdapterText = 2002;
const int kRenderingText = 2003;
const int kHelpButton = 2004;
const int kDisableHardware = 2005;
const int kUsageGroup = 2006;
const int kShowSaver = 2007;
const int kShowNothing = 2008;
const int kModeGroup = 2009;
const int kModeLabel = 2010;
const int kModeList = 2011;
const int kAutomaticText = 2012;
const int kModeNote = 2013;
const int kReverseOrder = 2015;
const int kModeTextFormat = 2016;

DisplayAbilities AbilitiesOf(const AdapterRecord* adapter)
{
    DisplayAbilities a = {};
    if (adapter) {
        a.hardwarePresent = adapter->hardwarePresent;
        a.hardwareUsable = adapter->hardwareUsable;
        a.hardwareDisabled = adapter->disableHardware != 0;
        a.softwarePresent = adapter->softwarePresent;
        a.softwareUsable = adapter->softwareUsable;
    }
    return a;
}

void EnableControl(HWND dialog, int id, bool enable)
{
    // Dialog 200 lacks some controls; a missing one is simply skipped.
    if (HWND control = GetDlgItem(dialog, id))
        EnableWindow(control, enable ? TRUE : FALSE);
}

void EnableModeControls(HWND dialog, bool enable)
{
    for (int id : {kModeList, kModeLabel, kModeGroup, kModeNote})
        EnableControl(dialog, id, enable);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

unsigned ColourBits(D3DFORMAT format)
{
    return (format == D3DFMT_R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8)
               ? 32
               : 16;
}

// The device record whose modes the dialog lists, or null when the adapter has none.
const DeviceRecord* ChosenDeviceRecord(const AdapterRecord& adapter)
{
    if (adapter.chosenDevice >= adapter.deviceCount || adapter.chosenDevice >= kMaxDeviceRecords)
        return nullptr;
    return &adapter.devices[adapter.chosenDevice];
}

}  // namespace

INT_PTR CALLBACK DisplayDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CurrentSaver)
        return FALSE;
    try {
        return CurrentSaver->HandleDisplayDialog(dialog, message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's dialog code.
        return FALSE;
    }
}

void CD3DScreensaver::ShowDisplayDialog(HWND parent)
{
    const int id = (m_adapterCount < 2 || m_oneScreenOnly) ? kOneAdapterDialog
                                                           : kSeveralAdaptersDialog;
    DialogBoxParamW(m_instance ? m_instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                    parent, DisplayDialogProc, 0);
}

int CD3DScreensaver::SelectedDisplay(HWND dialog, bool filling) const
{
    HWND tabs = GetDlgItem(dialog, kTabs);
    if (!tabs)
        return 0;
    const LRESULT selected = SendMessageW(tabs, filling ? TCM_GETCURFOCUS : TCM_GETCURSEL, 0, 0);
    return selected < 0 ? 0 : static_cast<int>(selected);
}

AdapterRecord* CD3DScreensaver::DisplayAdapter(int display) const
{
    if (display < 0 || display >= m_monitorCount)
        return nullptr;
    const int a = m_monitors[display].adapter;
    if (a < 0 || a >= m_adapterCount)
        return nullptr;
    return m_adapters[a];
}

INT_PTR CD3DScreensaver::HandleDisplayDialog(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        if (HWND tabs = GetDlgItem(dialog, kTabs)) {
            wchar_t format[101] = {};
            GetDlgItemTextW(dialog, kTabCaptionFormat, format, 101);
            for (int d = 0; d < m_monitorCount; ++d) {
                wchar_t caption[200] = {};
                std::swprintf(caption, 200, format, d + 1);
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = caption;
                SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(d),
                             reinterpret_cast<LPARAM>(&item));
            }
        }
        m_savedAdapters.clear();
        for (int a = 0; a < m_adapterCount; ++a)
            m_savedAdapters.push_back(*m_adapters[a]);
        m_savedAllScreensSame = m_allScreensSame;
        FillDisplayPage(dialog);
        CheckDlgButton(dialog, kReverseOrder, m_allScreensSame ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->idFrom == kTabs && header->code == TCN_SELCHANGE)
            FillDisplayPage(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        break;
    default:
        return FALSE;
    }

    const int display = SelectedDisplay(dialog, false);
    AdapterRecord* adapter = DisplayAdapter(display);
    switch (LOWORD(wParam)) {
    case IDOK:
        m_savedAdapters.clear();
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        for (size_t a = 0; a < m_savedAdapters.size() && a < static_cast<size_t>(m_adapterCount);
             ++a)
            *m_adapters[a] = m_savedAdapters[a];
        m_allScreensSame = m_savedAllScreensSame;
        m_savedAdapters.clear();
        EndDialog(dialog, IDCANCEL);
        break;
    case kHelpButton: {
        const bool known = display < m_monitorCount && m_monitors[display].monitor && adapter;
        const int id = HelpTextId(known, AbilitiesOf(adapter));
        wchar_t text[501] = {};
        LoadStringW(m_instance ? m_instance : GetModuleHandleW(nullptr), id, text, 501);
        const wchar_t* caption =
            display < m_monitorCount ? m_monitors[display].adapterDescription : L"";
        MessageBoxW(dialog, text, caption, MB_ICONINFORMATION);
        break;
    }
    case kDisableHardware:
        if (adapter)
            adapter->disableHardware = Checked(dialog, kDisableHardware) ? 1 : 0;
        FillDisplayPage(dialog);
        break;
    case kShowSaver:
    case kShowNothing: {
        const bool nothing = Checked(dialog, kShowNothing);
        if (adapter)
            adapter->leaveBlack = nothing ? 1 : 0;
        EnableModeControls(dialog, !nothing);
        break;
    }
    case kModeList: {
        if (HIWORD(wParam) != CBN_SELCHANGE || !adapter)
            break;
        const LRESULT selected = SendDlgItemMessageW(dialog, kModeList, CB_GETCURSEL, 0, 0);
        if (selected == CB_ERR)
            break;
        if (selected == 0) {
            adapter->userWidth = 0;
            adapter->userHeight = 0;
            adapter->userFormat = D3DFMT_UNKNOWN;
            break;
        }
        const LRESULT entry =
            SendDlgItemMessageW(dialog, kModeList, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
        const DeviceRecord* record = ChosenDeviceRecord(*adapter);
        if (!record || entry < 0 || static_cast<unsigned>(entry) >= record->modeCount)
            break;
        const DisplayModeEntry& mode = record->modes[entry];
        adapter->userWidth = mode.width;
        adapter->userHeight = mode.height;
        adapter->userFormat = mode.format;
        break;
    }
    case kReverseOrder:
        m_allScreensSame = Checked(dialog, kReverseOrder) ? 1 : 0;
        break;
    }
    return TRUE;
}

void CD3DScreensaver::FillDisplayPage(HWND dialog)
{
    const int display = SelectedDisplay(dialog, true);
    const AdapterRecord* adapter = DisplayAdapter(display);
    SetDlgItemTextW(dialog, kAdapterText,
                    display < m_monitorCount ? m_monitors[display].adapterDescription : L"");

    const DisplayAbilities abilities = AbilitiesOf(adapter);
    const HINSTANCE module = m_instance ? m_instance : GetModuleHandleW(nullptr);
    wchar_t text[201] = {};
    LoadStringW(module, RenderingTextId(adapter != nullptr, abilities), text, 201);
    SetDlgItemTextW(dialog, kRenderingText, text);

    const bool hardwareSwitchable = abilities.hardwarePresent && abilities.hardwareUsable;
    EnableControl(dialog, kDisableHardware, hardwareSwitchable);
    CheckDlgButton(dialog, kDisableHardware,
                   hardwareSwitchable && abilities.hardwareDisabled ? BST_CHECKED : BST_UNCHECKED);

    const bool canRender = adapter && CanRender(abilities);
    for (int id : {kShowSaver, kShowNothing, kUsageGroup})
        EnableControl(dialog, id, canRender);
    const bool nothing = !canRender || adapter->leaveBlack != 0;
    CheckRadioButton(dialog, kShowSaver, kShowNothing, nothing ? kShowNothing : kShowSaver);
    // Dialog 200 has no usage radios: there only the display's ability decides.
    const bool hasRadios = GetDlgItem(dialog, kShowNothing) != nullptr;
    EnableModeControls(dialog, hasRadios ? !nothing : canRender);

    HWND modes = GetDlgItem(dialog, kModeList);
    if (!modes)
        return;
    SendMessageW(modes, CB_RESETCONTENT, 0, 0);
    if (!adapter)
        return;
    wchar_t automatic[100] = {};
    GetDlgItemTextW(dialog, kAutomaticText, automatic, 100);
    LRESULT item = SendMessageW(modes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(automatic));
    SendMessageW(modes, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(-1));
    int selected = 0;
    if (const DeviceRecord* record = ChosenDeviceRecord(*adapter)) {
        wchar_t format[100] = {};
        GetDlgItemTextW(dialog, kModeTextFormat, format, 100);
        for (unsigned m = 0; m < record->modeCount && m < kMaxModeEntries; ++m) {
            const DisplayModeEntry& mode = record->modes[m];
            wchar_t entry[200] = {};
            std::swprintf(entry, 200, format, static_cast<int>(mode.width),
                          static_cast<int>(mode.height), static_cast<int>(ColourBits(mode.format)));
            item = SendMessageW(modes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
            SendMessageW(modes, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(m));
            if (selected == 0 && mode.width == adapter->userWidth &&
                mode.height == adapter->userHeight && mode.format == adapter->userFormat)
                selected = static_cast<int>(item);
        }
    }
    SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

#include "host/SettingsDialogs.h"

#include "host/SettingsValues.h"

#include <commctrl.h>

#include <algorithm>

const wchar_t kMakerWebsite[] = L"https://www.quellmark.com/glimmerkit/";

SoundDialogValuesRecord SoundDialogValues;

namespace {

void ShowSoundValues(HWND dialog)
{
    ReadSoundVolume(&SoundDialogValues.volume);
    ReadMuteSound(&SoundDialogValues.mute);
    HWND trackbar = GetDlgItem(dialog, kVolumeTrackbar);
    SendMessageW(trackbar, TBM_SETTICFREQ, 10, 0);
    SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    // The trackbar is vertical with its minimum at the top, where the loudest setting belongs.
    SendMessageW(trackbar, TBM_SETPOS, TRUE, 100 - SoundDialogValues.volume);
    SendDlgItemMessageW(dialog, kMuteCheckBox, BM_SETCHECK,
                        SoundDialogValues.mute ? BST_CHECKED : BST_UNCHECKED, 0);
}

void StoreSoundValues(HWND dialog)
{
    int position = static_cast<int>(SendDlgItemMessageW(dialog, kVolumeTrackbar, TBM_GETPOS, 0, 0));
    SoundDialogValues.volume = std::clamp(100 - position, 0, 100);
    SoundDialogValues.mute =
        SendDlgItemMessageW(dialog, kMuteCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    WriteRegistryValue(SoundDialogValues.volume, kSoundVolumeValue);
    WriteRegistryValue(SoundDialogValues.mute, kMuteSoundValue);
}

}  // namespace

INT_PTR HandleSoundDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowSoundValues(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            StoreSoundValues(dialog);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

void FillPicturePositionList(HWND dialog)
{
    const wchar_t* const kPositions[] = {L"Stretch", L"Fit", L"Fill"};
    for (const wchar_t* position : kPositions)
        SendDlgItemMessageW(dialog, kPicturePositionList, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(position));
    SendDlgItemMessageW(dialog, kPicturePositionList, CB_SETCURSEL, GetPicturePosition(), 0);
}

void StorePicturePositionSelection(HWND dialog)
{
    // CB_ERR (-1) when nothing is selected: SetPicturePosition leaves the old value.
    SetPicturePosition(
        static_cast<int>(SendDlgItemMessageW(dialog, kPicturePositionList, CB_GETCURSEL, 0, 0)));
}

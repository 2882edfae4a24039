#pragma once
// What the configuration dialog (106) and the sound dialog (2214) do with the stored settings.
// The application's dialog procedures forward to these.
#include <windows.h>

// Control ids of the two dialogs.
enum SettingsDialogControl {
    kDisplaySettingsButton = 1006,
    kSoundSettingsButton = 1007,
    kWebsiteButton = 1017,
    kVolumeTrackbar = 1021,
    kMuteCheckBox = 1022,
    kPicturePositionList = 1023,
};

extern const wchar_t kMakerWebsite[];

// The sound dialog's procedure: shows the stored volume and mute, stores them on OK.
INT_PTR HandleSoundDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The values the sound dialog showed last; a value missing from the registry keeps them, so the
// first dialog of a process shows these defaults.
struct SoundDialogValuesRecord {
    int volume = 100;
    int mute = 0;
};
extern SoundDialogValuesRecord SoundDialogValues;

// The picture-position list of the configuration dialog: filled with the three positions and
// the stored one selected; on OK its selection is stored (no selection keeps the old value).
void FillPicturePositionList(HWND dialog);
void StorePicturePositionSelection(HWND dialog);

#pragma once
// Single values under the settings key (HKEY_CURRENT_USER, SettingsKeyPath). Every read goes
// into a variable that already holds the default, so a missing key or value keeps the default.

// Value names; the double quotes belong to the stored names.
extern const wchar_t kPicturePositionValue[];  // "PicPos"
extern const wchar_t kSoundVolumeValue[];      // "SoundVolume"
extern const wchar_t kMuteSoundValue[];        // "MuteSound"

// Takes only a 4-byte REG_DWORD; anything else (missing, another type or size) leaves the value
// as it was and answers false.
bool ReadRegistryValue(int* value, const wchar_t* name);
// Stores a REG_DWORD; failures are ignored.
void WriteRegistryValue(int value, const wchar_t* name);

// The volume, 0 to 100 (stored values outside are clamped), and the mute switch (not 0: on).
void ReadSoundVolume(int* volume);
void ReadMuteSound(int* mute);

// The picture position (0 Stretch, 1 Fit, 2 Fill), read once and then cached.
struct PicturePositionCacheRecord {
    int position = 2;
    bool read = false;
};
extern PicturePositionCacheRecord PicturePositionCache;

// The cached position; the first call reads it (Fill when nothing valid is stored).
int GetPicturePosition();
// Caches and stores a position of 0 to 2; any other value changes nothing.
void SetPicturePosition(int position);

#include "host/SettingsValues.h"

#include "host/RegistryKey.h"
#include "host/SettingsKeyPath.h"

#include <windows.h>

#include <algorithm>

const wchar_t kPicturePositionValue[] = L"\"PicPos\"";
const wchar_t kSoundVolumeValue[] = L"\"SoundVolume\"";
const wchar_t kMuteSoundValue[] = L"\"MuteSound\"";

PicturePositionCacheRecord PicturePositionCache;

namespace {

const int kFill = 2;

bool OpenSettingsKey(RegistryKey& key)
{
    // An empty path would open HKEY_CURRENT_USER itself and write the values at its top.
    if (SettingsKeyPath[0] == 0)
        return false;
    return key.Create(HKEY_CURRENT_USER, SettingsKeyPath);
}

bool IsPicturePosition(int position) { return position >= 0 && position <= kFill; }

}  // namespace

bool ReadRegistryValue(int* value, const wchar_t* name)
{
    RegistryKey key;
    if (!OpenSettingsKey(key))
        return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key.Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof(data))
        return false;
    *value = static_cast<int>(data);
    return true;
}

void WriteRegistryValue(int value, const wchar_t* name)
{
    RegistryKey key;
    if (OpenSettingsKey(key))
        key.WriteDword(name, static_cast<DWORD>(value));
}

void ReadSoundVolume(int* volume)
{
    int stored = *volume;
    if (ReadRegistryValue(&stored, kSoundVolumeValue))
        *volume = std::clamp(stored, 0, 100);
}

void ReadMuteSound(int* mute) { ReadRegistryValue(mute, kMuteSoundValue); }

int GetPicturePosition()
{
    if (!PicturePositionCache.read) {
        int position = kFill;
        ReadRegistryValue(&position, kPicturePositionValue);
        PicturePositionCache.position = IsPicturePosition(position) ? position : kFill;
        PicturePositionCache.read = true;
    }
    return PicturePositionCache.position;
}

void SetPicturePosition(int position)
{
    if (!IsPicturePosition(position))
        return;
    PicturePositionCache.read = true;
    PicturePositionCache.position = position;
    WriteRegistryValue(position, kPicturePositionValue);
}

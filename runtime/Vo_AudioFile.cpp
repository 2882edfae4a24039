#include "runtime/Vo_AudioFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/FileHandle.h"
#include "model/TempFiles.h"
#include "model/Vo_IOF_Virtual.h"

namespace {

enum class CopyResult { Made, InUse, Failed };

// True when the file at the path holds exactly these bytes. Read with others' readers allowed,
// so a copy that a music graph or another saver holds open is still compared.
bool HoldsBytes(const vo_string& path, const uint8_t* bytes, uint32_t size)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &length) || length.QuadPart != size)
        return false;
    std::vector<uint8_t> chunk(64 * 1024);
    uint32_t done = 0;
    while (done < size) {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(chunk.size(), size - done));
        if (!ReadFile(file.Get(), chunk.data(), wanted, &got, nullptr) || got == 0)
            return false;
        if (!std::equal(chunk.begin(), chunk.begin() + got, bytes + done))
            return false;
        done += got;
    }
    return true;
}

// Writes the bytes to a new file of that path, replacing an older one; a failed write leaves no
// file behind, so the music player never plays a cut track. Nobody else may open the file while
// it is written. A file that another holder keeps open (a saver playing it) is never replaced:
// that is InUse.
CopyResult WriteExclusively(const vo_string& path, const uint8_t* bytes, uint32_t size)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return GetLastError() == ERROR_SHARING_VIOLATION ? CopyResult::InUse : CopyResult::Failed;
    bool written = true;
    uint32_t done = 0;
    while (written && done < size) {
        DWORD wrote = 0;
        written = WriteFile(file.Get(), bytes + done, size - done, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    written = file.Close() && written;
    if (!written)
        DeleteFileW(path.c_str());
    return written ? CopyResult::Made : CopyResult::Failed;
}

// The name with a number before its extension: "song.mp3" and 2 give "song~2.mp3".
vo_string NumberedName(const vo_string& name, int number)
{
    const size_t dot = name.rfind(L'.');
    const size_t split = dot == vo_string::npos ? name.size() : dot;
    return name.substr(0, split) + L"~" + std::to_wstring(number) + name.substr(split);
}

// A copy of the bytes in the folder under the name: one that already holds them is used as it
// is (another scene host or saver of the same scene made it and may be playing it); one that
// holds other bytes is replaced, unless it is in use, when the next numbered name is tried.
// Empty when no copy could be made.
vo_string CopyInFolder(const vo_string& folder, const vo_string& name, const uint8_t* bytes,
                       uint32_t size)
{
    const int kNamesToTry = 8;
    for (int attempt = 1; attempt <= kNamesToTry; ++attempt) {
        const vo_string target = folder + (attempt == 1 ? name : NumberedName(name, attempt));
        if (HoldsBytes(target, bytes, size))
            return target;
        switch (WriteExclusively(target, bytes, size)) {
        case CopyResult::Made:
            return target;
        case CopyResult::Failed:
            return vo_string();
        case CopyResult::InUse:
            break;
        }
    }
    return vo_string();
}

// A folder is no track: a stored path such as "C:\\Music\\.." exists but cannot play.
bool IsExistingFile(const vo_string& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void Vo_AudioFile::ExtractAudioFileToTemp()
{
    if (m_data.Size() == 0)
        return;
    const vo_string& stored = m_data.Name();
    if (IsExistingFile(stored)) {
        m_data.SetData(0, nullptr);
        return;
    }
    const vo_string name = GetTempFileNameOf(stored);
    const vo_string folder = GetTempFolder();
    const vo_string copy = (name.empty() || folder.empty())
                               ? vo_string()
                               : CopyInFolder(folder, name, m_data.Data(), m_data.Size());
    // The track plays the copy or nothing; either way the bytes are no longer needed.
    m_data.SetName(copy);
    m_data.SetData(0, nullptr);
}

std::unique_ptr<Vo_AudioFile> ReadAudioFileRecord(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    std::unique_ptr<Vo_AudioFile> track(new Vo_AudioFile());
    stream.ReadString(track->Label());
    stream.ReadDataBuffer(track->Data());
    return track;
}

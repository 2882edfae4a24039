#include "runtime/Vo_AudioFile.h"

#include <windows.h>

#include "model/TempFiles.h"
#include "model/Vo_IOF_Virtual.h"

namespace {

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
    const vo_string target = (name.empty() || folder.empty()) ? vo_string() : folder + name;
    const bool written = !target.empty() && WriteWholeFile(target, m_data.Data(), m_data.Size());
    // The track plays the copy or nothing; either way the bytes are no longer needed.
    m_data.SetName(written ? target : vo_string());
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

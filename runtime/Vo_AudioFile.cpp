#include "runtime/Vo_AudioFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "model/FileNameParts.h"
#include "model/Vo_IOF_Virtual.h"

namespace {

// Closes a file handle on every way out of the write.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    // Closing can report a failed flush of buffered data, so the result counts for the write.
    bool Close()
    {
        if (!IsValid())
            return true;
        const BOOL closed = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE m_handle;
};

// The temporary folder, ending in a backslash; empty when the system gives none. Asked for its
// length first, so a long folder path is never cut.
vo_string TempFolder()
{
    const DWORD needed = GetTempPathW(0, nullptr);
    if (needed == 0)
        return vo_string();
    std::vector<wchar_t> text(needed + 1);
    const DWORD length = GetTempPathW(static_cast<DWORD>(text.size()), text.data());
    if (length == 0 || length >= text.size())
        return vo_string();
    vo_string folder(text.data(), length);
    if (folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder;
}

// The stored file name, taken after the last backslash or slash (documents made on other
// systems store either), or empty when that name could name anything but a plain file in the
// temporary folder. A path without a separator is a bare file name.
vo_string TempFileNameOf(const vo_string& path)
{
    vo_string separated = L"\\" + path;
    std::replace(separated.begin(), separated.end(), L'/', L'\\');
    return GetSafeTempFileName(separated);
}

// Writes the bytes to a new file of that path, replacing an older one; a failed write leaves no
// file behind, so the music player never plays a cut track.
bool WriteWholeFile(const vo_string& path, const uint8_t* bytes, uint32_t size)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
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
    return written;
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
    const vo_string name = TempFileNameOf(stored);
    const vo_string folder = TempFolder();
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

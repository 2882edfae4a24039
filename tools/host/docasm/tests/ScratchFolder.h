#pragma once
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// A fresh folder under the system's temporary folder for listings and data files, removed with
// the object.
class ScratchFolder {
public:
    ScratchFolder()
    {
        static int s_counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("docasm-test-" + std::to_string(getpid()) + "-" + std::to_string(++s_counter));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    std::filesystem::path Write(const std::string& relative, const std::string& contents) const
    {
        const std::filesystem::path file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
        return file;
    }

private:
    std::filesystem::path m_path;
};

#pragma once
#include <string>

// Gives the test process a temporary folder of its own for as long as it lives: a subfolder of
// the shared one, named after the process, is made and named in TMP and TEMP (where
// GetTempPathW looks first), and on the way out the variables are put back and the folder is
// removed with whatever it still holds. Test processes that run side by side and write files
// under the same names (music track copies named by their document) then never meet.
class OwnTempFolder {
public:
    explicit OwnTempFolder(const wchar_t* prefix);
    ~OwnTempFolder();
    OwnTempFolder(const OwnTempFolder&) = delete;
    OwnTempFolder& operator=(const OwnTempFolder&) = delete;

    // False when the folder could not be made; the shared folder is then still in use.
    bool Made() const { return m_made; }
    // With a trailing backslash, as GetTempPathW gives it.
    const std::wstring& Path() const { return m_path; }

private:
    struct SavedVariable {
        const wchar_t* name;
        bool present;
        std::wstring value;
    };

    std::wstring m_path;
    bool m_made = false;
    SavedVariable m_saved[2];
};

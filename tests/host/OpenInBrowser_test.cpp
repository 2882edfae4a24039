#include "host/OpenInBrowser.h"

#include "support/TestPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const wchar_t kCommandKey[] = L"http\\shell\\open\\command";

std::vector<BYTE> ReadDefault(bool* present)
{
    DWORD bytes = 0;
    *present = RegGetValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr,
                            nullptr, &bytes) == ERROR_SUCCESS;
    std::vector<BYTE> data(bytes);
    if (*present)
        RegGetValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, data.data(),
                     &bytes);
    return data;
}

void WriteDefault(const std::wstring& command)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// Registers the recorder as the browser for the test and puts the machine's command back.
class OpenInBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = ReadDefault(&m_hadCommand);
        m_output = std::wstring(UnixToWindowsPath(std::string(VO_BINARY_DIR))) +
                   L"\\browser-recorder.txt";
        DeleteFileW(m_output.c_str());
    }
    void TearDown() override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            if (m_hadCommand)
                RegSetValueExW(key, nullptr, 0, REG_SZ, m_saved.data(),
                               static_cast<DWORD>(m_saved.size()));
            else
                RegDeleteValueW(key, nullptr);
            RegCloseKey(key);
        }
        DeleteFileW(m_output.c_str());
    }
    std::wstring Recorder() const
    {
        return L"\"" + BuiltProgramPath(L"tests\\command_recorder.exe") + L"\" \"" + m_output +
               L"\"";
    }
    // The lines the recorder wrote; the deadline only keeps a lost process from hanging the run.
    std::vector<std::string> RecordedArguments() const
    {
        const DWORD deadline = GetTickCount() + 20000;
        while (GetFileAttributesW(m_output.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (static_cast<int>(GetTickCount() - deadline) > 0)
                return {"(nothing recorded)"};
            Sleep(20);
        }
        std::ifstream file(std::string(m_output.begin(), m_output.end()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }

    std::vector<BYTE> m_saved;
    bool m_hadCommand = false;
    std::wstring m_output;
};

}  // namespace

// One test for every case: the registered command is machine-wide, so the cases must not run
// in parallel processes.
TEST_F(OpenInBrowserTest, StartsTheRegisteredCommandWithTheAddressOrNothing)
{
    // Far beyond the 260 characters a fixed buffer would hold, within what a process accepts.
    const std::string longArgument(3000, 'x');
    const std::string longAddress = "https://example.org/" + std::string(2000, 'y');
    struct Case {
        const char* name;
        std::string arguments;  // after the recorder and its output file
        std::string address;
        std::vector<std::string> recorded;
    };
    const Case cases[] = {
        {"quoted placeholder", " -first \"%1\" -last", "https://example.org/a b",
         {"-first", "https://example.org/a b", "-last"}},
        {"no placeholder: appended after a blank", " -new", "https://example.org/",
         {"-new", "https://example.org/"}},
        {"long command and address", " " + longArgument + " \"%1\"", longAddress,
         {longArgument, longAddress}},
    };
    for (const Case& c : cases) {
        DeleteFileW(m_output.c_str());
        WriteDefault(Recorder() + std::wstring(c.arguments.begin(), c.arguments.end()));
        const std::wstring address(c.address.begin(), c.address.end());
        ASSERT_TRUE(OpenInBrowser(address.c_str())) << c.name;
        EXPECT_EQ(RecordedArguments(), c.recorded) << c.name;
    }

    WriteDefault(L"\"Z:\\nonexistent\\browser.exe\" \"%1\"");
    EXPECT_FALSE(OpenInBrowser(L"https://example.org/"));
    WriteDefault(L"");
    EXPECT_FALSE(OpenInBrowser(L"https://example.org/"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegDeleteValueW(key, nullptr);
    RegCloseKey(key);
    EXPECT_FALSE(OpenInBrowser(L"https://example.org/"));
}

#include "host/CD3DScreensaver.h"
#include "host/ErrorText.h"
#include "host/SaverErrors.h"

#include "support/SaverAsDataFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CodeCase {
    HRESULT code;
    UINT entry;
    const wchar_t* text;
};

// The texts as the program's string table holds them, double blanks included.
const CodeCase kCodes[] = {
    {E_FAIL, 2100, L"There was an unspecified problem with this screen saver."},
    {kErrNoDirect3D, 2101,
     L"Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX."},
    {kErrInitFailed, 2102, L"Could not initialize the screen saver."},
    {kErrCreateDevice, 2103, L"Could not create the Direct3D device."},
    {kErrNoCompatibleDevice, 2104, L"Could not find any compatible Direct3D devices."},
    {kErrNoHardwareDevice, 2105, L"No hardware-accelerated Direct3D devices were found."},
    {kErrMissingHardware, 2106,
     L"This screen saver requires functionality that is not available on your Direct3D "
     L"hardware accelerator."},
    {kErrMissingHardwareAtDesktop, 2107,
     L"This screen saver requires functionality that is not available on your Direct3D "
     L"hardware accelerator with the current desktop display settings."},
    {kErrMedia, 2108, L"Could not load required media."},
    {kErrReset, 2109, L"Could not reset the Direct3D device."},
    {E_OUTOFMEMORY, 2110, L"Not enough memory."},
    {static_cast<HRESULT>(0x8876017C), 2111, L"Not enough video memory."},
    {kErrNoPreview, 2112, L"No preview available"},
    // Codes without an entry of their own.
    {S_OK, 2100, nullptr},
    {kErrDeviceResources, 2100, nullptr},
    {static_cast<HRESULT>(0x82000002), 2100, nullptr},
    {static_cast<HRESULT>(0x88760868), 2100, nullptr},
};

// A saver whose texts come from the built program's resources.
class ProgramTextSaver : public CD3DScreensaver {
public:
    explicit ProgramTextSaver(HINSTANCE resources) { m_instance = resources; }
};

class ErrorTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_program = m_saver.Module();
        ASSERT_NE(m_program, nullptr);
    }
    SaverAsDataFile m_saver;
    HMODULE m_program = nullptr;
};

}  // namespace

TEST_F(ErrorTextTest, EveryCodeShowsItsEntry)
{
    ProgramTextSaver saver(m_program);
    const std::wstring general = kCodes[0].text;
    for (const CodeCase& c : kCodes) {
        EXPECT_EQ(ErrorStringId(c.code), c.entry) << std::hex << c.code;
        wchar_t text[512] = {};
        const BOOL own = saver.GetErrorText(c.code, text, 512);
        EXPECT_EQ(own != FALSE, c.entry != 2100) << std::hex << c.code;
        EXPECT_EQ(std::wstring(text), c.text ? std::wstring(c.text) : general)
            << std::hex << c.code;
    }
}

TEST_F(ErrorTextTest, ShortBufferGetsATruncatedText)
{
    ProgramTextSaver saver(m_program);
    wchar_t text[8];
    std::fill(std::begin(text), std::end(text), L'#');
    saver.GetErrorText(kErrCreateDevice, text, 8);
    EXPECT_EQ(std::wstring(text), L"Could n");
}

TEST_F(ErrorTextTest, DisplayTextsAreInTheTable)
{
    wchar_t text[600] = {};
    ASSERT_GT(LoadStringW(m_program, 2210, text, 600), 0);
    EXPECT_EQ(std::wstring(text), L"The screen saver can use hardware 3D rendering on this monitor.");
    ASSERT_GT(LoadStringW(m_program, 2201, text, 600), 0);
    EXPECT_EQ(std::wstring(text),
              L"This video adapter supports hardware 3D rendering, but this screensaver requires "
              L"functionality not available in hardware.  A software renderer will be used "
              L"instead.  This screen saver can be displayed on this monitor.");
    for (UINT id = 2200; id <= 2212; ++id)
        EXPECT_GT(LoadStringW(m_program, id, text, 600), 0) << id;
    EXPECT_GT(LoadStringW(m_program, 1000, text, 600), 0);
}

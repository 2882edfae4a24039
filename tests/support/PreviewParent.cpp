#include "support/PreviewParent.h"

#include <cstdint>
#include <cwchar>

#include "support/SaverWindows.h"
#include "support/TestPaths.h"

PreviewParent::PreviewParent()
{
    if (!m_program.Start(BuiltProgramPath(L"tests\\preview_parent.exe"), L""))
        return;
    wchar_t title[64];
    std::swprintf(title, 64, L"preview parent %lu", m_program.ProcessId());
    WaitFor([&] { return (m_window = FindWindowW(L"PreviewParent", title)) != nullptr; });
}

// The window may still be open when a test failed before closing it.
PreviewParent::~PreviewParent()
{
    if (m_window && IsWindow(m_window))
        PostMessageW(m_window, WM_APP, 0, 0);
    m_program.Wait(kRunTimeoutMs);
}

std::wstring PreviewParent::PreviewMode() const
{
    return L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(m_window) & 0xFFFFFFFF);
}

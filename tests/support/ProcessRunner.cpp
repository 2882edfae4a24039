#include "ProcessRunner.h"

#include <windows.h>

#include <vector>

ProcessRunner::~ProcessRunner()
{
    Kill();
    if (m_outputRead)
        CloseHandle(m_outputRead);
    if (m_process)
        CloseHandle(m_process);
}

bool ProcessRunner::Start(const std::wstring& program, const std::wstring& arguments)
{
    if (m_process)
        return false;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    // CreateProcessW may write into the command line, so it gets a private copy.
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(0);
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_processId = pi.dwProcessId;
    m_outputRead = readEnd;
    return true;
}

void ProcessRunner::DrainOutput(std::string& into)
{
    if (!m_outputRead)
        return;
    DWORD available = 0;
    while (PeekNamedPipe(m_outputRead, nullptr, 0, nullptr, &available, nullptr) && available) {
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(m_outputRead, buffer, sizeof(buffer), &got, nullptr) || got == 0)
            break;
        into.append(buffer, got);
    }
}

ProcessResult ProcessRunner::Wait(unsigned timeoutMs)
{
    ProcessResult result;
    if (!m_process)
        return result;
    result.started = true;
    const DWORD start = GetTickCount();
    for (;;) {
        DrainOutput(m_output);
        DWORD waited = WaitForSingleObject(m_process, 20);
        if (waited == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - start >= timeoutMs) {
            result.timedOut = true;
            Kill();
            break;
        }
    }
    DrainOutput(m_output);
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    result.exitCode = code;
    result.output = m_output;
    return result;
}

ProcessResult ProcessRunner::Run(const std::wstring& program, const std::wstring& arguments,
                                 unsigned timeoutMs)
{
    ProcessRunner runner;
    if (!runner.Start(program, arguments))
        return ProcessResult();
    return runner.Wait(timeoutMs);
}

bool ProcessRunner::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void ProcessRunner::Kill()
{
    if (Running()) {
        TerminateProcess(m_process, 0xDEAD);
        WaitForSingleObject(m_process, 5000);
    }
}

static std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string HostPath(const std::string& windowsPath)
{
    std::string path = windowsPath;
    if (path.size() > 2 && path[1] == ':') {
        path = path.substr(2);
        for (char& c : path)
            if (c == '\\')
                c = '/';
    }
    return path;
}

bool TakeScreenshot(const std::string& pngPath)
{
    // Wine hands a Unix program given to CreateProcess to the host system without a process
    // handle to wait on, so the shell writes under a temporary name and renames when import is
    // done; the file appearing under its real name means the picture is complete. ImageMagick's
    // import reads the X root window, which is what a person would see on the display.
    const std::string unixPath = HostPath(pngPath);
    DeleteFileA(pngPath.c_str());
    const std::wstring target = Widen(unixPath);
    const std::wstring partial = target + L".part.png";
    ProcessRunner::Run(L"Z:\\bin\\sh", L"-c \"import -window root '" + partial + L"' && mv '" +
                                              partial + L"' '" + target + L"'\"",
                       30000);
    for (int waited = 0; waited < 30000; waited += 100) {
        if (GetFileAttributesA(pngPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(100);
    }
    return false;
}

bool RunHostCommand(const std::string& command, const std::string& outputPath, unsigned timeoutMs)
{
    // As for the screenshot: the output appears under its real name only once it is complete.
    const std::string unixPath = HostPath(outputPath);
    DeleteFileA(outputPath.c_str());
    const std::wstring target = Widen(unixPath);
    const std::wstring partial = target + L".part";
    ProcessRunner::Run(L"Z:\\bin\\sh", L"-c \"(" + Widen(command) + L") > '" + partial +
                                              L"'; mv '" + partial + L"' '" + target + L"'\"",
                       timeoutMs);
    for (unsigned waited = 0; waited < timeoutMs; waited += 100) {
        if (GetFileAttributesA(outputPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(100);
    }
    return false;
}

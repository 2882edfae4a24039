#pragma once
#include <string>

// Starts a Windows program (under Wine when the tests run there), waits with a timeout and
// collects what it wrote. It only ever ends the process it started, through its own handle.
struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    unsigned long exitCode = 0;
    std::string output;  // standard output and standard error, interleaved
};

class ProcessRunner {
public:
    ProcessRunner() = default;
    ~ProcessRunner();
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;

    // Starts the program; false when it could not be started.
    bool Start(const std::wstring& program, const std::wstring& arguments);
    // Waits until the program ends or the timeout passes; a timed-out program is killed.
    ProcessResult Wait(unsigned timeoutMs);
    // Starts, waits and kills on timeout in one call.
    static ProcessResult Run(const std::wstring& program, const std::wstring& arguments,
                             unsigned timeoutMs);

    bool Running() const;
    unsigned long ProcessId() const { return m_processId; }
    void Kill();

private:
    void DrainOutput(std::string& into);

    void* m_process = nullptr;
    void* m_outputRead = nullptr;
    unsigned long m_processId = 0;
    std::string m_output;
};

// Saves what the X display shows as a PNG (through ImageMagick's import when the tests run under
// Wine). Returns false when no screenshot could be taken.
bool TakeScreenshot(const std::string& pngPath);

// A path on drive Z: as the host system names it (under Wine, the Unix path).
std::string HostPath(const std::string& windowsPath);

// Runs a command of the host system's shell (under Wine, the Unix shell) whose standard output
// becomes the file at outputPath (a Windows path), and waits until the file is complete. The
// command must not contain double quotes. Returns false when no file appeared in time.
bool RunHostCommand(const std::string& command, const std::string& outputPath, unsigned timeoutMs);

#include "support/ProcessRunner.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {
std::wstring Child() { return BuiltProgramPath(L"tests/child_program.exe"); }
}  // namespace

TEST(ProcessRunnerTest, ReturnsExitCodeAndOutput)
{
    ProcessResult r = ProcessRunner::Run(Child(), L"exit 7", 30000);
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 7u);
    EXPECT_NE(r.output.find("exit 7"), std::string::npos) << r.output;
}

TEST(ProcessRunnerTest, KillsAProgramThatOutlivesItsTimeout)
{
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Child(), L"sleep 60000"));
    EXPECT_TRUE(runner.Running());
    ProcessResult r = runner.Wait(500);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(runner.Running());
}

TEST(ProcessRunnerTest, MissingProgramIsNotStarted)
{
    ProcessResult r = ProcessRunner::Run(BuiltProgramPath(L"no-such-program.exe"), L"", 1000);
    EXPECT_FALSE(r.started);
}

TEST(ProcessRunnerTest, ScreenshotOfTheDisplayIsWritten)
{
    std::string path = TestArtifactsDir() + "\\runner-screenshot.png";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(TakeScreenshot(path));
}

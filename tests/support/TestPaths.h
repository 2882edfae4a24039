#pragma once
#include <string>

// The build folder is a Unix path; under Wine the Unix root is drive Z:.
std::wstring UnixToWindowsPath(const std::string& unixPath);

// Full path of a program built in the build folder (the saver, helper programs).
std::wstring BuiltProgramPath(const std::wstring& relativeToBuildDir);

// The folder where tests leave images and files for a person to look at; created on demand.
std::string TestArtifactsDir();

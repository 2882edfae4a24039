#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The build folder is a Unix path; under Wine the Unix root is drive Z:.
std::wstring UnixToWindowsPath(const std::string& unixPath);

// Full path of a program built in the build folder (the saver, helper programs).
std::wstring BuiltProgramPath(const std::wstring& relativeToBuildDir);

// The folder where tests leave images and files for a person to look at; created on demand.
std::string TestArtifactsDir();

// The bytes of a file (a Windows path); empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::wstring& path);

// The bytes of a file in the build folder; empty when it is missing.
std::vector<uint8_t> ReadBuiltFile(const std::wstring& relativeToBuildDir);
// A test document assembled from tests/<folder>/documents/<stem>.lst, by its file name <stem>.bin.
std::vector<uint8_t> AssembledTestDocument(const std::wstring& name);

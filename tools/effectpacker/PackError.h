#pragma once
#include <stdexcept>
#include <string>

// A fault in an effect's sources, reported as "file:line: message" (line 0: the file as a whole)
// so build logs point at the line to fix.
class PackError : public std::runtime_error {
public:
    PackError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(Format(file, line, message)) {}

private:
    static std::string Format(const std::string& file, int line, const std::string& message)
    {
        if (line > 0)
            return file + ":" + std::to_string(line) + ": " + message;
        return file + ": " + message;
    }
};

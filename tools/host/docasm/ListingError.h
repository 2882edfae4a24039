#pragma once
#include <stdexcept>
#include <string>

// A fault in a listing, with the file and line it was found at; what() reads "file:line: message"
// like a compiler's diagnostics, so editors can jump to it. Line 0 stands for the whole file.
class ListingError : public std::runtime_error {
public:
    ListingError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(line > 0 ? file + ":" + std::to_string(line) + ": " + message
                                     : file + ": " + message),
          m_file(file), m_line(line), m_message(message)
    {
    }

    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::string& Message() const { return m_message; }

private:
    std::string m_file;
    int m_line;
    std::string m_message;
};

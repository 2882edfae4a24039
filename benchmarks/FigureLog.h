#pragma once
#include <cstdint>
#include <string>

// The benchmark's output: one figure per line as "name value unit", and notes as lines that
// start with "#", so that a script can keep the figures and drop the notes.
class FigureLog {
public:
    static void Figure(const std::string& name, double value, const std::string& unit);
    static void Count(const std::string& name, int64_t value, const std::string& unit);
    static void Note(const std::string& text);
};

#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads a written effect binary back, independently of the writer, and checks every offset,
// count, object id and name reference. Wine's effect loader checks none of these: a bad offset
// corrupts memory instead of failing the load. Throws PackError naming `file`.
void CheckEffectBinary(const std::vector<uint8_t>& bytes, const std::string& file);

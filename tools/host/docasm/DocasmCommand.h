#pragma once
#include <ostream>
#include <string>
#include <vector>

// The command line of the document assembler:
//   docasm [--depfile <file>] -o <output> <listing>
// Writes the archive bytes of the listing to output and, when asked, a make-style dependency
// file naming every listing and data file read. On any fault it prints "file:line: message" to
// err, leaves no output or dependency file behind and returns non-zero.
int RunDocasm(const std::vector<std::string>& args, std::ostream& err);

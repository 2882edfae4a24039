#include "DocasmCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ListingAssembler.h"
#include "ListingError.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] = "usage: docasm [--depfile <file>] -o <output> <listing>\n";

// Make syntax: spaces and '#' are escaped with a backslash, '$' is doubled.
std::string MakeEscaped(const std::string& path)
{
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#')
            escaped += '\\';
        if (c == '$')
            escaped += '$';
        escaped += c;
    }
    return escaped;
}

// Writes beside the destination, then renames, so a reader (or make after a crash) never sees a
// half-written file under the final name.
bool WriteFileAtomically(const fs::path& destination, const std::string& contents, std::string& error)
{
    std::error_code ec;
    if (destination.has_parent_path())
        fs::create_directories(destination.parent_path(), ec);
    const fs::path temporary = destination.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, ec);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    fs::rename(temporary, destination, ec);
    if (ec) {
        fs::remove(temporary, ec);
        error = "cannot write " + destination.string();
        return false;
    }
    return true;
}

} // namespace

int RunDocasm(const std::vector<std::string>& args, std::ostream& err)
{
    std::string output;
    std::string depfile;
    std::string listing;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-o" || args[i] == "--depfile") && i + 1 < args.size()) {
            (args[i] == "-o" ? output : depfile) = args[i + 1];
            ++i;
        } else if (!args[i].empty() && args[i][0] == '-') {
            err << "docasm: unknown option " << args[i] << "\n" << kUsage;
            return 2;
        } else if (listing.empty()) {
            listing = args[i];
        } else {
            err << "docasm: more than one listing given\n" << kUsage;
            return 2;
        }
    }
    if (output.empty() || listing.empty()) {
        err << kUsage;
        return 2;
    }

    ListingAssembler assembler;
    try {
        assembler.AssembleFile(listing);
    } catch (const ListingError& e) {
        err << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        // File-system faults and sizes beyond the format's 32-bit counts.
        err << listing << ": " << e.what() << "\n";
        return 1;
    }

    const std::vector<uint8_t>& bytes = assembler.Bytes();
    std::string error;
    if (!WriteFileAtomically(output, std::string(bytes.begin(), bytes.end()), error)) {
        err << "docasm: " << error << "\n";
        return 1;
    }
    if (!depfile.empty()) {
        std::string rule = MakeEscaped(fs::absolute(output).lexically_normal().string()) + ":";
        std::vector<fs::path> dependencies = assembler.Dependencies();
        std::sort(dependencies.begin(), dependencies.end());
        dependencies.erase(std::unique(dependencies.begin(), dependencies.end()), dependencies.end());
        for (const fs::path& dependency : dependencies)
            rule += " \\\n  " + MakeEscaped(dependency.string());
        rule += "\n";
        if (!WriteFileAtomically(depfile, rule, error)) {
            std::error_code ec;
            fs::remove(output, ec);
            err << "docasm: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

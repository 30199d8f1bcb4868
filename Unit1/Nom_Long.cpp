#include "Unit1/Nom_Long.h"

#include "Unit1/path_pieces.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive (ASCII) match with "*" for any run of bytes and "?" for exactly one byte.
bool wildcardMatch(const std::string& pattern, const std::string& name)
{
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string Nom_Long(const std::string& path)
{
    const std::string piece = fileNameOf(path);
    if (piece.empty())
        return {};
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0)
        return piece;

    const std::string folder = folderWithDelimiterOf(path);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir)
        return {};
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && wildcardMatch(piece, name))
            matches.push_back(name);
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

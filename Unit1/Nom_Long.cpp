#include "Unit1/Nom_Long.h"

#include "Unit1/path_pieces.h"
#include "platform/base/ascii_text.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

// A name as characters to compare: case-folded Unicode characters when the bytes are valid UTF-8.
std::optional<std::u32string> foldedCharacters(const std::string& bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!view.isValidUtf8())
        return std::nullopt;
    const QList<uint> characters = QString::fromUtf8(view).toCaseFolded().toUcs4();
    return std::u32string(characters.begin(), characters.end());
}

// Otherwise byte by byte, folding the ASCII letters only.
std::u32string foldedBytes(const std::string& bytes)
{
    std::u32string result;
    for (const char c : bytes)
        result.push_back(static_cast<unsigned char>(asciiLower(c)));
    return result;
}

// "*" stands for any run of characters and "?" for exactly one.
bool wildcardMatch(const std::u32string& pattern, const std::u32string& name)
{
    std::size_t p = 0, n = 0, starP = std::u32string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

bool matches(const std::string& pattern, const std::string& name)
{
    const auto foldedPattern = foldedCharacters(pattern);
    const auto foldedName = foldedCharacters(name);
    if (foldedPattern && foldedName)
        return wildcardMatch(*foldedPattern, *foldedName);
    return wildcardMatch(foldedBytes(pattern), foldedBytes(name));
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
    std::vector<std::string> matching;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && matches(piece, name))
            matching.push_back(name);
    }
    if (matching.empty())
        return {};
    return *std::min_element(matching.begin(), matching.end());
}

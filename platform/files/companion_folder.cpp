#include "platform/files/companion_folder.h"

#include "platform/base/ascii_text.h"
#include "platform/base/file_descriptor.h"
#include "platform/base/html_tags.h"
#include "platform/base/local_path.h"
#include "platform/base/page_names.h"
#include "platform/base/percent_decoding.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names browsers and office suites give the folder, in their order of likelihood.
constexpr std::string_view kSuffixes[] = {
    "_files",    ".files",     "_fichiers", "-Dateien",    "_bestanden", "_archivos",
    "_arquivos", "_ficheiros", "_file",     "-filer",      "_tiedostot", "_soubory",
    "_pliki",    "_elemei",    "_datoteke", "_fajlovi",    "_dosyalar",  "_failid",
    "_fails",    "_bylos",     "_fitxers",  "_fitxategiak"};

// The attributes whose value is an address the page loads or links to.
constexpr std::string_view kLinkAttributes[] = {"href",     "src",        "srcset", "data",
                                                "poster",   "background", "lowsrc", "dynsrc",
                                                "longdesc", "xlink:href"};

// Enough for the head and the first part of the body of any real page.
constexpr std::size_t kPrefixBytes = 1 << 20;

// A code point as UTF-8, for a numeric character reference.
void appendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// An attribute value as the browser reads it: the character references that a saved page's
// addresses use replaced by their characters.
std::string withoutReferences(std::string_view value)
{
    static const std::pair<std::string_view, char> named[] = {
        {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '&') {
            out += value[i];
            continue;
        }
        bool replaced = false;
        for (const auto& [name, character] : named) {
            if (startsWithIgnoringCase(value, i + 1, name)) {
                out += character;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced && i + 1 < value.size() && value[i + 1] == '#') {
            const bool hex = i + 2 < value.size() && asciiLower(value[i + 2]) == 'x';
            std::size_t j = i + (hex ? 3 : 2);
            unsigned long code = 0;
            const std::size_t first = j;
            while (j < value.size() && j - first < 8 &&
                   (hex ? hexValue(value[j]) >= 0 : isAsciiDigit(value[j]))) {
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(hexValue(value[j]));
                ++j;
            }
            if (j > first) {
                appendUtf8(out, code);
                i = j < value.size() && value[j] == ';' ? j : j - 1;
                replaced = true;
            }
        }
        if (!replaced)
            out += '&';
    }
    return out;
}

bool hasScheme(std::string_view link)
{
    const std::size_t colon = link.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAsciiLetter(link[0]))
        return false;
    return std::all_of(link.begin(), link.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return isAsciiLetter(c) || isAsciiDigit(c) || c == '+' || c == '-' || c == '.';
    });
}

// The folder beside the page that a link points into, or empty: only a relative link whose first
// piece is followed by more ("page_files/a.png", not "a.png" nor "../x/a.png").
std::string firstFolderOf(std::string_view rawLink)
{
    const std::string link = withoutReferences(trimmed(rawLink, htmlSpace));
    std::string_view rest = link;
    const std::size_t end = rest.find_first_of("?#");
    const std::size_t slash = rest.find_first_of("/\\");
    if (rest.empty() || slash == 0 || end == 0)
        return {};
    // "http:", "data:", "javascript:"... before any "/" or "?": not a relative link.
    if (hasScheme(rest.substr(0, std::min(slash, end))))
        return {};
    rest = rest.substr(0, end);
    while (rest.size() >= 2 && rest[0] == '.' && (rest[1] == '/' || rest[1] == '\\'))
        rest.remove_prefix(2);
    const std::size_t cut = rest.find_first_of("/\\");
    if (cut == std::string_view::npos || cut == 0)
        return {};
    const std::string folder = percentDecoded(rest.substr(0, cut));
    if (folder == "." || folder == ".." || folder.find('/') != std::string::npos)
        return {};
    return folder;
}

// Counts the folders that links point into, remembering which came first.
class FolderTally {
public:
    void add(std::string_view link)
    {
        const std::string folder = firstFolderOf(link);
        if (folder.empty())
            return;
        const auto known = std::find_if(counts_.begin(), counts_.end(),
                                        [&](const auto& entry) { return entry.first == folder; });
        if (known != counts_.end())
            ++known->second;
        else
            counts_.emplace_back(folder, 1);
    }

    // "a_files/1.png 1x, a_files/2.png 2x": each address before its descriptor.
    void addSourceSet(std::string_view value)
    {
        std::size_t start = 0;
        while (start < value.size()) {
            std::size_t comma = value.find(',', start);
            if (comma == std::string_view::npos)
                comma = value.size();
            const std::string_view candidate =
                trimmed(value.substr(start, comma - start), htmlSpace);
            add(candidate.substr(0, std::min(candidate.size(), candidate.find_first_of(" \t\n"))));
            start = comma + 1;
        }
    }

    std::vector<std::string> mostLinkedFirst()
    {
        std::stable_sort(counts_.begin(), counts_.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        std::vector<std::string> folders;
        for (const auto& entry : counts_)
            folders.push_back(entry.first);
        return folders;
    }

private:
    std::vector<std::pair<std::string, int>> counts_;
};

// The addresses in the attributes of every tag, skipping comments and what scripts and styles
// hold.
void readTags(std::string_view html, FolderTally& tally)
{
    forEachStartTag(html, [&](const StartTag& tag) {
        for (const auto& [name, value] : tag.attributes) {
            if (!std::any_of(
                    std::begin(kLinkAttributes), std::end(kLinkAttributes),
                    [&](std::string_view known) { return equalsIgnoringCase(name, known); }))
                continue;
            if (equalsIgnoringCase(name, "srcset"))
                tally.addSourceSet(value);
            else
                tally.add(value);
        }
        return true;
    });
}

// The addresses of style sheets, wherever they are: url(...) and @import "...".
void readStyleAddresses(std::string_view html, FolderTally& tally)
{
    for (std::string_view opener : {std::string_view("url("), std::string_view("@import")}) {
        std::size_t at = 0;
        while ((at = findIgnoringCase(html, opener, at)) != std::string_view::npos) {
            at += opener.size();
            while (at < html.size() && isHtmlSpace(html[at]))
                ++at;
            if (at >= html.size())
                break;
            const bool quoted = html[at] == '"' || html[at] == '\'';
            if (!quoted && opener != "url(")
                continue;
            const char close = quoted ? html[at] : ')';
            const std::size_t start = quoted ? at + 1 : at;
            const std::size_t end = html.find(close, start);
            if (end == std::string_view::npos)
                break;
            tally.add(html.substr(start, end - start));
            at = end + 1;
        }
    }
}

// The page's name without its extension: "page" for "page.htm".
std::string stemOf(const std::string& page)
{
    const std::size_t dot = page.rfind('.');
    return dot == std::string::npos ? page : page.substr(0, dot);
}

bool isNamedFor(const std::string& folder, const std::string& page)
{
    const std::string stem = stemOf(page);
    if (stem.empty())
        return false;
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes), [&](std::string_view suffix) {
        return folder.size() == stem.size() + suffix.size() &&
               folder.compare(0, stem.size(), stem) == 0 &&
               folder.compare(stem.size(), suffix.size(), suffix) == 0;
    });
}

bool contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string readPrefix(const std::string& path)
{
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return file.isOpen() ? readFirstBytes(file.get(), kPrefixBytes) : std::string();
}

bool isRealFolder(const std::string& folder, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat st;
    return lstat(joinPath(folder, entry.d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool hasCompanionSuffix(const std::string& name)
{
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes), [&](std::string_view suffix) {
        return name.size() > suffix.size() &&
               name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    });
}

std::vector<std::string> linkedFolders(std::string_view html)
{
    FolderTally tally;
    readTags(html, tally);
    readStyleAddresses(html, tally);
    return tally.mostLinkedFirst();
}

std::string chooseCompanion(const CompanionClues& clues)
{
    if (!isPageSavedWithFolder(clues.page))
        return {};
    std::string named;
    const std::string stem = stemOf(clues.page);
    if (!stem.empty()) {
        for (std::string_view suffix : kSuffixes) {
            if (contains(clues.folders, stem + std::string(suffix))) {
                named = stem + std::string(suffix);
                break;
            }
        }
    }
    if (!named.empty() && contains(clues.linked, named))
        return named;
    // A folder named for another page beside this one is that page's, whatever links point at it.
    for (const std::string& folder : clues.linked) {
        if (!contains(clues.folders, folder))
            continue;
        if (std::none_of(clues.pages.begin(), clues.pages.end(),
                         [&](const std::string& other) { return isNamedFor(folder, other); }))
            return folder;
    }
    return named;
}

std::string findCompanionFolder(const std::string& page)
{
    CompanionClues clues;
    clues.page = nameOf(page);
    struct stat st;
    if (!isPageSavedWithFolder(clues.page) || lstat(page.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const std::string folder = parentOf(page);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return {};
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == clues.page)
            continue;
        if (hasCompanionSuffix(name) && isRealFolder(folder, *entry))
            clues.folders.push_back(name);
        else if (isPageSavedWithFolder(name))
            clues.pages.push_back(name);
    }
    closedir(dir);
    if (clues.folders.empty())
        return {};
    // The page is read only when its name alone cannot tell.
    const bool onlyNamed = clues.folders.size() == 1 && isNamedFor(clues.folders[0], clues.page);
    if (!onlyNamed)
        clues.linked = linkedFolders(readPrefix(page));
    const std::string name = chooseCompanion(clues);
    return name.empty() ? std::string() : joinPath(folder, name);
}

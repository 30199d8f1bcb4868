#include "platform/files/page_links.h"

#include "platform/base/ascii_text.h"
#include "platform/base/html_tags.h"
#include "platform/base/percent_decoding.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The attributes whose value is an address the page loads or links to.
constexpr std::string_view kLinkAttributes[] = {"href",     "src",        "srcset", "data",
                                                "poster",   "background", "lowsrc", "dynsrc",
                                                "longdesc", "xlink:href"};

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

} // namespace

std::vector<std::string> linkedFolders(std::string_view html)
{
    FolderTally tally;
    readTags(html, tally);
    readStyleAddresses(html, tally);
    return tally.mostLinkedFirst();
}

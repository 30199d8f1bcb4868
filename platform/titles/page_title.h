#pragma once

#include <QString>

#include <string>
#include <string_view>

// The title of a saved page as a browser shows it, read from the start of its file only.

// How much of a file is read for its title.
inline constexpr std::size_t kTitleReach = 64 * 1024;

// The <title> of an HTML page from its first bytes: decoded in the page's character set (its byte
// order mark, else its <meta> charset, else Windows-1252), character references replaced, white
// space collapsed. Empty when the page has none.
QString titleOfHtml(std::string_view start);

// The Subject header of a web archive (.mht, .mhtml) from its first bytes, its encoded-words
// decoded and white space collapsed. Empty when it has none.
QString titleOfWebArchive(std::string_view start);

// The title of the page at `path`, a web archive's by its extension; empty when it has none or the
// path is no regular file that can be read.
QString readPageTitle(const std::string& path);

#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where a page's links lead, read from its HTML as a browser reads the addresses in its tags and
// style sheets.

// The folders beside a page that its relative links point into (the first piece of each link
// that goes into a folder: "page_files" for "page_files/a.png"), most linked first.
std::vector<std::string> linkedFolders(std::string_view html);

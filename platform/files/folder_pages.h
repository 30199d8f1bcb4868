#pragma once

#include <optional>
#include <string>
#include <vector>

// The saved pages of a folder in the order a file manager shows them, to go through one by one.

// Orders two names as a file manager does: letters without regard to case, numbers by their value
// ("c 9.htm" before "c 10.htm"), a dot before any other character ("b.htm" before "B2.HTML"); names
// still alike go by their bytes. Negative, zero or positive, as a comparison.
int comparePageNames(const std::string& a, const std::string& b);

// The names of the pages in a folder (regular files, or links to them) in that order; none when
// the folder cannot be read.
std::vector<std::string> pagesOfFolder(const std::string& folder);

// The folder whose pages a place (an absolute path) stands among, with its trailing "/": the
// place itself when it is a folder, else the folder holding it; none for a place that is no path.
std::optional<std::string> folderOfPlace(const std::string& place);

enum class PageStep { Previous, Next };

// The page just before or just after a place in its folder (an absolute path, which need not
// exist any more), the folder being read now; none at either end or for a place that is no path.
// A folder is the place before its own first page.
std::optional<std::string> neighbourPage(const std::string& place, PageStep step);

#pragma once

#include <string>
#include <vector>

// A page saved whole by a browser is an HTML file plus a folder beside it holding its images and
// styles ("page.htm" and "page_files"): its companion folder, which goes where the page goes.

// True for a name made of something followed by one of the companion suffixes ("_files",
// ".files", "_fichiers", "-Dateien"...).
bool hasCompanionSuffix(const std::string& name);

// What is known of a page's neighbourhood, by name only.
struct CompanionClues {
    std::string page;                 // the page's own name
    std::vector<std::string> folders; // real folders beside it whose names have a companion suffix
    std::vector<std::string> pages;   // the other saved pages beside it
    std::vector<std::string> linked;  // the folders its links point into, most linked first
};

// The name of the page's companion among `folders`, or empty: the folder named after the page,
// unless the page's links go only into another one that no other page is named for (a page
// renamed after it was saved).
std::string chooseCompanion(const CompanionClues& clues);

// The full path of the companion folder of the page at `page`, or empty when it has none. Only a
// regular file can be a page, and only a real folder (not a link to one) its companion; the page
// is read only for its first megabyte.
std::string findCompanionFolder(const std::string& page);

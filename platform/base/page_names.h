#pragma once

#include <string_view>

// The saved pages that the program goes through, told by their extension in any case.

// A page: htm, html, shtml, xhtml, xht, mht or mhtml after the name's last dot.
bool isPageName(std::string_view name);

// A page that a browser saves with a folder of its pictures and styles beside it: htm, html, shtml
// or xhtml.
bool isPageSavedWithFolder(std::string_view name);

// A saved single-file page (a web archive): mht or mhtml.
bool isWebArchive(std::string_view path);

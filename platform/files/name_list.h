#pragma once

#include <string>
#include <vector>

// The names of a request's list: each name ends with a NUL and an empty name (a second NUL) ends
// the list. A list without its final NULs still gives the names it holds.
std::vector<std::string> parseNameList(const std::string& list);

#pragma once

#include <string>

// The name of the directory entry that the path designates, as stored on disk: the entry's own name
// when the path exists; else the first entry of its folder, in name order, matching the last piece
// case-insensitively (accented letters too, for UTF-8 names) with "*" and "?" as wildcards; else
// empty.
std::string Nom_Long(const std::string& path);

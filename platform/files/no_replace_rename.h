#pragma once

#include <string>

// Renames `from` to `to` only when `to` does not exist, atomically where the file system allows it.
// Returns 0, or an errno value: EEXIST when the name is taken, EXDEV across file systems.
int renameNoReplace(const std::string& from, const std::string& to);

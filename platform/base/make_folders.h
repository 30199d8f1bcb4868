#pragma once

#include <string>
#include <sys/types.h>

// Creates a folder and the folders above it that are missing, each with `mode` (less the umask).
// Returns 0 (also when it already exists as a folder) or an errno value. `firstMade`, when given
// and empty, takes the highest folder it created.
int makeFolders(const std::string& path, mode_t mode, std::string* firstMade = nullptr);

// Removes `folder` and the folders above it up to `top` (which holds them), deepest first, each
// only while it is empty.
void removeEmptyFolders(const std::string& folder, const std::string& top);

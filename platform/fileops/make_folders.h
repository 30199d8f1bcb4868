#pragma once

#include <string>
#include <sys/types.h>

// Creates a folder and the folders above it that are missing, each with `mode` (less the umask).
// Returns 0 (also when it already exists as a folder) or an errno value.
int makeFolders(const std::string& path, mode_t mode);

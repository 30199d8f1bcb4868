#pragma once

#include <string>

// Removes a file, a link (never what it points to) or a whole folder with all it holds.
// Returns 0, or the first errno value met (what could be removed is gone).
int removeTree(const std::string& path);

#pragma once

#include <string>

// Removes a file, a link (never what it points to) or a whole folder with all it holds.
// Returns 0, or the first errno value met (what could be removed is gone).
int removeTree(const std::string& path);

// The same for a copy this program made: a folder of it that was given a read-only mode is opened
// to writing first, so that nothing of the copy stays behind.
int removeTemporaryTree(const std::string& path);

#pragma once

#include <string>

// The current page named by a dropped or command-line path: its folder without trailing "/" (taken
// from the current folder when the path is relative), "/", then the entry's name as stored on disk.
std::string pagePathFor(const std::string& path);

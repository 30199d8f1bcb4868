#pragma once

#include <string>

// The executable's full path as the system reports it (/proc/self/exe).
std::string executablePath();

// The folder of an executable path, ending with "/": the default of the three remembered folders.
std::string executableFolder(const std::string& exePath);

// The settings file beside the executable: its extension replaced by ".INI", or ".INI" appended.
std::string settingsFilePath(const std::string& exePath);

#pragma once

#include <string>

// Where the settings file is read at start and written at the end. The file beside the executable
// serves both when its folder can take it (portable use); otherwise, as in a system-wide install,
// a per-user copy of it takes the writes and is read once it exists.
struct SettingsLocation {
    std::string readPath;
    std::string writePath;
};

// `besidePath` is the file beside the executable; `perUserPath` the per-user file, or "" for none.
SettingsLocation settingsLocation(const std::string& besidePath, const std::string& perUserPath);

// Before the first write to the per-user file: makes its folder (private to the user) and starts
// the file as a copy of the one beside the executable, if any, so that nothing of that is lost.
// A failure here shows in the write that follows.
void prepareForWriting(const SettingsLocation& location);

// The folder that the Open, Copy and Move dialogs start in while none is stored: the program's own
// for a copy whose settings lie beside it, the user's home folder (ending with "/") when the
// settings are the user's own, as for a system-wide install, whose program folder holds no pages.
// `besidePath` is the settings file beside the executable, `exeFolder` the executable's folder.
std::string defaultStartFolder(const SettingsLocation& location, const std::string& besidePath,
                               const std::string& exeFolder, const std::string& home);

// The user's home folder: $HOME, or the account's when HOME is unset; "" without either.
std::string homeFolder();

// $XDG_CONFIG_HOME/velmo/velmo.INI, or ~/.config/velmo/velmo.INI when that variable is unset or not
// an absolute path; "" without a home folder.
std::string perUserSettingsPath(const std::string& xdgConfigHome, const std::string& home);

// The same, from this process's environment (the account's home folder when HOME is unset).
std::string perUserSettingsPath();

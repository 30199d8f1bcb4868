#pragma once

#include <optional>
#include <string>
#include <vector>

// What of a desktop entry file (freedesktop.org "Desktop Entry" group) is needed to start it.
struct DesktopEntry {
    std::string type;
    std::string exec;
    std::string tryExec;
    bool terminal = false;
    bool hidden = false;
};

// Reads the "Desktop Entry" group of a desktop file's text; string escapes (\s, \n, \t, \r, \\)
// are undone. Nothing when the text has no such group.
std::optional<DesktopEntry> parseDesktopEntry(const std::string& text);

// Splits an Exec value into arguments: blanks separate, double quotes group (inside them a
// backslash escapes a double quote, backquote, dollar or backslash), single quotes group
// literally. Nothing when a quote is left open.
std::optional<std::vector<std::string>> splitExecLine(const std::string& exec);

// The command that opens one file: %f, %F, %u and %U give the file as one argument (only the
// first of them; the file is appended when there is none), %% gives "%", other field codes are
// dropped, and an argument made only of dropped codes goes.
std::vector<std::string> expandExecArguments(const std::vector<std::string>& arguments,
                                             const std::string& file);

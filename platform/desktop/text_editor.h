#pragma once

#include <string>
#include <vector>

// The command that opens a file in the desktop's text editor, the file being one argument: the
// application GIO names as default for text/plain, else one that declares the type, else the first
// common GUI text editor found on PATH. Terminal programs are passed over. Empty when there is
// none.
std::vector<std::string> textEditorCommand(const std::string& file);

// Starts the desktop's text editor on the file, detached and without a shell. False when no
// editor was found or it could not be executed; the caller reports nothing.
bool startTextEditor(const std::string& file);

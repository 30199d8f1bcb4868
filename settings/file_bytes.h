#pragma once

#include <optional>
#include <string>
#include <string_view>

// The whole content of a file, read and replaced as bytes.

struct FileBytes {
    bool exists = false; // false: nothing at that path, and the bytes are empty
    std::string bytes;
};

// Reads the regular file at `path`; {exists = false} when there is nothing there. Empty when the
// path cannot be read as a regular file (a folder, no permission, a read error).
std::optional<FileBytes> readFileBytes(const std::string& path);

// Replaces the content of the file at `path` (creating it when missing) so that it is never seen
// half-written: a new file is written beside it and renamed over it, keeping its permissions; when
// the folder cannot take a new file but the file is writable, the changed bytes are rewritten in
// place. Returns false, with the file left as it was, when it cannot be written (a symbolic link is
// followed).
bool replaceFileBytes(const std::string& path, std::string_view bytes);

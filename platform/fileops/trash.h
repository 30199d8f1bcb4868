#pragma once

#include "platform/fileops/file_failure.h"

#include <string>

class FileProgress;

// Puts an item (a file, a link as the link itself, or a whole folder) in the freedesktop.org trash:
// by a rename into the home trash or into its mount's own trash, else by a complete copy into the
// home trash after which the item is removed. Never deletes anything for good: on failure the item
// stays where it was.
FileFailure trashItem(const std::string& path, FileProgress& progress);

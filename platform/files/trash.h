#pragma once

#include "platform/files/file_failure.h"

#include <string>

class FileProgress;

// Where a trashed item went: its entry in the trash's files/ and its info file.
struct TrashedItem {
    std::string file;
    std::string info;
};

// Puts an item (a file, a link as the link itself, or a whole folder) in the freedesktop.org trash:
// by a rename into the home trash or into its mount's own trash, else by a complete copy into the
// home trash after which the item is removed. Never deletes anything for good: on failure the item
// stays where it was. On success `placed`, when given, tells where it went.
FileFailure trashItem(const std::string& path, FileProgress& progress,
                      TrashedItem* placed = nullptr);

// Takes a trashed item back out of the trash to `original`, never over an existing name: by a
// rename, else by a complete copy after which the trash entry is removed; its info file then goes.
// On failure the item stays in the trash. A copy shows in `progress`, when given, and stops at its
// cancel.
FileFailure untrashItem(const TrashedItem& placed, const std::string& original,
                        FileProgress* progress = nullptr);

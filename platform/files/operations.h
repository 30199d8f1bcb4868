#pragma once

#include "platform/files/file_failure.h"
#include "platform/files/file_operation.h"

#include <cstdint>
#include <functional>
#include <string>

class FileOperationDialogs;
class FileProgress;

// Runs a job through the dialogs' worker thread with its progress shown, and gives its outcome.
FileFailure runInBackground(FileOperationDialogs& dialogs, FileProgress& progress,
                            const std::function<FileFailure()>& job);

// Puts an item in the trash, then a page's companion folder (empty: none) as an entry of its own;
// when the folder cannot follow, the page is taken back out of the trash. `done`, when given, tells
// where they went.
FileFailure trashWithCompanion(const std::string& page, const std::string& companion,
                               FileProgress& progress, FileOperationReport::Entry* done = nullptr);

// Takes an item that trashWithCompanion put in the trash back out to its place, with its companion
// folder when that went too; when the item cannot follow its folder, the folder goes back into the
// trash (under a new entry, which `trashed` then tells).
FileFailure restoreWithCompanion(FileOperationReport::Entry& trashed, FileProgress& progress);

// Renames an item within its folder, never over an existing name.
FileFailure renameItem(const std::string& source, const std::string& target);

// Copies or moves an item to a target path (a target ending in "/" names the folder to put it in),
// asking through the dialogs whether to create a missing target folder, and showing the progress.
// A page's companion folder (empty: none) goes along under its own name when that name is free in
// the target folder; else the page goes alone and a warning says so. `done`, when given, tells
// where they went.
FileFailure transferItem(FileAction action, const std::string& source, const std::string& companion,
                         const std::string& target, std::uint16_t flags,
                         FileOperationDialogs& dialogs, FileOperationReport::Entry* done = nullptr);

#include "platform/base/local_path.h"
#include "platform/base/make_folders.h"
#include "platform/files/error_text.h"
#include "platform/files/file_operation.h"
#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/operations.h"

#include <cerrno>
#include <exception>
#include <sys/stat.h>

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Before anything is taken back: every item is still where the request put it and, but for a
// copy, which leaves the original where it is, every old place is free.
FileFailure checkPlaces(const FileOperationReport& done)
{
    for (const FileOperationReport::Entry& entry : done.entries) {
        for (const PlacedItem* placed :
             {&entry.item, entry.companion ? &*entry.companion : nullptr}) {
            if (!placed)
                continue;
            if (!exists(placed->to))
                return done.function == FO_DELETE
                           ? problemWith(FileProblem::NotInTrash, placed->from)
                           : systemFailure(ENOENT, placed->to);
            // The item as the user knows it: where it is now, or, out of the trash, where it was.
            if (done.function != FO_COPY && exists(placed->from))
                return nameTaken(done.function == FO_DELETE ? placed->from : placed->to,
                                 placed->from);
        }
    }
    return {};
}

FileFailure undoEntry(unsigned function, FileOperationReport::Entry& entry,
                      FileOperationDialogs& dialogs)
{
    const std::string companion = entry.companion ? entry.companion->to : std::string();
    switch (function) {
    case FO_RENAME:
        return renameItem(entry.item.to, entry.item.from);
    case FO_MOVE: {
        // Without FOF_RENAMEONCOLLISION: a place taken meanwhile fails, nothing is replaced.
        const FileFailure failure =
            transferItem(FileAction::Move, entry.item.to, companion, entry.item.from, 0, dialogs);
        if (!failure && !entry.madeFolder.empty())
            removeEmptyFolders(parentOf(entry.item.to), entry.madeFolder);
        return failure;
    }
    case FO_COPY: {
        FileProgress progress(FileAction::Trash);
        const FileFailure failure = runInBackground(dialogs, progress, [&] {
            return trashWithCompanion(entry.item.to, companion, progress);
        });
        if (!failure && !entry.madeFolder.empty())
            removeEmptyFolders(parentOf(entry.item.to), entry.madeFolder);
        return failure;
    }
    case FO_DELETE: {
        FileProgress progress(FileAction::Restore);
        return runInBackground(dialogs, progress,
                               [&] { return restoreWithCompanion(entry, progress); });
    }
    default:
        return problemWith(FileProblem::UnknownFunction, {});
    }
}

} // namespace

bool undoFileOperation(FileOperationReport& done, FileOperationDialogs& dialogs)
{
    FileFailure failure;
    try {
        failure = checkPlaces(done);
        // The last item first; each one taken back leaves the report, so that a failure leaves
        // only what is still to take back.
        while (!failure && !done.entries.empty()) {
            failure = undoEntry(done.function, done.entries.back(), dialogs);
            if (!failure)
                done.entries.pop_back();
        }
    } catch (const std::exception&) {
        failure = systemFailure(ENOMEM, {});
    }
    if (failure && failure.problem != FileProblem::Cancelled)
        dialogs.showError(failureMessage(
            done.function == FO_COPY ? FileAction::Trash : FileAction::Restore, failure));
    return !failure;
}

#include "platform/files/trash.h"

#include "platform/base/file_descriptor.h"
#include "platform/base/local_path.h"
#include "platform/files/file_progress.h"
#include "platform/files/free_name.h"
#include "platform/files/no_replace_rename.h"
#include "platform/files/remove_tree.h"
#include "platform/files/safe_copy.h"
#include "platform/files/temporary_names.h"
#include "platform/files/trash_info.h"
#include "platform/files/trash_location.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr unsigned kMostAttempts = 100000;

// Writes the info file under a name free in the trash, then renames `entry` to that name in files/.
// Returns 0 or an errno value (EXDEV: `entry` is not on the trash's file system).
int fileIntoTrash(const TrashFolder& trash, const std::string& entry, const std::string& original,
                  TrashedItem& placed)
{
    const std::string infoFolder = joinPath(trash.path, "info");
    removeAbandonedTemporaries(joinPath(trash.path, "files"));
    const std::string pathField =
        trash.topDir.empty() ? original : original.substr(trash.topDir.size() + 1);
    const std::string content = trashInfoText(pathField, std::time(nullptr));
    for (unsigned attempt = 1; attempt < kMostAttempts; ++attempt) {
        const std::string name = trashEntryName(nameOf(original), attempt);
        placed.info = joinPath(infoFolder, name + ".trashinfo");
        placed.file = joinPath(joinPath(trash.path, "files"), name);
        const int fd = open(placed.info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        int error = writeAll(fd, content, 0);
        // The info file is on disk before the item moves in: a power cut may leave an info file
        // without its item, never an item that no tool can restore.
        if (!error && fsync(fd) != 0)
            error = errno;
        if (close(fd) != 0 && !error)
            error = errno;
        if (!error)
            error = flushFolder(infoFolder);
        if (!error)
            error = renameNoReplace(entry, placed.file);
        if (!error)
            return 0;
        unlink(placed.info.c_str());
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

// No trash takes the item by a rename: a complete copy goes into the home trash, and only then is
// the item removed.
FileFailure trashByCopy(const TrashFolder& home, const std::string& path,
                        const std::string& original, bool isFolder, FileProgress& progress,
                        TrashedItem& placed)
{
    // An item that could not be removed afterwards is not copied: it stays, and the trash too.
    if (access(parentOf(path).c_str(), W_OK) != 0)
        return systemFailure(errno, path);
    if (const int error = prepareHomeTrash(home.path))
        return systemFailure(error, path);
    progress.addToTotal(bytesOfItem(path));
    std::string temporary;
    if (const FileFailure failure =
            makeTemporaryCopy(path, joinPath(home.path, "files"), progress, temporary))
        return failure;
    if (const int error = fileIntoTrash(home, temporary, original, placed)) {
        removeTemporaryTree(temporary);
        return systemFailure(error, path);
    }
    // The copy's name must be on disk before the item goes.
    if (const int error = flushFolder(joinPath(home.path, "files"))) {
        removeTemporaryTree(placed.file);
        unlink(placed.info.c_str());
        return systemFailure(error, path);
    }
    if (const int error = removeTree(path)) {
        // A file that is still whole takes its copy back out of the trash; of a folder partly
        // removed, the copy in the trash is the only whole one and stays.
        struct stat st;
        if (!isFolder && lstat(path.c_str(), &st) == 0) {
            removeTemporaryTree(placed.file);
            unlink(placed.info.c_str());
        }
        return systemFailure(error, path);
    }
    return {};
}

} // namespace

FileFailure trashItem(const std::string& path, FileProgress& progress, TrashedItem* placedOut)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return systemFailure(errno, path);
    int error = 0;
    const std::string original = resolvedItemPath(path, error);
    if (error)
        return systemFailure(error, path);
    progress.setItem(path);

    const TrashFolder home{homeTrashPath(), {}};
    TrashedItem ignored;
    TrashedItem& placed = placedOut ? *placedOut : ignored;
    dev_t homeDevice = 0;
    if (deviceOfNearest(home.path, homeDevice) == 0 && homeDevice == st.st_dev) {
        if ((error = prepareHomeTrash(home.path)))
            return systemFailure(error, path);
        error = fileIntoTrash(home, path, original, placed);
        // EXDEV: the same device through another mount, which only a copy crosses.
        if (error != EXDEV)
            return error ? systemFailure(error, path) : FileFailure{};
    } else {
        TrashFolder mount{{}, topDirOf(original, st.st_dev)};
        if (!isSystemFolder(mount.topDir) && prepareTopDirTrash(mount.topDir, mount.path) == 0 &&
            fileIntoTrash(mount, path, original, placed) == 0)
            return {};
    }
    return trashByCopy(home, path, original, S_ISDIR(st.st_mode), progress, placed);
}

FileFailure untrashItem(const TrashedItem& placed, const std::string& original,
                        FileProgress* progress)
{
    int error = renameNoReplace(placed.file, original);
    if (error == EXDEV) {
        // Out of the home trash to another file system: a whole copy first, then the entry goes.
        FileProgress quiet(FileAction::Restore);
        FileProgress& shown = progress ? *progress : quiet;
        shown.setItem(original);
        shown.addToTotal(bytesOfItem(placed.file));
        std::string temporary;
        if (FileFailure failure =
                makeTemporaryCopy(placed.file, parentOf(original), shown, temporary)) {
            failure.item = original;
            return failure;
        }
        error = renameNoReplace(temporary, original);
        if (error) {
            removeTemporaryTree(temporary);
        } else if ((error = flushFolder(parentOf(original)))) {
            removeTemporaryTree(original);
        } else {
            removeTree(placed.file);
        }
    }
    if (error)
        return systemFailure(error, original);
    unlink(placed.info.c_str());
    return {};
}

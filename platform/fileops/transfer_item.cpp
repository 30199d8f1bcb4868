#include "platform/fileops/dialog_text.h"
#include "platform/fileops/file_operation.h"
#include "platform/fileops/file_operation_dialogs.h"
#include "platform/fileops/file_progress.h"
#include "platform/fileops/free_name.h"
#include "platform/fileops/local_path.h"
#include "platform/fileops/make_folders.h"
#include "platform/fileops/operations.h"
#include "platform/fileops/remove_tree.h"
#include "platform/fileops/safe_copy.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes sure the target folder exists, creating it when the user agrees. Failures name the source,
// the item the user asked to copy or move.
FileFailure targetFolderReady(const std::string& folder, const std::string& source,
                              std::uint16_t flags, FileOperationDialogs& dialogs)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? FileFailure{} : systemFailure(ENOTDIR, source);
    if (errno != ENOENT)
        return systemFailure(errno, source);
    if (!(flags & FOF_NOCONFIRMATION) && !dialogs.askYesNo(missingFolderQuestion(folder)))
        return problemWith(FileProblem::Cancelled, source);
    if (const int error = makeFolders(folder, 0777))
        return systemFailure(error, source);
    return {};
}

// Copies the source into the folder, under the first free name of the choice, whole and flushed.
FileFailure copyIntoPlace(const std::string& source, const std::string& folder,
                          const NameChoice& choice, FileProgress& progress, std::string& finalPath)
{
    progress.setTotal(bytesOfItem(source));
    std::string temporary;
    if (const FileFailure failure = makeTemporaryCopy(source, folder, progress, temporary))
        return failure;
    if (const int error = placeUnderFreeName(temporary, folder, choice, finalPath)) {
        removeTree(temporary);
        return systemFailure(error, source);
    }
    if (const int error = flushFolder(folder)) {
        removeTree(finalPath);
        return systemFailure(error, source);
    }
    return {};
}

FileFailure moveWork(const std::string& source, bool isFolder, const std::string& folder,
                     const NameChoice& choice, FileProgress& progress)
{
    std::string finalPath;
    const int error = placeUnderFreeName(source, folder, choice, finalPath);
    if (error != EXDEV)
        return error ? systemFailure(error, source) : FileFailure{};

    // Across file systems: a complete copy first; the source goes only once the copy is in place.
    if (access(parentOf(source).c_str(), W_OK) != 0)
        return systemFailure(errno, source);
    if (const FileFailure failure = copyIntoPlace(source, folder, choice, progress, finalPath))
        return failure;
    if (const int removeError = removeTree(source)) {
        // A file still whole keeps its place and its copy goes; of a folder partly removed, the
        // copy is the only whole one and stays.
        struct stat st;
        if (!isFolder && lstat(source.c_str(), &st) == 0)
            removeTree(finalPath);
        return systemFailure(removeError, source);
    }
    return {};
}

} // namespace

FileFailure transferItem(FileAction action, const std::string& source, const std::string& target,
                         std::uint16_t flags, FileOperationDialogs& dialogs)
{
    struct stat item;
    if (lstat(source.c_str(), &item) != 0)
        return systemFailure(errno, source);
    const std::string targetPath =
        target.back() == '/' ? joinPath(withoutTrailingSlashes(target), nameOf(source)) : target;
    const std::string folder = parentOf(targetPath);
    const std::string name = nameOf(targetPath);
    if (isBadName(name))
        return problemWith(FileProblem::BadName, source);
    if (const FileFailure failure = targetFolderReady(folder, source, flags, dialogs))
        return failure;

    int error = 0;
    const std::string resolvedSource = resolvedItemPath(source, error);
    char buffer[PATH_MAX];
    if (error || !realpath(folder.c_str(), buffer))
        return systemFailure(error ? error : errno, source);
    const std::string resolvedFolder = buffer;
    const bool sameFolder = parentOf(resolvedSource) == resolvedFolder;
    const bool ontoItself = sameFolder && name == nameOf(resolvedSource);
    if (action == FileAction::Move && ontoItself)
        return problemWith(FileProblem::SameItem, source);
    if (S_ISDIR(item.st_mode) && isSameOrInside(resolvedFolder, resolvedSource))
        return problemWith(FileProblem::IntoItself, source);

    NameChoice choice;
    choice.name = name;
    choice.style =
        action == FileAction::Copy && sameFolder ? CollisionStyle::Copy : CollisionStyle::Numbered;
    // A copy onto itself is a copy beside itself.
    choice.firstAttempt = ontoItself ? 1 : 0;
    choice.otherNames = ontoItself || (flags & FOF_RENAMEONCOLLISION);
    struct stat existing;
    if (!choice.otherNames && lstat(targetPath.c_str(), &existing) == 0)
        return systemFailure(EEXIST, source);

    FileProgress progress(action);
    progress.setItem(source);
    std::string finalPath;
    return runInBackground(dialogs, progress, [&] {
        return action == FileAction::Move
                   ? moveWork(source, S_ISDIR(item.st_mode), folder, choice, progress)
                   : copyIntoPlace(source, folder, choice, progress, finalPath);
    });
}

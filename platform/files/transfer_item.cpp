#include "platform/base/local_path.h"
#include "platform/base/make_folders.h"
#include "platform/base/name_length.h"
#include "platform/files/dialog_text.h"
#include "platform/files/file_operation.h"
#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/free_name.h"
#include "platform/files/no_replace_rename.h"
#include "platform/files/operations.h"
#include "platform/files/remove_tree.h"
#include "platform/files/safe_copy.h"
#include "platform/files/temporary_names.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Makes sure the target folder exists, creating it when the user agrees; `made` then takes the
// highest folder created. Failures name the source, the item the user asked to copy or move.
FileFailure targetFolderReady(const std::string& folder, const std::string& source,
                              std::uint16_t flags, FileOperationDialogs& dialogs, std::string& made)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? FileFailure{} : systemFailure(ENOTDIR, source);
    if (errno != ENOENT)
        return systemFailure(errno, source);
    if (!(flags & FOF_NOCONFIRMATION) && !dialogs.askYesNo(missingFolderQuestion(folder)))
        return problemWith(FileProblem::Cancelled, source);
    if (const int error = makeFolders(folder, 0777, &made))
        return systemFailure(error, source);
    return {};
}

// Copies the source into the folder, under the first free name of the choice, whole and flushed.
FileFailure copyIntoPlace(const std::string& source, const std::string& folder,
                          const NameChoice& choice, FileProgress& progress, std::string& finalPath)
{
    std::string temporary;
    if (const FileFailure failure = makeTemporaryCopy(source, folder, progress, temporary))
        return failure;
    if (const int error = placeUnderFreeName(temporary, folder, choice, finalPath)) {
        removeTemporaryTree(temporary);
        return systemFailure(error, source);
    }
    if (const int error = flushFolder(folder)) {
        removeTemporaryTree(finalPath);
        return systemFailure(error, source);
    }
    return {};
}

// What one copy or move carries: the item, and the companion folder of a page when it goes too.
struct Unit {
    std::string item;
    bool itemIsFolder = false;
    NameChoice itemChoice;
    std::string companion;      // empty: the item goes alone
    bool companionLeft = false; // its name was taken in the target folder: it stayed
    std::string itemPlaced;     // where the item and its companion are once done
    std::string companionPlaced;
};

// One piece of a move once in the target folder, with what undoes it.
struct Placed {
    std::string source;
    std::string path;
    bool copied = false; // a copy whose source is still there; else the source itself, renamed
};

void undo(const std::vector<Placed>& placed)
{
    for (auto piece = placed.rbegin(); piece != placed.rend(); ++piece) {
        if (piece->copied)
            removeTemporaryTree(piece->path);
        else
            renameNoReplace(piece->path, piece->source);
    }
}

bool isNameTaken(const FileFailure& failure)
{
    return failure.problem == FileProblem::System && failure.code == EEXIST;
}

// Only the companion's own name keeps the page's links working.
NameChoice ownName(const std::string& companion)
{
    NameChoice choice;
    choice.name = nameOf(companion);
    return choice;
}

FileFailure copyWork(Unit& unit, const std::string& folder, FileProgress& progress)
{
    progress.setTotal(bytesOfItem(unit.item) +
                      (unit.companion.empty() ? 0 : bytesOfItem(unit.companion)));
    // The companion first: the long part, which a cancel or a full disk most often stops.
    std::string companionCopy;
    if (!unit.companion.empty()) {
        const FileFailure failure =
            copyIntoPlace(unit.companion, folder, ownName(unit.companion), progress, companionCopy);
        if (isNameTaken(failure))
            unit.companionLeft = true;
        else if (failure)
            return failure;
    }
    const FileFailure failure =
        copyIntoPlace(unit.item, folder, unit.itemChoice, progress, unit.itemPlaced);
    if (failure && !companionCopy.empty())
        removeTemporaryTree(companionCopy);
    else
        unit.companionPlaced = companionCopy;
    return failure;
}

FileFailure moveWork(Unit& unit, const std::string& folder, FileProgress& progress)
{
    struct Piece {
        std::string source;
        NameChoice choice;
        bool isCompanion;
    };
    // The companion first, so that a failure or a cancel finds the page still in its place; the
    // page's own name is then settled last.
    std::vector<Piece> pieces;
    if (!unit.companion.empty())
        pieces.push_back({unit.companion, ownName(unit.companion), true});
    pieces.push_back({unit.item, unit.itemChoice, false});

    std::vector<Placed> placed;
    bool totalSet = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        Placed done{piece.source, {}, false};
        const int error = placeUnderFreeName(piece.source, folder, piece.choice, done.path);
        FileFailure failure = error ? systemFailure(error, piece.source) : FileFailure{};
        if (error == EXDEV) {
            // Across file systems: complete copies first; the sources go once all are in place.
            if (access(parentOf(piece.source).c_str(), W_OK) != 0) {
                failure = systemFailure(errno, piece.source);
            } else {
                if (!totalSet) {
                    std::uint64_t total = 0;
                    for (std::size_t j = i; j < pieces.size(); ++j)
                        total += bytesOfItem(pieces[j].source);
                    progress.setTotal(total);
                    totalSet = true;
                }
                failure = copyIntoPlace(piece.source, folder, piece.choice, progress, done.path);
                done.copied = true;
            }
        }
        if (!failure) {
            placed.push_back(done);
            (piece.isCompanion ? unit.companionPlaced : unit.itemPlaced) = done.path;
        } else if (piece.isCompanion && isNameTaken(failure)) {
            unit.companionLeft = true;
        } else {
            undo(placed);
            return failure;
        }
    }

    // The copied sources go, the page before its companion: a page that cannot go leaves
    // everything as it was.
    for (auto piece = placed.rbegin(); piece != placed.rend(); ++piece) {
        if (!piece->copied)
            continue;
        if (const int error = removeTree(piece->source)) {
            // A file still whole keeps its place and its copy goes; of a folder partly removed,
            // the copy is the only whole one and stays.
            const bool isFolder = piece->source != unit.item || unit.itemIsFolder;
            struct stat st;
            if (!isFolder && lstat(piece->source.c_str(), &st) == 0)
                undo(placed);
            return systemFailure(error, piece->source);
        }
    }
    return {};
}

} // namespace

FileFailure transferItem(FileAction action, const std::string& source, const std::string& companion,
                         const std::string& target, std::uint16_t flags,
                         FileOperationDialogs& dialogs, FileOperationReport::Entry* done)
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
    if (const std::size_t longest = longestNameIn(folder); name.size() > longest)
        return {FileProblem::NameTooLong, int(longest), source, name};

    // What can never succeed fails before the question about a missing folder, which would
    // otherwise make a folder for nothing.
    int error = 0;
    const std::string resolvedSource = resolvedItemPath(source, error);
    const std::string resolvedFolder = error ? std::string() : resolvedFolderPath(folder, error);
    if (error)
        return systemFailure(error, source);
    const bool sameFolder = parentOf(resolvedSource) == resolvedFolder;
    const bool ontoItself = sameFolder && name == nameOf(resolvedSource);
    if (action == FileAction::Move && ontoItself)
        return problemWith(FileProblem::SameItem, source);
    if (S_ISDIR(item.st_mode) && isSameOrInside(resolvedFolder, resolvedSource))
        return problemWith(FileProblem::IntoItself, source);
    std::string madeFolder;
    if (const FileFailure failure = targetFolderReady(folder, source, flags, dialogs, madeFolder))
        return failure;
    removeAbandonedTemporaries(folder);

    Unit unit;
    unit.item = source;
    unit.itemIsFolder = S_ISDIR(item.st_mode);
    NameChoice& choice = unit.itemChoice;
    choice.name = name;
    choice.style =
        action == FileAction::Copy && sameFolder ? CollisionStyle::Copy : CollisionStyle::Numbered;
    // A copy onto itself is a copy beside itself.
    choice.firstAttempt = ontoItself ? 1 : 0;
    choice.otherNames = ontoItself || (flags & FOF_RENAMEONCOLLISION);
    struct stat existing;
    if (!choice.otherNames && lstat(targetPath.c_str(), &existing) == 0)
        return nameTaken(source, targetPath);

    // In its own folder the page stays beside its companion, which has nothing to do.
    std::optional<CompanionLeft> left;
    if (!companion.empty() && !sameFolder) {
        if (isSameOrInside(resolvedFolder, joinPath(parentOf(resolvedSource), nameOf(companion))))
            left = CompanionLeft::TargetInside;
        else if (lstat(joinPath(folder, nameOf(companion)).c_str(), &existing) == 0)
            left = CompanionLeft::NameTaken;
        else
            unit.companion = companion;
    }

    FileProgress progress(action);
    progress.setItem(source);
    const FileFailure failure = runInBackground(dialogs, progress, [&] {
        return action == FileAction::Move ? moveWork(unit, folder, progress)
                                          : copyWork(unit, folder, progress);
    });
    if (!failure && done) {
        done->item = {source, unit.itemPlaced, {}};
        done->madeFolder = madeFolder;
        if (!unit.companionPlaced.empty())
            done->companion = PlacedItem{unit.companion, unit.companionPlaced, {}};
    }
    if (!failure && unit.companionLeft)
        left = CompanionLeft::NameTaken;
    if (!failure && left)
        dialogs.showWarning(companionLeftWarning(action, *left, source, nameOf(companion), folder));
    return failure;
}

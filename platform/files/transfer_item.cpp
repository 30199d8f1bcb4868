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
#include <functional>
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

// One piece of a move: the companion folder or the item itself.
struct Piece {
    std::string source;
    NameChoice choice;
    bool isCompanion;
};

// Puts one piece in the folder under a free name: renamed there, or across file systems copied
// whole, its source staying until every piece is in place. `countCopies` is called before the
// first copy, so that the progress counts the bytes of what is left to copy.
FileFailure placePiece(const Piece& piece, const std::string& folder, FileProgress& progress,
                       const std::function<void()>& countCopies, Placed& done)
{
    done = {piece.source, {}, false};
    const int error = placeUnderFreeName(piece.source, folder, piece.choice, done.path);
    if (error != EXDEV)
        return error ? systemFailure(error, piece.source) : FileFailure{};
    if (access(parentOf(piece.source).c_str(), W_OK) != 0)
        return systemFailure(errno, piece.source);
    countCopies();
    done.copied = true;
    return copyIntoPlace(piece.source, folder, piece.choice, progress, done.path);
}

// Removes the sources of the pieces that were copied, the page before its companion: a page that
// cannot go leaves everything as it was.
FileFailure removeCopiedSources(const std::vector<Placed>& placed, const Unit& unit)
{
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

FileFailure moveWork(Unit& unit, const std::string& folder, FileProgress& progress)
{
    // The companion first, so that a failure or a cancel finds the page still in its place; the
    // page's own name is then settled last.
    std::vector<Piece> pieces;
    if (!unit.companion.empty())
        pieces.push_back({unit.companion, ownName(unit.companion), true});
    pieces.push_back({unit.item, unit.itemChoice, false});

    std::vector<Placed> placed;
    bool totalSet = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto countCopies = [&] {
            if (totalSet)
                return;
            std::uint64_t total = 0;
            for (std::size_t j = i; j < pieces.size(); ++j)
                total += bytesOfItem(pieces[j].source);
            progress.setTotal(total);
            totalSet = true;
        };
        Placed done;
        const FileFailure failure = placePiece(pieces[i], folder, progress, countCopies, done);
        if (!failure) {
            placed.push_back(done);
            (pieces[i].isCompanion ? unit.companionPlaced : unit.itemPlaced) = done.path;
        } else if (pieces[i].isCompanion && isNameTaken(failure)) {
            unit.companionLeft = true;
        } else {
            undo(placed);
            return failure;
        }
    }
    return removeCopiedSources(placed, unit);
}

// Where an item goes, and what the checks found of the source and target folder on the way.
struct Destination {
    std::string path; // the target, with the item's own name when it ends with "/"
    std::string folder;
    std::string name;
    std::string resolvedSource;
    std::string resolvedFolder;
    bool sameFolder = false; // the item stays in its folder
    bool ontoItself = false; // ... under its own name
};

// What can never succeed fails here, before the question about a missing folder, which would
// otherwise make a folder for nothing.
FileFailure checkDestination(FileAction action, const std::string& source, bool sourceIsFolder,
                             const std::string& target, Destination& to)
{
    to.path =
        target.back() == '/' ? joinPath(withoutTrailingSlashes(target), nameOf(source)) : target;
    to.folder = parentOf(to.path);
    to.name = nameOf(to.path);
    if (isBadName(to.name))
        return problemWith(FileProblem::BadName, source);
    if (const std::size_t longest = longestNameIn(to.folder); to.name.size() > longest)
        return {FileProblem::NameTooLong, int(longest), source, to.name};
    int error = 0;
    to.resolvedSource = resolvedItemPath(source, error);
    to.resolvedFolder = error ? std::string() : resolvedFolderPath(to.folder, error);
    if (error)
        return systemFailure(error, source);
    to.sameFolder = parentOf(to.resolvedSource) == to.resolvedFolder;
    to.ontoItself = to.sameFolder && to.name == nameOf(to.resolvedSource);
    if (action == FileAction::Move && to.ontoItself)
        return problemWith(FileProblem::SameItem, source);
    if (sourceIsFolder && isSameOrInside(to.resolvedFolder, to.resolvedSource))
        return problemWith(FileProblem::IntoItself, source);
    return {};
}

// The item's name in the target folder, and whether another is looked for when it is taken.
NameChoice itemNameChoice(FileAction action, const Destination& to, std::uint16_t flags)
{
    NameChoice choice;
    choice.name = to.name;
    choice.style = action == FileAction::Copy && to.sameFolder ? CollisionStyle::Copy
                                                               : CollisionStyle::Numbered;
    // A copy onto itself is a copy beside itself.
    choice.firstAttempt = to.ontoItself ? 1 : 0;
    choice.otherNames = to.ontoItself || (flags & FOF_RENAMEONCOLLISION);
    return choice;
}

// Whether the page's companion folder goes with it (then set in `unit`), or why it stays. In its
// own folder the page stays beside its companion, which has nothing to do.
std::optional<CompanionLeft> decideCompanion(const std::string& companion, const Destination& to,
                                             Unit& unit)
{
    if (companion.empty() || to.sameFolder)
        return std::nullopt;
    if (isSameOrInside(to.resolvedFolder, joinPath(parentOf(to.resolvedSource), nameOf(companion))))
        return CompanionLeft::TargetInside;
    struct stat existing;
    if (lstat(joinPath(to.folder, nameOf(companion)).c_str(), &existing) == 0)
        return CompanionLeft::NameTaken;
    unit.companion = companion;
    return std::nullopt;
}

} // namespace

FileFailure transferItem(FileAction action, const std::string& source, const std::string& companion,
                         const std::string& target, std::uint16_t flags,
                         FileOperationDialogs& dialogs, FileOperationReport::Entry* done)
{
    struct stat item;
    if (lstat(source.c_str(), &item) != 0)
        return systemFailure(errno, source);
    Destination to;
    if (const FileFailure failure =
            checkDestination(action, source, S_ISDIR(item.st_mode), target, to))
        return failure;
    std::string madeFolder;
    if (const FileFailure failure =
            targetFolderReady(to.folder, source, flags, dialogs, madeFolder))
        return failure;
    removeAbandonedTemporaries(to.folder);

    Unit unit;
    unit.item = source;
    unit.itemIsFolder = S_ISDIR(item.st_mode);
    unit.itemChoice = itemNameChoice(action, to, flags);
    struct stat existing;
    if (!unit.itemChoice.otherNames && lstat(to.path.c_str(), &existing) == 0)
        return nameTaken(source, to.path);
    std::optional<CompanionLeft> left = decideCompanion(companion, to, unit);

    FileProgress progress(action);
    progress.setItem(source);
    const FileFailure failure = runInBackground(dialogs, progress, [&] {
        return action == FileAction::Move ? moveWork(unit, to.folder, progress)
                                          : copyWork(unit, to.folder, progress);
    });
    if (failure)
        return failure;
    if (done) {
        done->item = {source, unit.itemPlaced, {}};
        done->madeFolder = madeFolder;
        if (!unit.companionPlaced.empty())
            done->companion = PlacedItem{unit.companion, unit.companionPlaced, {}};
    }
    if (unit.companionLeft)
        left = CompanionLeft::NameTaken;
    if (left)
        dialogs.showWarning(
            companionLeftWarning(action, *left, source, nameOf(companion), to.folder));
    return {};
}

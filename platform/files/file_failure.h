#pragma once

#include <string>

// What the service was asked to do with an item.
enum class FileAction {
    Trash,
    Rename,
    Copy,
    Move,
    Restore, // an item put back where it was, out of the trash or from where it was moved
};

// Why an item could not be handled.
enum class FileProblem {
    None,
    System,          // a system call failed: `code` holds its errno value
    Cancelled,       // the user cancelled (the progress "Annuler", or "Non" to a question)
    NotLocalPath,    // not an absolute local path (a web address, "file://", a relative path)
    BadRequest,      // no name in the source list, or lists that do not pair up
    UnknownFunction, // a function other than move, copy, delete and rename
    RenameElsewhere, // a rename whose new name is in another folder
    BadName,         // an empty name, "." or ".."
    SameItem,        // a move of an item onto itself
    IntoItself,      // a folder copied or moved into itself
    SpecialFile,     // a device or socket inside a folder to copy
    NotInTrash,      // a trashed item to restore whose entry is no longer in the trash
    NameClash,       // the target holds two names of a folder as one (no case distinction)
    ShortCopy,       // the copy ended with fewer bytes than its source held
    NameTaken,       // `other`, the item's new place, is taken by another item
    SlashInName,     // a new name holding "/": a rename stays in its folder
    NameTooLong,     // `other`, a new name, has more bytes than `code`, the most its folder takes
};

// The outcome of one step: no problem, or the problem and the item it concerns.
struct FileFailure {
    FileProblem problem = FileProblem::None;
    int code = 0;      // errno value for FileProblem::System; the byte limit for NameTooLong
    std::string item;  // the path that the message names
    std::string other; // NameClash: the name that `item`'s name cannot be told apart from;
                       // NameTaken, NameTooLong: the new place or name

    explicit operator bool() const { return problem != FileProblem::None; }
};

inline FileFailure systemFailure(int code, const std::string& item)
{
    return {FileProblem::System, code, item, {}};
}

inline FileFailure problemWith(FileProblem problem, const std::string& item)
{
    return {problem, 0, item, {}};
}

// The item cannot go to `place`: another item is there.
inline FileFailure nameTaken(const std::string& item, const std::string& place)
{
    return {FileProblem::NameTaken, 0, item, place};
}

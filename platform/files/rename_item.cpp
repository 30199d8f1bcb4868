#include "platform/base/local_path.h"
#include "platform/base/name_length.h"
#include "platform/files/no_replace_rename.h"
#include "platform/files/operations.h"

#include <cerrno>
#include <sys/stat.h>

FileFailure renameItem(const std::string& source, const std::string& target)
{
    // A new name that holds "/" reads as a path into another folder: say what is wrong with it.
    const std::string folder = parentOf(source);
    const std::string inFolder = folder == "/" ? folder : folder + "/";
    if (target.compare(0, inFolder.size(), inFolder) == 0 &&
        target.find('/', inFolder.size()) != std::string::npos)
        return problemWith(FileProblem::SlashInName, source);
    if (isBadName(nameOf(target)))
        return problemWith(FileProblem::BadName, source);
    if (const std::size_t longest = longestNameIn(folder); nameOf(target).size() > longest)
        return {FileProblem::NameTooLong, int(longest), source, nameOf(target)};
    struct stat item;
    if (lstat(source.c_str(), &item) != 0)
        return systemFailure(errno, source);
    struct stat from;
    struct stat to;
    if (stat(parentOf(source).c_str(), &from) != 0)
        return systemFailure(errno, source);
    if (stat(parentOf(target).c_str(), &to) != 0 || from.st_dev != to.st_dev ||
        from.st_ino != to.st_ino)
        return problemWith(FileProblem::RenameElsewhere, source);
    // The name it already has: nothing to change.
    if (nameOf(target) == nameOf(source))
        return {};
    const int error = renameNoReplace(source, target);
    if (error == EEXIST)
        return nameTaken(source, target);
    return error ? systemFailure(error, source) : FileFailure{};
}

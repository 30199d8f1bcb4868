#include "platform/fileops/local_path.h"
#include "platform/fileops/no_replace_rename.h"
#include "platform/fileops/operations.h"

#include <cerrno>
#include <sys/stat.h>

FileFailure renameItem(const std::string& source, const std::string& target)
{
    if (isBadName(nameOf(target)))
        return problemWith(FileProblem::BadName, source);
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
    return error ? systemFailure(error, source) : FileFailure{};
}

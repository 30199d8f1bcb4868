#include "platform/files/no_replace_rename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// For file systems without RENAME_NOREPLACE (network ones): a hard link fails when the name is
// taken, which keeps files safe; folders get a check just before the rename.
int renameByLinkOrCheck(const std::string& from, const std::string& to)
{
    struct stat st;
    if (lstat(from.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (link(from.c_str(), to.c_str()) == 0)
            return unlink(from.c_str()) == 0 ? 0 : errno;
        if (errno == EEXIST || errno == EXDEV)
            return errno;
    }
    if (lstat(to.c_str(), &st) == 0)
        return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

int renameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        // EINVAL also means a folder moved into itself: the fallback's rename reports it again.
        return renameByLinkOrCheck(from, to);
    }
    return error;
}

#include "platform/files/free_name.h"

#include "platform/base/local_path.h"
#include "platform/base/name_length.h"
#include "platform/files/no_replace_rename.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Enough for any real folder; stops a loop on a file system that answers EEXIST to everything.
constexpr unsigned kMostAttempts = 100000;

} // namespace

int flushFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return result;
}

int placeUnderFreeName(const std::string& item, const std::string& folder, const NameChoice& choice,
                       std::string& finalPath)
{
    const std::size_t longest = longestNameIn(folder);
    for (unsigned attempt = choice.firstAttempt; attempt < kMostAttempts; ++attempt) {
        const std::string target =
            joinPath(folder, collisionName(choice.name, choice.style, attempt, longest));
        const int error = renameNoReplace(item, target);
        if (error == 0) {
            finalPath = target;
            return 0;
        }
        if (error != EEXIST || !choice.otherNames)
            return error;
    }
    return EEXIST;
}

#include "platform/base/make_folders.h"

#include "platform/base/local_path.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

int makeFolders(const std::string& path, mode_t mode, std::string* firstMade)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = parentOf(path);
    if (!parent.empty() && parent != path) {
        if (const int error = makeFolders(parent, mode, firstMade))
            return error;
    }
    if (mkdir(path.c_str(), mode) == 0) {
        if (firstMade && firstMade->empty())
            *firstMade = path;
        return 0;
    }
    return errno == EEXIST ? 0 : errno;
}

void removeEmptyFolders(const std::string& folder, const std::string& top)
{
    for (std::string path = withoutTrailingSlashes(folder);
         path.compare(0, top.size(), top) == 0 && rmdir(path.c_str()) == 0 && path != top;
         path = parentOf(path)) {
    }
}

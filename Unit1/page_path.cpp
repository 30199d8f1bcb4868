#include "Unit1/page_path.h"

#include "Unit1/Nom_Long.h"
#include "Unit1/path_pieces.h"
#include "platform/base/local_path.h"

#include <cerrno>
#include <unistd.h>

namespace {

std::string currentFolder()
{
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

} // namespace

std::string pagePathFor(const std::string& path)
{
    // A relative path names a file of the current folder, as a shell user means it.
    std::string absolute = path;
    if (absolute.empty() || absolute.front() != '/') {
        std::string relative = path;
        while (relative.rfind("./", 0) == 0)
            relative.erase(0, 2);
        std::string cwd = currentFolder();
        if (!cwd.empty() && cwd.back() != '/')
            cwd.push_back('/');
        absolute = cwd + relative;
    }
    return joinPath(folderWithoutDelimiterOf(absolute), Nom_Long(absolute));
}

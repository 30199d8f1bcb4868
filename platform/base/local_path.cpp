#include "platform/base/local_path.h"

#include <cerrno>
#include <cstdlib>

bool isAbsoluteLocalPath(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

std::string withoutTrailingSlashes(const std::string& path)
{
    auto end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return path.empty() ? path : "/";
    return path.substr(0, end + 1);
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const auto end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool isBadName(const std::string& name)
{
    return name.empty() || name == "." || name == "..";
}

std::optional<std::string> realPathOf(const std::string& path, int* error)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (error)
        *error = real ? 0 : errno;
    if (!real)
        return std::nullopt;
    std::string result = real;
    std::free(real);
    return result;
}

std::string resolvedItemPath(const std::string& path, int& error)
{
    const std::optional<std::string> folder = realPathOf(parentOf(path), &error);
    return folder ? joinPath(*folder, nameOf(path)) : std::string();
}

std::string resolvedFolderPath(const std::string& folder, int& error)
{
    std::string existing = withoutTrailingSlashes(folder);
    std::string missing;
    std::optional<std::string> resolved;
    while (!(resolved = realPathOf(existing, &error))) {
        if (error != ENOENT || parentOf(existing).empty() || existing == "/")
            return {};
        missing = "/" + nameOf(existing) + missing;
        existing = parentOf(existing);
    }
    return *resolved == "/" && !missing.empty() ? missing : *resolved + missing;
}

bool isSameOrInside(const std::string& inner, const std::string& outer)
{
    if (outer == "/")
        return true;
    return inner == outer ||
           (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
            inner[outer.size()] == '/');
}

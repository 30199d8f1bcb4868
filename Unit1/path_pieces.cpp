#include "Unit1/path_pieces.h"

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderWithDelimiterOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string folderWithoutDelimiterOf(const std::string& path)
{
    std::string folder = folderWithDelimiterOf(path);
    // A root keeps its delimiter: "/" alone, or a "/" right after another one, is part of the
    // folder.
    if (folder.size() > 1 && folder[folder.size() - 2] != '/')
        folder.pop_back();
    return folder;
}

std::string extensionOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

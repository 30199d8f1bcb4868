#include "platform/files/name_list.h"

std::vector<std::string> parseNameList(const std::string& list)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < list.size()) {
        const auto end = list.find('\0', start);
        const std::string name = list.substr(start, end - start);
        if (name.empty())
            break;
        names.push_back(name);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

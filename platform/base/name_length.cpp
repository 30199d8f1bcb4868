#include "platform/base/name_length.h"

#include <unistd.h>

namespace {

constexpr std::size_t kCommonLongest = 255;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::size_t longestNameIn(const std::string& folder)
{
    const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    return longest > 0 && static_cast<std::size_t>(longest) < kCommonLongest
               ? static_cast<std::size_t>(longest)
               : kCommonLongest;
}

std::string cutToFit(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    std::size_t end = bytes;
    while (end > 0 && isContinuationByte(text[end]))
        --end;
    return text.substr(0, end);
}

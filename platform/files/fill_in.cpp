#include "platform/files/fill_in.h"

#include <vector>

std::string fillIn(const std::string& text, std::initializer_list<std::string> values)
{
    const std::vector<std::string> list(values);
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && index < list.size()) {
            result += list[index];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

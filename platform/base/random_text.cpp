#include "platform/base/random_text.h"

#include <QRandomGenerator>

std::string randomHexDigits(std::size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count);
    quint32 word = 0;
    for (std::size_t i = 0; i < count; ++i, word >>= 4) {
        if (i % 8 == 0)
            word = QRandomGenerator::system()->generate();
        text.push_back(digits[word & 0xF]);
    }
    return text;
}

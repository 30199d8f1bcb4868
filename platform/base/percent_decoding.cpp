#include "platform/base/percent_decoding.h"

#include "platform/base/ascii_text.h"

std::string percentDecoded(std::string_view text, bool* malformed)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
        } else if (i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
            if (malformed)
                *malformed = true;
        }
    }
    return out;
}

#include "platform/base/shown_text.h"

#include <vector>

namespace {

// One character as shown, and where its bytes start.
struct ShownCharacter {
    QString text;
    std::size_t start = 0;
};

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t sequenceLength(const std::string& bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid =
        code >= smallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    return valid ? length : 0;
}

std::vector<ShownCharacter> shownCharacters(const std::string& bytes)
{
    std::vector<ShownCharacter> characters;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, at);
        if (length == 0) {
            characters.push_back({QString(QChar::ReplacementCharacter), at});
            ++at;
        } else {
            characters.push_back(
                {QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(length)), at});
            at += length;
        }
    }
    return characters;
}

} // namespace

QString shownText(const std::string& bytes)
{
    QString text;
    for (const ShownCharacter& character : shownCharacters(bytes))
        text += character.text;
    return text;
}

std::string editedBytes(const std::string& original, const QString& edited)
{
    const std::vector<ShownCharacter> characters = shownCharacters(original);
    const auto startOf = [&](std::size_t index) {
        return index < characters.size() ? characters[index].start : original.size();
    };
    // The characters left as shown at the start, then at the end (never the same ones twice).
    std::size_t first = 0;
    qsizetype from = 0;
    while (first < characters.size() &&
           QStringView(edited).sliced(from).startsWith(characters[first].text)) {
        from += characters[first].text.size();
        ++first;
    }
    std::size_t last = characters.size();
    qsizetype to = edited.size();
    while (last > first && to - from >= characters[last - 1].text.size() &&
           QStringView(edited).sliced(0, to).endsWith(characters[last - 1].text)) {
        to -= characters[last - 1].text.size();
        --last;
    }
    const QByteArray typed = edited.sliced(from, to - from).toUtf8();
    return original.substr(0, startOf(first)) + typed.toStdString() +
           original.substr(startOf(last));
}

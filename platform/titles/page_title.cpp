#include "platform/titles/page_title.h"

#include "platform/base/ascii_text.h"
#include "platform/base/file_descriptor.h"
#include "platform/base/html_tags.h"
#include "platform/base/page_names.h"

#include <QByteArray>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Labels that browsers read as Windows-1252 although a decoder of their own exists.
constexpr std::array<std::string_view, 13> kWindows1252Labels = {
    "ascii",     "cp1252",     "cp819", "csisolatin1", "ibm819",   "iso-8859-1", "iso-ir-100",
    "iso8859-1", "iso_8859-1", "l1",    "latin1",      "us-ascii", "x-cp1252"};

QStringDecoder windows1252()
{
    QStringDecoder decoder("windows-1252");
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::Latin1);
}

// The decoder for a character set's label, or none when it is unknown. In a page's <meta>, a
// UTF-16 label means UTF-8, since the bytes read it were ASCII.
std::optional<QStringDecoder> decoderFor(std::string_view label, bool inPage)
{
    std::string name = asciiLowerCase(std::string(trimmed(label, htmlSpace)));
    if (name.empty())
        return std::nullopt;
    for (std::string_view known : kWindows1252Labels)
        if (name == known)
            return windows1252();
    if (inPage && name.rfind("utf-16", 0) == 0)
        name = "utf-8";
    QStringDecoder decoder(name.c_str());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder;
}

// The charset named in a content type: "text/html; charset=koi8-r".
std::string_view charsetOfContentType(std::string_view content)
{
    const std::size_t at = findIgnoringCase(content, "charset");
    if (at == npos)
        return {};
    std::size_t i = at + 7;
    while (i < content.size() && isHtmlSpace(content[i]))
        ++i;
    if (i >= content.size() || content[i] != '=')
        return {};
    ++i;
    while (i < content.size() && isHtmlSpace(content[i]))
        ++i;
    if (i < content.size() && (content[i] == '"' || content[i] == '\''))
        ++i;
    std::size_t end = i;
    while (end < content.size() && !isHtmlSpace(content[end]) && content[end] != ';' &&
           content[end] != '"' && content[end] != '\'')
        ++end;
    return content.substr(i, end - i);
}

// The character set that a <meta> tag in the first kilobyte declares, as a browser looks for it.
std::string_view declaredCharset(std::string_view start)
{
    std::string_view label;
    forEachStartTag(start.substr(0, 1024), [&](const StartTag& tag) {
        if (!equalsIgnoringCase(tag.name, "meta"))
            return true;
        std::string_view content;
        bool contentType = false;
        for (const auto& [name, value] : tag.attributes) {
            if (equalsIgnoringCase(name, "charset"))
                label = trimmed(value, htmlSpace);
            else if (equalsIgnoringCase(name, "content"))
                content = value;
            else if (equalsIgnoringCase(name, "http-equiv"))
                contentType = equalsIgnoringCase(trimmed(value, htmlSpace), "content-type");
        }
        if (label.empty() && contentType)
            label = charsetOfContentType(content);
        return label.empty();
    });
    return label;
}

// The raw text of the first <title> element, up to its end tag or the end of what was read.
std::optional<std::string_view> titleText(std::string_view html)
{
    std::optional<std::size_t> start;
    forEachStartTag(html, [&](const StartTag& tag) {
        if (!equalsIgnoringCase(tag.name, "title"))
            return true;
        start = tag.end;
        return false;
    });
    if (!start)
        return std::nullopt;
    const std::size_t end = findIgnoringCase(html, "</title", *start);
    return html.substr(*start, end == npos ? npos : end - *start);
}

// The named character references of titles: Latin-1's, in the order of their code points from
// U+00A0, then the others that pages use.
constexpr std::array<const char*, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedReference {
    std::string_view name;
    char16_t character;
    bool legacy; // also read without its ";"
};
constexpr NamedReference kOtherNames[] = {
    {"amp", u'&', true},          {"lt", u'<', true},           {"gt", u'>', true},
    {"quot", u'"', true},         {"AMP", u'&', true},          {"LT", u'<', true},
    {"GT", u'>', true},           {"QUOT", u'"', true},         {"COPY", u'\u00a9', true},
    {"REG", u'\u00ae', true},     {"apos", u'\'', false},       {"OElig", u'\u0152', false},
    {"oelig", u'\u0153', false},  {"Scaron", u'\u0160', false}, {"scaron", u'\u0161', false},
    {"Yuml", u'\u0178', false},   {"fnof", u'\u0192', false},   {"circ", u'\u02c6', false},
    {"tilde", u'\u02dc', false},  {"ensp", u'\u2002', false},   {"emsp", u'\u2003', false},
    {"thinsp", u'\u2009', false}, {"zwnj", u'\u200c', false},   {"zwj", u'\u200d', false},
    {"ndash", u'\u2013', false},  {"mdash", u'\u2014', false},  {"lsquo", u'\u2018', false},
    {"rsquo", u'\u2019', false},  {"sbquo", u'\u201a', false},  {"ldquo", u'\u201c', false},
    {"rdquo", u'\u201d', false},  {"bdquo", u'\u201e', false},  {"dagger", u'\u2020', false},
    {"Dagger", u'\u2021', false}, {"bull", u'\u2022', false},   {"hellip", u'\u2026', false},
    {"permil", u'\u2030', false}, {"lsaquo", u'\u2039', false}, {"rsaquo", u'\u203a', false},
    {"euro", u'\u20ac', false},   {"trade", u'\u2122', false},  {"larr", u'\u2190', false},
    {"rarr", u'\u2192', false}};

// The character a reference's name stands for, and whether it may go without ";".
std::optional<NamedReference> namedReference(QStringView name)
{
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
        if (name == QLatin1String(kLatin1Names[i]))
            return NamedReference{{}, static_cast<char16_t>(0xA0 + i), true};
    for (const NamedReference& known : kOtherNames)
        if (name == QLatin1String(known.name.data(), qsizetype(known.name.size())))
            return known;
    return std::nullopt;
}

QString numericReference(char32_t code)
{
    // C1 codes name the Windows-1252 characters, as they did for old pages.
    if (code >= 0x80 && code <= 0x9F) {
        const char byte = static_cast<char>(code);
        return windows1252()(QByteArrayView(&byte, 1));
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return QString(QChar::ReplacementCharacter);
    return QString::fromUcs4(&code, 1);
}

// The text with its character references replaced, as in an HTML title.
QString withReferencesReplaced(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        qsizetype j = i + 1;
        if (j < size && text[j] == u'#') {
            const bool hex = j + 1 < size && (text[j + 1] == u'x' || text[j + 1] == u'X');
            j += hex ? 2 : 1;
            const qsizetype first = j;
            char32_t code = 0;
            while (j < size && text[j].unicode() < 0x80 &&
                   (hex ? hexValue(char(text[j].unicode())) >= 0 : text[j].isDigit())) {
                if (code <= 0x10FFFF)
                    code = code * (hex ? 16 : 10) + char32_t(hexValue(char(text[j].unicode())));
                ++j;
            }
            if (j == first) {
                out += text[i++];
                continue;
            }
            out += numericReference(code);
            i = j < size && text[j] == u';' ? j + 1 : j;
            continue;
        }
        while (j < size && j - i <= 32 && text[j].unicode() < 0x80 && text[j].isLetterOrNumber())
            ++j;
        const QStringView name = QStringView(text).sliced(i + 1, j - i - 1);
        const std::optional<NamedReference> whole = namedReference(name);
        if (whole && j < size && text[j] == u';') {
            out += QChar(whole->character);
            i = j + 1;
            continue;
        }
        // Without ";", the longest legacy name that starts the run counts ("&copy2023").
        bool replaced = false;
        for (qsizetype length = name.size(); length > 1 && !replaced; --length) {
            const std::optional<NamedReference> legacy = namedReference(name.first(length));
            if (legacy && legacy->legacy) {
                out += QChar(legacy->character);
                i += 1 + length;
                replaced = true;
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

// Runs of ASCII white space made one space, none at either end.
QString collapsedSpace(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (QChar c : text) {
        if (c.unicode() < 0x80 && isHtmlSpace(char(c.unicode()))) {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += u' ';
        space = false;
        out += c;
    }
    return out;
}

// Header text outside encoded-words: UTF-8 when it is, else Windows-1252.
QString plainHeaderText(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    return view.isValidUtf8() ? QString::fromUtf8(view) : QString(windows1252()(view));
}

// One encoded-word, "=?charset?B?...?=" or "=?charset?Q?...?=", at the start of `text`: its text
// and its length, or none.
std::optional<std::pair<QString, std::size_t>> encodedWord(std::string_view text)
{
    if (text.substr(0, 2) != "=?")
        return std::nullopt;
    const std::size_t charsetEnd = text.find('?', 2);
    if (charsetEnd == npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
        return std::nullopt;
    const std::size_t end = text.find("?=", charsetEnd + 3);
    if (end == npos)
        return std::nullopt;
    std::string_view charset = text.substr(2, charsetEnd - 2);
    charset = charset.substr(0, charset.find('*')); // a language may follow
    const char encoding = asciiLower(text[charsetEnd + 1]);
    const std::string_view payload = text.substr(charsetEnd + 3, end - charsetEnd - 3);
    QByteArray bytes;
    if (encoding == 'b') {
        bytes = QByteArray::fromBase64(QByteArray(payload.data(), qsizetype(payload.size())));
    } else if (encoding == 'q') {
        for (std::size_t i = 0; i < payload.size(); ++i) {
            if (payload[i] == '_') {
                bytes += ' ';
            } else if (payload[i] == '=' && i + 2 < payload.size() &&
                       hexValue(payload[i + 1]) >= 0 && hexValue(payload[i + 2]) >= 0) {
                bytes += char(hexValue(payload[i + 1]) * 16 + hexValue(payload[i + 2]));
                i += 2;
            } else {
                bytes += payload[i];
            }
        }
    } else {
        return std::nullopt;
    }
    std::optional<QStringDecoder> decoder = decoderFor(charset, false);
    const QString decoded =
        decoder ? QString((*decoder)(bytes)) : plainHeaderText(bytes.toStdString());
    return std::pair(decoded, end + 2);
}

// A header's value with its encoded-words decoded; white space between two of them goes.
QString decodedHeader(std::string_view value)
{
    QString out;
    std::size_t plainStart = 0;
    std::size_t lastWordEnd = npos;
    for (std::size_t i = 0; i < value.size();) {
        const std::optional<std::pair<QString, std::size_t>> word = encodedWord(value.substr(i));
        if (!word) {
            ++i;
            continue;
        }
        const std::string_view between = value.substr(plainStart, i - plainStart);
        if (!(lastWordEnd == plainStart && trimmed(between, htmlSpace).empty()))
            out += plainHeaderText(between);
        out += word->first;
        i += word->second;
        plainStart = lastWordEnd = i;
    }
    out += plainHeaderText(value.substr(plainStart));
    return out;
}

} // namespace

QString titleOfHtml(std::string_view start)
{
    std::optional<QStringDecoder> decoder;
    QByteArray fromUtf16;
    if (start.substr(0, 3) == "\xEF\xBB\xBF") {
        start.remove_prefix(3);
        decoder.emplace(QStringConverter::Utf8);
    } else if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
        // Read as UTF-8 from here on, where the markup is ASCII.
        QStringDecoder utf16(start[0] == '\xFF' ? QStringConverter::Utf16LE
                                                : QStringConverter::Utf16BE);
        fromUtf16 =
            QString(utf16(QByteArrayView(start.data() + 2, qsizetype(start.size() - 2)))).toUtf8();
        start = std::string_view(fromUtf16.constData(), std::size_t(fromUtf16.size()));
        decoder.emplace(QStringConverter::Utf8);
    } else {
        decoder = decoderFor(declaredCharset(start), true);
    }
    const std::optional<std::string_view> raw = titleText(start);
    if (!raw)
        return {};
    QStringDecoder decode = decoder ? std::move(*decoder) : windows1252();
    return collapsedSpace(
        withReferencesReplaced(decode(QByteArrayView(raw->data(), qsizetype(raw->size())))));
}

QString titleOfWebArchive(std::string_view start)
{
    // The header block ends at the first empty line; a line that starts with white space goes on
    // the one before.
    std::string subject;
    bool inSubject = false;
    for (std::size_t at = 0; at < start.size();) {
        std::size_t end = start.find('\n', at);
        if (end == npos)
            end = start.size();
        std::string_view line = start.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            break;
        if (line[0] == ' ' || line[0] == '\t') {
            if (inSubject)
                subject += line;
            continue;
        }
        inSubject = startsWithIgnoringCase(line, 0, "subject:");
        if (inSubject)
            subject = line.substr(8);
    }
    return collapsedSpace(decodedHeader(subject));
}

QString readPageTitle(const std::string& path)
{
    // Not blocking: a FIFO opened for reading would wait for a writer.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.isOpen())
        return {};
    struct stat info;
    std::string start;
    if (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode))
        start = readFirstBytes(file.get(), std::min<std::size_t>(kTitleReach, info.st_size));
    return isWebArchive(path) ? titleOfWebArchive(start) : titleOfHtml(start);
}

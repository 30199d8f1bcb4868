#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// Bytes read as ASCII whatever the text's encoding: the letters A to Z and a to z only, the white
// space of HTML, hexadecimal digits.

inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with the letters A to Z lowered; every other byte stays as it is.
inline std::string asciiLowerCase(std::string text)
{
    for (char& c : text)
        c = asciiLower(c);
    return text;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

inline bool startsWithIgnoringCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    return text.size() - std::min(at, text.size()) >= prefix.size() &&
           equalsIgnoringCase(text.substr(at, prefix.size()), prefix);
}

inline std::size_t findIgnoringCase(std::string_view text, std::string_view what,
                                    std::size_t from = 0)
{
    for (std::size_t at = from; at + what.size() <= text.size(); ++at)
        if (startsWithIgnoringCase(text, at, what))
            return at;
    return std::string_view::npos;
}

// Space, tab, line feed, carriage return and form feed.
inline constexpr std::string_view htmlSpace = " \t\n\r\f";

inline bool isHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The text without the bytes of `blanks` at either end.
inline std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

inline bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of a hexadecimal digit, or -1.
inline int hexValue(char c)
{
    if (isAsciiDigit(c))
        return c - '0';
    c = asciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

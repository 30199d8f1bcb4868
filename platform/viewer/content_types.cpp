#include "platform/viewer/content_types.h"

#include "platform/base/ascii_text.h"

#include <utility>

std::string contentTypeByName(const std::string& path)
{
    static const std::pair<const char*, const char*> types[] = {
        {"htm", "text/html"},
        {"html", "text/html"},
        {"shtml", "text/html"},
        {"xhtml", "application/xhtml+xml"},
        {"xht", "application/xhtml+xml"},
        {"xml", "text/xml"},
        {"txt", "text/plain"},
        {"text", "text/plain"},
        {"css", "text/css"},
        {"js", "text/javascript"},
        {"mjs", "text/javascript"},
        {"json", "application/json"},
        {"pdf", "application/pdf"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"jpe", "image/jpeg"},
        {"jfif", "image/jpeg"},
        {"gif", "image/gif"},
        {"webp", "image/webp"},
        {"avif", "image/avif"},
        {"svg", "image/svg+xml"},
        {"svgz", "image/svg+xml"},
        {"ico", "image/x-icon"},
        {"bmp", "image/bmp"},
        {"woff", "font/woff"},
        {"woff2", "font/woff2"},
        {"ttf", "font/ttf"},
        {"otf", "font/otf"},
        {"mp4", "video/mp4"},
        {"m4v", "video/mp4"},
        {"webm", "video/webm"},
        {"ogv", "video/ogg"},
        {"ogg", "audio/ogg"},
        {"oga", "audio/ogg"},
        {"mp3", "audio/mpeg"},
        {"wav", "audio/wav"},
        {"m4a", "audio/mp4"},
        {"flac", "audio/flac"},
        {"vtt", "text/vtt"},
    };
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    const std::string extension = asciiLowerCase(path.substr(dot + 1));
    for (const auto& [known, type] : types)
        if (extension == known)
            return type;
    return {};
}

std::string contentEncodingByName(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return asciiLowerCase(path.substr(dot + 1)) == "svgz" ? "gzip" : "";
}

std::string contentTypeBySniffing(const std::string& firstBytes)
{
    std::string start = asciiLowerCase(firstBytes.substr(0, 1024));
    if (start.rfind("\xEF\xBB\xBF", 0) == 0)
        start.erase(0, 3);
    const auto first = start.find_first_not_of(" \t\r\n\f");
    if (first == std::string::npos)
        return "text/plain";
    for (const char* tag : {"<!doctype html", "<html", "<head", "<body", "<!--", "<meta", "<title",
                            "<script", "<p", "<div", "<table", "<h1", "<a ", "<br", "<b>"})
        if (start.compare(first, std::char_traits<char>::length(tag), tag) == 0)
            return "text/html";
    return "text/plain";
}

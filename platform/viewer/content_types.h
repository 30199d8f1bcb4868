#pragma once

#include <string>

// The content type that a file's extension (any case) gives, or "" when the extension is unknown.
std::string contentTypeByName(const std::string& path);

// The content encoding that a file's extension gives ("gzip" for a compressed SVG picture), or "".
std::string contentEncodingByName(const std::string& path);

// For a file shown as a page whose name says nothing: HTML when its first bytes look like it, else
// plain text.
std::string contentTypeBySniffing(const std::string& firstBytes);

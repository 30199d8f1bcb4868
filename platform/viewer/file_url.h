#pragma once

#include <QUrl>

#include <string>

// Local paths travel to and from the engine percent-encoded byte by byte, so that no name (invalid
// UTF-8, a newline, "#" or "%") is altered on the way.

// The URL the engine loads for an address held by the program: a local path, a URL, or "" (blank).
QUrl urlForAddress(const std::string& address);

// The address reported for a loaded URL: a local file as its plain path plus "#fragment" if any;
// anything else as its full URL text.
std::string addressOfUrl(const QUrl& url);

// The plain local path of a file URL (no fragment), or "" for any other URL.
std::string localPathOfUrl(const QUrl& url);

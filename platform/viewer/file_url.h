#pragma once

#include <QUrl>

#include <string>

// Local paths travel to and from the engine percent-encoded byte by byte, so that no name (invalid
// UTF-8, a newline, "#" or "%") is altered on the way. The engine shows a local document as a page
// URL, "vpage://HOST/path", each document under a host of its own (see document_hosts.h).

inline constexpr char localPageScheme[] = "vpage";

// The page URL of a local path shown under `host`.
QUrl pageUrlFor(const std::string& host, const std::string& path);

// The file URL of a local path.
QUrl fileUrlFor(const std::string& path);

// Whether the URL names a local file: a file URL or a page URL.
bool isLocalUrl(const QUrl& url);

// The plain local path of a file or page URL (no fragment), or "" for any other URL.
std::string localPathOfUrl(const QUrl& url);

// The address reported for a loaded URL: a local file as its plain path plus "#fragment" if any;
// anything else as its full URL text.
std::string addressOfUrl(const QUrl& url);

// The address as shown to the user in a sentence: a local file as its path.
QString displayedAddressOf(const QUrl& url);

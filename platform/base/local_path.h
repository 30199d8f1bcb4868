#pragma once

#include <optional>
#include <string>

// Absolute local paths: their pieces and checks, "/" being the only delimiter.

// True for a path that starts with "/": a web address, "file://..." or a relative path is not one.
bool isAbsoluteLocalPath(const std::string& path);

// The path without the "/" that end it; the root stays "/".
std::string withoutTrailingSlashes(const std::string& path);

// The folder holding an item ("/d/a" gives "/d", "/a" gives "/").
std::string parentOf(const std::string& path);

// The last piece of a path ("/d/a" gives "a").
std::string nameOf(const std::string& path);

// The folder and the name joined by one "/".
std::string joinPath(const std::string& folder, const std::string& name);

// True for an empty name, "." or "..": none of them names a new item.
bool isBadName(const std::string& name);

// The path with every link and "." or ".." resolved (realpath), or none when some piece of it
// cannot be resolved; `error` then takes the errno value when given.
std::optional<std::string> realPathOf(const std::string& path, int* error = nullptr);

// The item's path with its folder resolved (links and ".." followed); the item itself is not
// followed, so a link stays the link. Empty, with `error` set, when the folder cannot be resolved.
std::string resolvedItemPath(const std::string& path, int& error);

// A folder's path resolved as above, also when it does not exist yet: its nearest existing folder
// resolved, followed by the pieces still missing. Empty, with `error` set, on another failure.
std::string resolvedFolderPath(const std::string& folder, int& error);

// True when `inner` is `outer` or lies inside it (both resolved paths).
bool isSameOrInside(const std::string& inner, const std::string& outer);

#pragma once

#include <ctime>
#include <string>

// The pieces of a freedesktop.org trash entry.

// A path with every byte outside "A-Z a-z 0-9 - . _ ~ /" written as "%XX" (upper case).
std::string percentEncodePath(const std::string& path);

// "YYYY-MM-DDThh:mm:ss" in local time.
std::string deletionDateText(std::time_t when);

// The whole content of an info file: its section, the encoded path and the date.
std::string trashInfoText(const std::string& pathField, std::time_t when);

// The name of a trashed item at an attempt: 1 is the item's own name, then "name.2.ext",
// "name.3.ext"... kept short enough for "NAME.trashinfo" to fit in 255 bytes.
std::string trashEntryName(const std::string& name, unsigned attempt);

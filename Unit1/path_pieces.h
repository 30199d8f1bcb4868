#pragma once

#include <string>

// Pieces of a path, "/" being the only delimiter.

// The text after the last "/".
std::string fileNameOf(const std::string& path);

// The text up to and including the last "/".
std::string folderWithDelimiterOf(const std::string& path);

// As above, with that last "/" dropped unless it is the first character or follows another "/"
// ("/d/page.htm" gives "/d", "/page.htm" gives "/", "page.htm" gives "").
std::string folderWithoutDelimiterOf(const std::string& path);

// The text from the last "." on, when that "." comes after the last "/"; else empty.
std::string extensionOf(const std::string& path);

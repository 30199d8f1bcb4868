#pragma once

#include <QString>

#include <string>

// The name proposed for a page after its title, one that FAT, exFAT and NTFS take as well: the
// characters they refuse (\ / : * ? " < > | and control characters) and any other white space
// become a space, a run of spaces one space, with no space or dot at either end; the page's
// extension (from `currentName`) is kept and the whole fits in 255 bytes of UTF-8, never cut inside
// a character. A page without a title, or with nothing left of it, keeps `currentName`.
std::string nameFromTitle(const QString& title, const std::string& currentName);

#pragma once

#include <cstddef>
#include <string>

// Reading and writing one key of a profile (INI) file, with the exact rules of the classic
// private-profile functions, so that a file edited by hand or written by another build reads the
// same. Section, key and value are 8-bit byte strings passed through unchanged.
namespace profile {

// The value of `key` in `section`, or `defaultValue` (trailing spaces removed) when the file, the
// section or the key is missing. At most bufferSize - 1 characters come back.
std::string readString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, std::size_t bufferSize,
                       const std::string& filePath);

// Writes `key`=`value` in `section`, changing only the affected line. Returns false, leaving the
// file exactly as it was, when the file cannot be written. Never leaves a half-written file.
bool writeString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& filePath);

} // namespace profile

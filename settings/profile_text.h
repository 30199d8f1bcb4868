#pragma once

#include <optional>
#include <string>
#include <string_view>

// The rules of a profile (INI) file's text, apart from any file: finding one key and writing one
// key. Bytes are passed through unchanged; names match without regard to ASCII letter case, after
// the names asked for are stripped of spaces.
namespace profile {

// The value of `key` in the first section named `section`, trimmed of blanks but still quoted, or
// nothing when that section or that key in it is missing.
std::optional<std::string_view> findValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// `text` with `key`=`value` written in `section`: the key's line is replaced, or one line is added
// after the section's last key, or the section is appended; every other byte stays as it was.
std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

} // namespace profile

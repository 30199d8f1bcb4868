#pragma once

#include <optional>
#include <string_view>

// The integer reading rule of the settings file: decimal with an optional sign, or hexadecimal
// ("$", "x", "0x"), 32-bit; nothing may follow the digits. Empty when the text does not parse.
std::optional<int> parseSettingsInteger(std::string_view text);

#pragma once

#include <string>
#include <string_view>

// The bytes a percent-encoded text stands for: each "%XY" (two hexadecimal digits) becomes the
// byte XY. A "%" without two digits after it stays as it is, and `malformed`, when given, is then
// set to true.
std::string percentDecoded(std::string_view text, bool* malformed = nullptr);

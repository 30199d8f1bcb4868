#pragma once

#include <cstddef>
#include <string>

// `count` hexadecimal digits (0-9, a-f) from the system's source of randomness, for names and
// secrets that nobody else may guess or take.
std::string randomHexDigits(std::size_t count);

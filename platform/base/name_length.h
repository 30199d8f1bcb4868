#pragma once

#include <cstddef>
#include <string>

// Names within the length that a file system allows, counted in bytes.

// The longest name the file system of `folder` takes, at most 255 bytes (255 when it cannot tell).
std::size_t longestNameIn(const std::string& folder);

// The text cut to at most `bytes` bytes, never inside a UTF-8 sequence.
std::string cutToFit(const std::string& text, std::size_t bytes);

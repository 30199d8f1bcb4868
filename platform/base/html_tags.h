#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// The start tags of an HTML text as a browser's tokenizer finds them, without building a document.

struct StartTag {
    std::string_view name;                                                 // as written
    std::vector<std::pair<std::string_view, std::string_view>> attributes; // raw values
    std::size_t end = 0; // the position just after the tag's ">"
};

// Calls `visit` for each start tag in order, skipping comments and what scripts and styles hold,
// until it returns false.
void forEachStartTag(std::string_view html, const std::function<bool(const StartTag&)>& visit);

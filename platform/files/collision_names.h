#pragma once

#include <cstddef>
#include <string>

// How a new item is named when its name is taken.
enum class CollisionStyle {
    Copy,     // a copy in its source's own folder: "name - Copie.ext", "name - Copie (2).ext"...
    Numbered, // an item put in another folder: "name (2).ext", "name (3).ext"...
};

// The name to try at an attempt: attempt 0 is the name itself, then come the collision names in
// order. The extension is the text from the last "." of the name. A collision name longer than
// `longest` bytes is shortened by cutting the end of its stem, never its extension.
std::string collisionName(const std::string& name, CollisionStyle style, unsigned attempt,
                          std::size_t longest = 255);

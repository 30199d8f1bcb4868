#include "platform/files/collision_names.h"

#include "platform/base/name_length.h"

std::string collisionName(const std::string& name, CollisionStyle style, unsigned attempt,
                          std::size_t longest)
{
    if (attempt == 0)
        return name;
    const auto dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::string mark;
    if (style == CollisionStyle::Numbered)
        mark = " (" + std::to_string(attempt + 1) + ")";
    else if (attempt == 1)
        mark = " - Copie";
    else
        mark = " - Copie (" + std::to_string(attempt) + ")";
    if (stem.size() + mark.size() + extension.size() <= longest || mark.size() >= longest)
        return stem + mark + extension;
    // An extension that leaves no room for the stem is cut as part of it.
    if (extension.size() + mark.size() >= longest) {
        stem = name;
        extension.clear();
    }
    return cutToFit(stem, longest - mark.size() - extension.size()) + mark + extension;
}

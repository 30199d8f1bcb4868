#include "platform/fileops/collision_names.h"

std::string collisionName(const std::string& name, CollisionStyle style, unsigned attempt)
{
    if (attempt == 0)
        return name;
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    if (style == CollisionStyle::Copy) {
        if (attempt == 1)
            return stem + " - Copie" + extension;
        return stem + " - Copie (" + std::to_string(attempt) + ")" + extension;
    }
    return stem + " (" + std::to_string(attempt + 1) + ")" + extension;
}

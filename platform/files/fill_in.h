#pragma once

#include <initializer_list>
#include <string>

// The text with "%1", "%2"... replaced by the values in order (values are not searched again).
std::string fillIn(const std::string& text, std::initializer_list<std::string> values);

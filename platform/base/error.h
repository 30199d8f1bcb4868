#pragma once

#include <stdexcept>
#include <string>

// An error meant for the user: its message (UTF-8, French) is shown as it stands in the error box.
class VelmoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

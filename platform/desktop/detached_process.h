#pragma once

#include <string>
#include <vector>

// Starts a program in a session of its own, not as a child of this process, and without a shell:
// each argument reaches it byte for byte. arguments[0] is the program's path (no PATH search).
// True when the program was executed.
bool startDetachedProcess(const std::vector<std::string>& arguments);

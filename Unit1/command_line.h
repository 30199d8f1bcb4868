#pragma once

#include <string>
#include <vector>

// Splits a command line into arguments: characters 1 to 32 separate; a double quote opens a stretch
// running to the next one; touching stretches form one argument; at most 4096 characters each;
// pairs of double quotes in front of an argument are skipped, so that "" alone is no argument.
std::vector<std::string> splitCommandLine(const std::string& line);

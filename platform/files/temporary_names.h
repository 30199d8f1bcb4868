#pragma once

#include <string>

// The hidden names of copies still being made (".velmo-PID-RANDOM.part"), which carry the id of the
// process that makes them, so that those of a process killed halfway can be told from the others.

// A new temporary name of this process.
std::string temporaryName();

// The id of the process that made a temporary of that name, or 0 for any other name.
long ownerOfTemporary(const std::string& name);

// Removes the temporaries in `folder` whose process has ended: leftovers of an interrupted run.
// Nothing else is ever removed.
void removeAbandonedTemporaries(const std::string& folder);

#pragma once

#include "platform/files/collision_names.h"

#include <string>

// The names an item may take in its target folder.
struct NameChoice {
    std::string name;                                // the name asked for
    CollisionStyle style = CollisionStyle::Numbered; // how other names are made when it is taken
    unsigned firstAttempt = 0;                       // 1 skips the name itself (a copy onto itself)
    bool otherNames = false;                         // false: a taken name is a failure
};

// Renames `item` into `folder` under the first free name of the choice, never replacing anything.
// Returns 0 with `finalPath` set, or an errno value (EEXIST: the name is taken).
int placeUnderFreeName(const std::string& item, const std::string& folder, const NameChoice& choice,
                       std::string& finalPath);

// Writes a folder's entries to disk, so that a name just given survives a crash; 0 or errno.
int flushFolder(const std::string& folder);

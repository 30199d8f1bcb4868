#pragma once

#include "platform/files/file_failure.h"

#include <cstdint>
#include <string>

// French texts of the service's question and progress dialogs.

// "Le dossier « … » n'existe pas. Voulez-vous le créer ?"
std::string missingFolderQuestion(const std::string& folder);

// The title of the progress dialog for an action ("Copie en cours", ...).
std::string progressTitle(FileAction action);

// The progress line: the action, the file, and the bytes done out of the total.
std::string progressLabel(FileAction action, const std::string& item, std::uint64_t done,
                          std::uint64_t total);

// Why a page's companion folder did not go with it.
enum class CompanionLeft {
    NameTaken,    // a folder of its name already stands in the target folder
    TargetInside, // the page goes inside its own companion folder
};

// The warning shown after a page was copied or moved without its companion folder: the page, the
// folder's name, the target folder.
std::string companionLeftWarning(FileAction action, CompanionLeft why, const std::string& page,
                                 const std::string& companion, const std::string& folder);

// A byte count as a French reader expects it: "512 octets", "1,5 Ko", "12,3 Mo", "1,0 Go".
std::string byteCountText(std::uint64_t bytes);

#pragma once

#include "platform/files/file_failure.h"

#include <cstdint>
#include <string>

class FileProgress;

// The bytes held by the regular files of an item: a file, or a folder and all it holds.
std::uint64_t bytesOfItem(const std::string& path);

// Copies an item (a file, a link as the link itself, or a folder with all it holds) to a new hidden
// temporary name in `folder`, with the modes and modification times kept and the data flushed to
// disk; the caller then gives it its final name. On any failure, or once progress is cancelled,
// nothing of the copy is left behind. Failures name `source`.
FileFailure makeTemporaryCopy(const std::string& source, const std::string& folder,
                              FileProgress& progress, std::string& temporaryPath);

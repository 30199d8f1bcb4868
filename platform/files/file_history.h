#pragma once

#include "platform/files/file_operation.h"

#include <optional>
#include <string>
#include <vector>

class FileOperationDialogs;

// The file operations of this session that succeeded, to be taken back from the last one on. Kept
// in memory only: it ends with the program.
class FileHistory {
public:
    // Runs a request through the file-operation service; when it succeeds, what it did becomes the
    // last step of the history. Returns the service's answer.
    int run(const FileOperationRequest& request, FileOperationDialogs& dialogs);

    // Takes back the last step through the service and returns the item it concerned, at its
    // place now (the original of a copy). None when there is nothing to take back, or when it
    // failed: the reason has then been shown and the step stays, for another try.
    std::optional<std::string> undoLast(FileOperationDialogs& dialogs);

private:
    std::vector<FileOperationReport> steps;
};

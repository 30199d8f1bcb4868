#include "platform/files/file_history.h"

int FileHistory::run(const FileOperationRequest& request, FileOperationDialogs& dialogs)
{
    FileOperationReport report;
    const int result = runFileOperation(request, dialogs, &report);
    if (result == 0 && !report.entries.empty())
        steps.push_back(std::move(report));
    return result;
}

std::optional<std::string> FileHistory::undoLast(FileOperationDialogs& dialogs)
{
    if (steps.empty())
        return std::nullopt;
    const std::string item = steps.back().entries.front().item.from;
    if (!undoFileOperation(steps.back(), dialogs))
        return std::nullopt;
    steps.pop_back();
    return item;
}

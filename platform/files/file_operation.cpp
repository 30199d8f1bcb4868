#include "platform/files/file_operation.h"

#include "platform/base/local_path.h"
#include "platform/files/companion_folder.h"
#include "platform/files/error_text.h"
#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/name_list.h"
#include "platform/files/operations.h"
#include "platform/files/trash.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <vector>

namespace {

FileFailure checkNames(FileAction action, const std::vector<std::string>& sources,
                       const std::vector<std::string>& targets)
{
    if (sources.empty())
        return problemWith(FileProblem::BadRequest, {});
    if (action != FileAction::Trash && targets.size() != sources.size() && targets.size() != 1)
        return problemWith(FileProblem::BadRequest, {});
    if (action == FileAction::Rename && targets.size() != sources.size())
        return problemWith(FileProblem::BadRequest, {});
    for (const auto* list : {&sources, &targets})
        for (const std::string& name : *list)
            if (!isAbsoluteLocalPath(name))
                return problemWith(FileProblem::NotLocalPath, name);
    return {};
}

// The destination of the source at `index`: its own, or the one folder that all go to.
std::string targetFor(const std::vector<std::string>& sources,
                      const std::vector<std::string>& targets, std::size_t index)
{
    if (targets.size() == sources.size())
        return targets[index];
    return withoutTrailingSlashes(targets.front()) + "/";
}

// The companion folder that goes with a page, unless the request names it on its own.
std::string companionOf(const std::string& page, const std::vector<std::string>& sources)
{
    const std::string companion = findCompanionFolder(page);
    const bool listed = std::any_of(sources.begin(), sources.end(), [&](const std::string& s) {
        return withoutTrailingSlashes(s) == companion;
    });
    return listed ? std::string() : companion;
}

FileFailure runRequest(FileAction action, const FileOperationRequest& request,
                       FileOperationDialogs& dialogs, FileOperationReport& report)
{
    const std::vector<std::string> sources = parseNameList(request.from);
    const std::vector<std::string> targets =
        action == FileAction::Trash ? std::vector<std::string>() : parseNameList(request.to);
    if (const FileFailure failure = checkNames(action, sources, targets))
        return failure;
    // Items done before a failure stay done, as each one is whole on its own.
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string source = withoutTrailingSlashes(sources[i]);
        FileFailure failure;
        FileOperationReport::Entry done;
        if (action == FileAction::Trash) {
            const std::string companion = companionOf(source, sources);
            FileProgress progress(action);
            failure = runInBackground(dialogs, progress, [&] {
                return trashWithCompanion(source, companion, progress, &done);
            });
        } else if (action == FileAction::Rename) {
            // A renamed page keeps its companion's name: its links point there.
            failure = renameItem(source, targets[i]);
            // The name it already had changes nothing.
            if (nameOf(targets[i]) != nameOf(source))
                done.item = {source, targets[i], {}};
        } else {
            failure = transferItem(action, source, companionOf(source, sources),
                                   targetFor(sources, targets, i), request.flags, dialogs, &done);
        }
        if (failure)
            return failure;
        if (!done.item.to.empty())
            report.entries.push_back(std::move(done));
    }
    return {};
}

int resultCode(const FileFailure& failure)
{
    switch (failure.problem) {
    case FileProblem::None:
        return 0;
    case FileProblem::Cancelled:
        return ECANCELED;
    case FileProblem::System:
        return failure.code ? failure.code : EIO;
    case FileProblem::NameTaken:
        return EEXIST;
    case FileProblem::NameTooLong:
        return ENAMETOOLONG;
    default:
        return EINVAL;
    }
}

} // namespace

int runFileOperation(const FileOperationRequest& request, FileOperationDialogs& dialogs,
                     FileOperationReport* report)
{
    FileAction action = FileAction::Copy;
    FileFailure failure;
    switch (request.function) {
    case FO_MOVE:
        action = FileAction::Move;
        break;
    case FO_COPY:
        action = FileAction::Copy;
        break;
    case FO_DELETE:
        // Always to the trash, with or without FOF_ALLOWUNDO: nothing is ever deleted for good.
        action = FileAction::Trash;
        break;
    case FO_RENAME:
        action = FileAction::Rename;
        break;
    default:
        failure = problemWith(FileProblem::UnknownFunction, {});
    }
    if (!failure) {
        try {
            FileOperationReport ignored;
            FileOperationReport& done = report ? *report : ignored;
            done.function = request.function;
            failure = runRequest(action, request, dialogs, done);
        } catch (const std::exception&) {
            failure = systemFailure(ENOMEM, {});
        }
    }
    if (failure && failure.problem != FileProblem::Cancelled)
        dialogs.showError(failureMessage(action, failure));
    return resultCode(failure);
}

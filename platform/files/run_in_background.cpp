#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/operations.h"

#include <cerrno>
#include <exception>

FileFailure runInBackground(FileOperationDialogs& dialogs, FileProgress& progress,
                            const std::function<FileFailure()>& job)
{
    FileFailure failure;
    dialogs.runWithProgress(progress, [&] {
        // Nothing may leave the worker thread: an exception there would end the program.
        try {
            failure = job();
        } catch (const std::exception&) {
            failure = systemFailure(ENOMEM, progress.item());
        }
        progress.finish();
    });
    return failure;
}

#pragma once

#include <functional>
#include <string>

class FileProgress;

// Every dialog of the file-operation service goes through here, so that tests answer them without a
// screen. All calls come from the thread that called the service; texts are French, in UTF-8.
class FileOperationDialogs {
public:
    virtual ~FileOperationDialogs() = default;

    // Asks a yes/no question ("Oui"/"Non"); true for yes.
    virtual bool askYesNo(const std::string& question) = 0;

    // Shows an error message and returns once the user has read it.
    virtual void showError(const std::string& message) = 0;

    // Shows a warning about work that was done, but not all as asked, and returns once the user
    // has read it.
    virtual void showWarning(const std::string& message) = 0;

    // Runs `work` on a worker thread and returns when it has ended, keeping the interface
    // responsive meanwhile. Work lasting more than about half a second shows `progress` (operation,
    // file, bytes done) with an "Annuler" button that calls progress.requestCancel(). `work` calls
    // progress.finish() as its last step.
    virtual void runWithProgress(FileProgress& progress, const std::function<void()>& work) = 0;
};

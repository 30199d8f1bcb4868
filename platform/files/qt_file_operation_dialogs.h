#pragma once

#include "platform/files/file_operation_dialogs.h"

class QWidget;

// The service's dialogs on screen: French message boxes and a progress dialog, owned by a window.
class QtFileOperationDialogs : public FileOperationDialogs {
public:
    // `owner` is the window that owns the dialogs (null: they belong to the application).
    explicit QtFileOperationDialogs(QWidget* owner);

    bool askYesNo(const std::string& question) override;
    void showError(const std::string& message) override;
    void showWarning(const std::string& message) override;
    void runWithProgress(FileProgress& progress, const std::function<void()>& work) override;

private:
    void followOnScreen(FileProgress& progress, long long elapsedSoFar);

    QWidget* owner_;
};

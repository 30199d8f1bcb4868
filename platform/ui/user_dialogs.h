#pragma once

#include <QString>

#include <optional>
#include <string>

class QWidget;

// The modal dialogs the main window asks the user through; tests replace them with scripted
// answers.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // The file chosen in the open dialog (it must exist), starting in `folder`; empty on cancel.
    virtual std::optional<std::string> openFile(QWidget* owner, const std::string& folder) = 0;

    // The full path chosen in the save dialog, proposed as `fileName`; empty on cancel. No question
    // about overwriting, no check that the folder or the file exists. What the user leaves as
    // proposed keeps its bytes, also where they are not UTF-8.
    virtual std::optional<std::string> saveFile(QWidget* owner, const QString& title,
                                                const std::string& fileName) = 0;

    // The one-line text input dialog: the edited text on "OK", empty on "Annuler" or close.
    virtual std::optional<QString> inputQuery(QWidget* owner, const QString& caption,
                                              const QString& prompt, const QString& value) = 0;

    // The standard error box: the text as given, a stop icon and an OK button.
    virtual void errorBox(QWidget* owner, const QString& text) = 0;
};

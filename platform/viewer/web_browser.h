#pragma once

#include <QWidget>

#include <string>

// The document shown by a viewer; offers the viewer's own find dialog over it.
// The commands whose state CommandStateChange reports, by their numbers.
namespace viewerCommand {
inline constexpr int back = 2;    // whether going back is possible
inline constexpr int forward = 1; // whether going forward is possible
inline constexpr int update = -1; // the general update: whether a load is under way
} // namespace viewerCommand

// The Enable values of CommandStateChange, a 16-bit boolean: any nonzero value means enabled.
inline constexpr short commandEnabled = -1;
inline constexpr short commandDisabled = 0;

class ViewerDocument {
public:
    virtual ~ViewerDocument() = default;
    virtual void showFindDialog() = 0;
};

// The HTML viewer as the main window uses it. Each call may throw VelmoError when the viewer
// refuses.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Shows a local path ("/..."), a URL, or, when empty, a blank page that lets go of the file
    // shown.
    virtual void Navigate(const std::string& address) = 0;
    // Shows `folder` (ending in "/") in place of the file `missing` that the user named and that
    // does not exist, saying so.
    virtual void showFolderOfMissingFile(const std::string& folder, const std::string& missing)
    {
        static_cast<void>(missing);
        Navigate(folder);
    }
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    // Prints the document shown to the default printer, without any dialog.
    virtual void PrintWithoutPrompt() = 0;
    // Null until a first page has been shown.
    virtual ViewerDocument* Document() = 0;
    // Whether the user is typing in a field of the page (its keys, Ctrl+Z among them, are the
    // page's).
    virtual bool isTypingInPage() const { return false; }
    // Shows a short text over the blank view, a word about what a command did. It is no page: it
    // is never reported as a document, and the next page shown takes it away.
    virtual void showBlankNotice(const QString& text) = 0;

signals:
    // One of viewerCommand's commands, with commandEnabled or commandDisabled.
    void CommandStateChange(int command, short enable);
    // A document finished loading: a local file as its plain path (with "#fragment" when it has
    // one), anything else as its full URL text.
    void DocumentComplete(const std::string& address);
    // A failure that happened after the call that started it returned (printing, say).
    void failedLater(const QString& message);
};

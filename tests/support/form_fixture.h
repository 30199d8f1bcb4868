#pragma once

#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/files/file_operation.h"
#include "platform/files/folder_pages.h"
#include "platform/titles/page_title.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_viewer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Catches the window's close events and refuses them, so that the window stays for the test.
class CloseCatcher : public QObject {
public:
    bool caught = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return QObject::eventFilter(watched, event);
        caught = true;
        event->ignore();
        return true;
    }
};

// A main window over a scripted viewer, scripted dialogs and a recorded file-operation service,
// with the program (and so its settings file) in a temporary folder.
struct FormFixture {
    QTemporaryDir dir;
    std::vector<std::string> log;
    ScriptedDialogs dialogs;
    ScriptedViewer* viewer = nullptr;
    std::vector<FileOperationRequest> requests;
    std::deque<int> results; // answers of the file-operation service; 0 when empty
    std::function<int(const FileOperationRequest&)> realService;
    // The session's history of file commands; none when not set.
    std::function<std::optional<std::string>(QWidget*)> undo;
    std::vector<std::string> editorLaunches;
    std::unique_ptr<TForm1> form;

    std::string path(const std::string& name = std::string()) const
    {
        return QFile::encodeName(dir.path()).toStdString() + "/" + name;
    }
    std::string executable() const { return path("velmo"); }
    std::string settingsFile() const { return path("velmo.INI"); }

    TForm1Services services(std::vector<std::string> arguments = {})
    {
        TForm1Services s;
        s.makeViewer = [this](QWidget* parent) {
            viewer = new ScriptedViewer(parent, log);
            return viewer;
        };
        s.dialogs = &dialogs;
        s.fileOperation = [this](const FileOperationRequest& request) {
            requests.push_back(request);
            log.push_back("fileOperation");
            if (realService)
                return realService(request);
            if (results.empty())
                return 0;
            const int result = results.front();
            results.pop_front();
            return result;
        };
        s.launchEditor = [this](const std::string& file) {
            editorLaunches.push_back(file);
            return true;
        };
        s.neighbourPage = neighbourPage;
        s.folderPages = pagesOfFolder;
        s.pageTitle = readPageTitle;
        s.undoFileCommand = [this](QWidget* owner) {
            log.push_back("undo");
            return undo ? undo(owner) : std::nullopt;
        };
        s.executablePath = executable();
        s.arguments = std::move(arguments);
        s.screen = {1024, 768};
        return s;
    }

    TForm1& create(std::vector<std::string> arguments = {})
    {
        form = std::make_unique<TForm1>(services(std::move(arguments)));
        return *form;
    }

    // Whether the window asked itself to close: the close it queued arrives once pending events
    // run, and is refused here.
    bool closeAsked()
    {
        CloseCatcher catcher;
        form->installEventFilter(&catcher);
        QCoreApplication::processEvents();
        form->removeEventFilter(&catcher);
        return catcher.caught;
    }

    // The page the window shows after an open, with the calls that made it forgotten.
    void openPage(const std::string& page)
    {
        dialogs.openAnswers.push_back(page);
        form->Load1Click();
        QCoreApplication::processEvents();
        log.clear();
    }
};

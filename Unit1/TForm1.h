#pragma once

#include "platform/files/folder_pages.h"
#include "settings/settings_io.h"
#include "settings/settings_location.h"

#include <QMainWindow>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class FolderPagesPanel;
class QAction;
class QMenu;
class UserDialogs;
class WebBrowser;
class WrappingMenuBar;
struct FileOperationRequest;

// What the main window works with, given from outside so that tests can script each part.
struct TForm1Services {
    std::function<WebBrowser*(QWidget* parent)> makeViewer;
    UserDialogs* dialogs = nullptr;
    std::function<int(const FileOperationRequest&)> fileOperation;
    std::function<bool(const std::string& path)> launchEditor;
    std::string executablePath;
    std::string perUserSettingsPath;    // takes the settings when the executable's folder cannot
    std::vector<std::string> arguments; // the program's arguments, its own name excluded
    ScreenSize screen;
    // The page before or after a place in its folder, the folder read afresh; none at either end.
    std::function<std::optional<std::string>(const std::string& place, PageStep step)>
        neighbourPage;
    // Takes back the last file command of the session, its dialogs owned by `owner`: the page it
    // concerned, or none when there was nothing to take back or it failed (the reason is shown).
    std::function<std::optional<std::string>(QWidget* owner)> undoFileCommand;
    // The names of the pages of a folder, in the order of the folder keys.
    std::function<std::vector<std::string>(const std::string& folder)> folderPages;
    // The title of a page, empty when it has none; also called from a worker thread.
    std::function<QString(const std::string& path)> pageTitle;
};

// The main window: the viewer under a menu bar whose entries are the program's commands.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(TForm1Services services);
    ~TForm1() override;

    // Components.
    WebBrowser* WebBrowser1 = nullptr;
    WrappingMenuBar* MainMenu1 = nullptr;
    QAction* Load1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* X1 = nullptr;
    QAction* Rename1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Move1 = nullptr;
    QAction* Trouver1 = nullptr;
    QAction* Imprimer1 = nullptr;
    QAction* Source1 = nullptr;
    QAction* Actualiser1 = nullptr;
    QAction* Delete1 = nullptr;
    QMenu* Quitterrapidement1 = nullptr;
    QAction* rapidement1 = nullptr;
    QAction* Quitter1 = nullptr;

    // Life cycle.
    void FormCreate();
    void FormDestroy();
    void Lit_Ini();
    void Sauve_Ini();

    // Menu commands.
    void Load1Click();
    void N1Click();
    void N2Click();
    void X1Click();
    void Rename1Click();
    void Copy1Click();
    void Move1Click();
    void Trouver1Click();
    void Imprimer1Click();
    void Source1Click();
    void Actualiser1Click();
    void Delete1Click();
    void rapidement1Click();
    void Quitter1Click();

    // Viewer events.
    void WebBrowser1CommandStateChange(int Command, short Enable);
    void WebBrowser1DocumentComplete(const std::string& URL);

    // A file dropped on the window: the first local file of the drop becomes the current page.
    void FileDropped(const std::string& path);

    void Charge_Page(const std::string& path);
    // Shows the current page just set from `named`, a dropped or command-line path.
    void openNamedPage(const std::string& named);
    void Recherche_Page(WebBrowser& viewer);

    // The window's title as a path (bytes), so that no name is altered on its way.
    void setTitle(const std::string& title);

    // Keys of the window with no menu entry: Ctrl+Page Down and Up open the next and the previous
    // page of the current page's folder, Ctrl+Z takes back the last file command, Ctrl+L lists the
    // folder's pages by title, Ctrl+Shift+N renames the page after its title.
    void openNeighbourPage(PageStep step);
    void undoLastFileCommand();
    void showFolderPages();
    void renameAfterTitle();
    FolderPagesPanel* folderPagesPanel() const { return pagesPanel; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    void buildKeys();
    QAction* addCommand(const QString& caption, void (TForm1::*handler)());
    void guarded(const std::function<void()>& handler);
    void askMainWindowToClose();
    SettingsLocation settingsFiles() const;
    // Shows the blank page so that the viewer lets go of the file, and lets that happen.
    void releasePage();
    // Makes a page the current page and shows it, as an open from the dialog does (which folder the
    // dialog starts in aside).
    void showAsCurrentPage(const std::string& page);
    // Asks for a new name, first showing the one that `proposal` makes from the current name, and
    // renames the current page.
    void renamePage(const std::function<std::string(const std::string& name)>& proposal);

    TForm1Services services;
    // The last page let go of by a file command: where the keys go on from once it is gone.
    std::string lastPage;
    FolderPagesPanel* pagesPanel = nullptr;
};

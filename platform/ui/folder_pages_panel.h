#pragma once

#include "platform/titles/page_titles.h"

#include <QFrame>
#include <QPointer>

#include <string>
#include <vector>

class QLineEdit;
class QTreeView;
class PageListModel;

// A panel over the page listing the pages of a folder with their titles and names. Typing filters
// (every word must appear in the title or the name, whatever the case and accents), Up and Down
// move, Enter chooses the selected page, Escape closes. The names show at once; the titles fill in
// from a worker thread.
class FolderPagesPanel : public QFrame {
    Q_OBJECT
public:
    FolderPagesPanel(ReadTitle readTitle, QWidget* parent);
    ~FolderPagesPanel() override;

    // Lists the pages of `folder` (names, in their order) with `current` selected, over the parent,
    // and takes the keyboard.
    void showPages(const std::string& folder, const std::vector<std::string>& pages,
                   const std::string& current);
    // Closes, the keyboard going back where it was.
    void closePanel();

    QLineEdit* searchField() const { return search; }
    QTreeView* pageList() const { return list; }

signals:
    // The page chosen, as a full path; the panel is closed by then.
    void pageChosen(const std::string& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void filter();
    void choose();
    void selectRow(int row);

    PageListModel* model;
    QLineEdit* search;
    QTreeView* list;
    TitleLoader titles;
    std::string folder;
    QPointer<QWidget> focusBefore;
};

#include "platform/ui/folder_pages_panel.h"

#include "platform/base/shown_text.h"
#include "platform/titles/title_search.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

// The pages of the folder, those that the typed words find in view.
class PageListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setPages(const std::vector<std::string>& names)
    {
        beginResetModel();
        pages.clear();
        pages.reserve(names.size());
        for (const std::string& name : names) {
            const QString shown = shownText(name);
            pages.push_back({name, shown, QString(), searchKey(QString(), shown)});
        }
        words.clear();
        refilter();
        endResetModel();
    }

    void setTitles(const TitleLoader::Batch& batch)
    {
        for (const TitleLoader::Read& read : batch) {
            Page& page = pages[read.index];
            page.title = read.title;
            page.key = read.key;
        }
        if (words.isEmpty()) {
            if (!shown.empty())
                emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
        } else {
            // A title just read may make a page found, or no longer found.
            setWords(words);
        }
    }

    void setWords(const QStringList& typedWords)
    {
        beginResetModel();
        words = typedWords;
        refilter();
        endResetModel();
    }

    const std::string& nameAt(int row) const { return pages[shown[std::size_t(row)]].name; }

    int rowOf(const std::string& name) const
    {
        for (std::size_t row = 0; row < shown.size(); ++row)
            if (pages[shown[row]].name == name)
                return int(row);
        return -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(shown.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const Page& page = pages[shown[std::size_t(index.row())]];
        return index.column() == 0 ? page.title : page.shownName;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Titre") : QStringLiteral("Fichier");
    }

private:
    struct Page {
        std::string name;
        QString shownName;
        QString title;
        QString key;
    };

    void refilter()
    {
        shown.clear();
        for (std::size_t i = 0; i < pages.size(); ++i)
            if (containsEveryWord(pages[i].key, words))
                shown.push_back(i);
    }

    std::vector<Page> pages;
    std::vector<std::size_t> shown;
    QStringList words;
};

FolderPagesPanel::FolderPagesPanel(ReadTitle readTitle, QWidget* parent)
    : QFrame(parent), model(new PageListModel(this)), search(new QLineEdit(this)),
      list(new QTreeView(this)),
      titles(std::move(readTitle),
             [this](const TitleLoader::Batch& batch) { model->setTitles(batch); })
{
    setObjectName(QStringLiteral("folderPages"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* heading = new QLabel(tr("Pages du dossier"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    search->setPlaceholderText(tr("Mots du titre ou du nom"));
    search->setClearButtonEnabled(true);
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(search);
    layout->addWidget(list);

    connect(search, &QLineEdit::textChanged, this, [this] { filter(); });
    connect(search, &QLineEdit::returnPressed, this, [this] { choose(); });
    connect(list, &QTreeView::activated, this, [this] { choose(); });
    search->installEventFilter(this);
    list->installEventFilter(this);
    parent->installEventFilter(this);
    // Clicking elsewhere in the window closes the panel, as a menu would.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isVisible() && now && now != this && !isAncestorOf(now)) {
            titles.stop();
            hide();
        }
    });
    hide();
}

FolderPagesPanel::~FolderPagesPanel() = default;

void FolderPagesPanel::showPages(const std::string& pagesFolder,
                                 const std::vector<std::string>& pages, const std::string& current)
{
    folder = pagesFolder;
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    if (!isVisible())
        focusBefore = QApplication::focusWidget();
    const QSignalBlocker quiet(search);
    search->clear();
    model->setPages(pages);
    std::vector<std::string> paths;
    paths.reserve(pages.size());
    for (const std::string& name : pages)
        paths.push_back(folder + name);
    titles.load(std::move(paths));
    place();
    show();
    raise();
    const int row = model->rowOf(current);
    selectRow(row < 0 ? 0 : row);
    if (row >= 0)
        list->scrollTo(model->index(row, 0), QAbstractItemView::PositionAtCenter);
    search->setFocus();
}

void FolderPagesPanel::closePanel()
{
    titles.stop();
    hide();
    if (focusBefore)
        focusBefore->setFocus();
}

void FolderPagesPanel::place()
{
    const QWidget* window = parentWidget();
    const int width = std::min(760, window->width() - 40);
    const int height = std::min(520, window->height() * 3 / 4);
    setGeometry((window->width() - width) / 2, std::min(60, window->height() / 8), width, height);
    list->header()->resizeSection(1, width / 3);
}

void FolderPagesPanel::filter()
{
    const std::string selected =
        list->currentIndex().isValid() ? model->nameAt(list->currentIndex().row()) : std::string();
    model->setWords(searchWords(search->text()));
    const int row = selected.empty() ? -1 : model->rowOf(selected);
    selectRow(row < 0 ? 0 : row);
}

void FolderPagesPanel::selectRow(int row)
{
    if (row >= model->rowCount())
        return;
    list->setCurrentIndex(model->index(row, 0));
}

void FolderPagesPanel::choose()
{
    const QModelIndex current = list->currentIndex();
    if (!current.isValid())
        return;
    const std::string page = folder + model->nameAt(current.row());
    closePanel();
    emit pageChosen(page);
}

bool FolderPagesPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize && isVisible())
            place();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        closePanel();
        return true;
    }
    // The keys that move in the list work from the search field too.
    if (watched == search && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                              key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
        QApplication::sendEvent(list, event);
        return true;
    }
    return false;
}

#include "platform/viewer/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWebEngineFindTextResult>
#include <QWebEngineScript>
#include <QWebEngineView>

FindDialog::FindDialog(QWebEnginePage* page, QWidget* parent)
    : QDialog(parent), page(page), text(new QLineEdit), matchCase(new QCheckBox), result(new QLabel)
{
    setWindowTitle(QStringLiteral("Rechercher"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Rec&hercher :"));
    label->setBuddy(text);
    text->setObjectName(QStringLiteral("findText"));
    text->setMinimumWidth(240);
    matchCase->setText(QStringLiteral("Respecter la &casse"));
    matchCase->setObjectName(QStringLiteral("matchCase"));
    result->setObjectName(QStringLiteral("findResult"));
    result->setMinimumWidth(110);

    auto* next = new QPushButton(QStringLiteral("&Suivant"));
    next->setObjectName(QStringLiteral("findNext"));
    next->setDefault(true);
    auto* previous = new QPushButton(QStringLiteral("&Précédent"));
    previous->setObjectName(QStringLiteral("findPrevious"));
    previous->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Fermer"));
    close->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(text, 0, 1, 1, 2);
    layout->addWidget(previous, 0, 3);
    layout->addWidget(next, 0, 4);
    layout->addWidget(matchCase, 1, 1);
    layout->addWidget(result, 1, 2);
    layout->addWidget(close, 1, 4);
    layout->setColumnStretch(2, 1);

    connect(next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(previous, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), this), &QShortcut::activated,
            this, &FindDialog::findPrevious);
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
            &FindDialog::findNext);
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            &FindDialog::findPrevious);
    // A new text or a new case rule starts the search again from the top.
    connect(text, &QLineEdit::textChanged, this, &FindDialog::findNext);
    connect(matchCase, &QCheckBox::toggled, this, &FindDialog::findNext);
    if (page) {
        // A newly shown page has no highlight yet: search it afresh while the dialog is open.
        connect(page, &QWebEnginePage::loadFinished, this, [this] {
            searchedText.clear();
            if (isVisible())
                findNext();
        });
    }
}

namespace {

// Finds the match of the given number in the page's text, in document order as the engine counts
// them, and gives its place in the view as [x, y, width, height], or null. It runs apart from the
// page's own scripts, and only reads.
const char* const matchPlaceScript = R"(
(function (wanted, caseSensitive, ordinal) {
    const fold = (text) => caseSensitive ? text : text.toLocaleLowerCase();
    const target = fold(wanted);
    const root = document.body || document.documentElement;
    if (!target || !root)
        return null;
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    let count = 0;
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        const parent = node.parentElement;
        if (!parent || parent.getClientRects().length === 0)
            continue;
        const text = fold(node.data);
        for (let at = text.indexOf(target); at >= 0; at = text.indexOf(target, at + target.length)) {
            if (++count !== ordinal)
                continue;
            const range = document.createRange();
            range.setStart(node, at);
            range.setEnd(node, Math.min(node.data.length, at + wanted.length));
            const box = range.getBoundingClientRect();
            return [box.left, box.top, box.width, box.height];
        }
    }
    return null;
})
)";

constexpr int margin = 12;

} // namespace

void FindDialog::showFind()
{
    QWebEngineView* view = page ? QWebEngineView::forPage(page) : nullptr;
    if (!placed && view) {
        // At first at the top right of the page, where text is seldom.
        adjustSize();
        const QRect area(view->mapToGlobal(QPoint()), view->size());
        move(area.right() - frameGeometry().width() - margin, area.top() + margin);
        placed = true;
    }
    show();
    raise();
    activateWindow();
    text->setFocus();
    text->selectAll();
    // Closing cleared the highlight: bring back that of the text still there.
    if (!text->text().isEmpty())
        findNext();
}

QString FindDialog::resultText() const
{
    return result->text();
}

void FindDialog::findNext()
{
    find({});
}

void FindDialog::findPrevious()
{
    find(QWebEnginePage::FindBackward);
}

void FindDialog::find(QWebEnginePage::FindFlags direction)
{
    if (!page)
        return;
    const QString wanted = text->text();
    const bool caseSensitive = matchCase->isChecked();
    if (caseSensitive)
        direction |= QWebEnginePage::FindCaseSensitively;
    // Given the same text again, the engine goes on with its last search and its case rule: a
    // changed rule, or a search after closing, must start afresh.
    if (wanted != searchedText || caseSensitive != searchedCaseSensitive)
        page->findText(QString());
    searchedText = wanted;
    searchedCaseSensitive = caseSensitive;

    const int request = ++lastRequest;
    if (wanted.isEmpty()) {
        result->clear();
        emit resultChanged();
        return;
    }
    const QPointer<FindDialog> self(this);
    page->findText(wanted, direction, [self, request](const QWebEngineFindTextResult& found) {
        // Only the answer to the latest search describes what the page shows.
        if (self && request == self->lastRequest)
            self->showResult(found);
    });
}

void FindDialog::showResult(const QWebEngineFindTextResult& found)
{
    if (found.numberOfMatches() == 0)
        result->setText(QStringLiteral("Aucun résultat"));
    else
        result->setText(
            QStringLiteral("%1 sur %2").arg(found.activeMatch()).arg(found.numberOfMatches()));
    emit resultChanged();
    if (found.activeMatch() > 0)
        keepClearOfMatch(found.activeMatch());
}

void FindDialog::keepClearOfMatch(int ordinal)
{
    const QString arguments =
        QString::fromUtf8(QJsonDocument(QJsonArray{searchedText, searchedCaseSensitive, ordinal})
                              .toJson(QJsonDocument::Compact));
    // The arguments go in as a JSON array spread into the call: text of the page's own is data.
    const QString script = QString::fromLatin1(matchPlaceScript) + QStringLiteral("(...") +
                           arguments + QStringLiteral(")");
    const QPointer<FindDialog> self(this);
    const int request = lastRequest;
    page->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [self, request](const QVariant& answer) {
            if (!self || request != self->lastRequest || !self->page)
                return;
            const QVariantList box = answer.toList();
            QWebEngineView* view = QWebEngineView::forPage(self->page);
            if (box.size() == 4 && view) {
                // Page pixels to the view's, then to the screen's.
                const qreal zoom = self->page->zoomFactor();
                const QRectF inPage(box[0].toReal(), box[1].toReal(), box[2].toReal(),
                                    box[3].toReal());
                const QRect inView((inPage.topLeft() * zoom).toPoint(),
                                   (inPage.size() * zoom).toSize().expandedTo(QSize(1, 1)));
                self->moveClearOf(inView.translated(view->mapToGlobal(QPoint())));
            }
            emit self->clearOfMatch();
        });
}

void FindDialog::moveClearOf(const QRect& match)
{
    const QRect keptClear = match.adjusted(-margin, -margin, margin, margin);
    if (!frameGeometry().intersects(keptClear))
        return;
    QWebEngineView* view = QWebEngineView::forPage(page);
    const QRect area(view->mapToGlobal(QPoint()), view->size());
    const QRect window = view->window()->frameGeometry();
    const QSize size = frameGeometry().size();
    const int right = area.right() - size.width() - margin;
    // Inside the page at its top right or bottom right, else outside the window, below or above.
    const QPoint spots[] = {
        {right, area.top() + margin},
        {right, area.bottom() - size.height() - margin},
        {right, window.bottom() + margin},
        {right, window.top() - size.height() - margin},
    };
    const QScreen* screen = view->screen();
    for (const QPoint& spot : spots) {
        const QRect place(spot, size);
        if (place.intersects(keptClear) || (screen && !screen->availableGeometry().contains(place)))
            continue;
        move(spot);
        return;
    }
}

void FindDialog::done(int code)
{
    if (page)
        page->findText(QString());
    searchedText.clear();
    ++lastRequest;
    QDialog::done(code);
}

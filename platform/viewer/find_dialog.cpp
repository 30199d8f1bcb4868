#include "platform/viewer/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWebEngineFindTextResult>

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

void FindDialog::showFind()
{
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
}

void FindDialog::done(int code)
{
    if (page)
        page->findText(QString());
    searchedText.clear();
    ++lastRequest;
    QDialog::done(code);
}

#pragma once

#include <QDialog>
#include <QPointer>
#include <QWebEnginePage>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;

// The viewer's find dialog over a web page: non-modal, in French. Typing searches at once and
// highlights every match; "Suivant" and "Précédent" move between them; Escape closes, and closing
// clears the highlight. It first stands at the top right of the page's view, and moves wherever it
// would hide the current match.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWebEnginePage* page, QWidget* parent = nullptr);

    // Shows the dialog in front, with its text selected for typing over.
    void showFind();
    // What the match label says: "2 sur 5", "Aucun résultat", or nothing while the text is empty.
    QString resultText() const;

    void done(int result) override;

public slots:
    void findNext();
    void findPrevious();

signals:
    // The match label was brought up to date with the page's answer.
    void resultChanged();
    // The dialog stands clear of the match the page shows as the current one.
    void clearOfMatch();

private:
    void find(QWebEnginePage::FindFlags direction);
    void showResult(const QWebEngineFindTextResult& result);
    // Moves the dialog off the current match when it covers it: the page's view is asked where
    // that match is.
    void keepClearOfMatch(int ordinal);
    void moveClearOf(const QRect& match);

    QPointer<QWebEnginePage> page;
    QLineEdit* text;
    QCheckBox* matchCase;
    QLabel* result;
    QString searchedText;
    bool searchedCaseSensitive = false;
    int lastRequest = 0;
    bool placed = false;
};

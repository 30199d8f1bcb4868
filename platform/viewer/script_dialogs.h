#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

// A page's script dialogs (alert, confirm, prompt and the leave-page question), with French titles
// and the page's text shown as plain text. From the second dialog of a page on, a check box lets
// the user stop that page's dialogs: later ones are answered at once without showing (OK for an
// alert, "Annuler" for a confirm or a prompt, leave for the leave-page question) until another
// page is shown.
class ScriptDialogs {
public:
    // `page` is the address of the document asking; the count starts afresh when it changes.
    void alert(QWidget* owner, const QUrl& page, const QString& message);
    bool confirm(QWidget* owner, const QUrl& page, const QString& message);
    std::optional<QString> prompt(QWidget* owner, const QUrl& page, const QString& message,
                                  const QString& value);
    bool confirmLeaving(QWidget* owner, const QUrl& page, const QString& question);

private:
    // False when the page's dialogs are stopped; else counts the dialog about to show.
    bool mayShow(const QUrl& page);
    bool offersStop() const { return shown >= 2; }
    int askWithMessageBox(QWidget* owner, const QString& title, const QString& message,
                          bool question);

    QUrl shownPage;
    int shown = 0;
    bool stopped = false;
};

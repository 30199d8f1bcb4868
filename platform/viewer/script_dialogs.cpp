#include "platform/viewer/script_dialogs.h"

#include "platform/viewer/file_url.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

QString stopText()
{
    return QStringLiteral("&Empêcher cette page d'ouvrir d'autres boîtes de dialogue");
}

// The engine's own script dialogs carry English titles; these say the same in French.
QString titleFor(const QString& sentence, const QUrl& page)
{
    return sentence.arg(displayedAddressOf(page));
}

} // namespace

bool ScriptDialogs::mayShow(const QUrl& page)
{
    const QUrl document = page.adjusted(QUrl::RemoveFragment);
    if (document != shownPage) {
        shownPage = document;
        shown = 0;
        stopped = false;
    }
    if (stopped)
        return false;
    ++shown;
    return true;
}

// The page's message is shown as plain text, whatever it holds.
int ScriptDialogs::askWithMessageBox(QWidget* owner, const QString& title, const QString& message,
                                     bool question)
{
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, title, message,
                    question ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    if (offersStop())
        box.setCheckBox(new QCheckBox(stopText()));
    const int answer = box.exec();
    stopped = box.checkBox() && box.checkBox()->isChecked();
    return answer;
}

void ScriptDialogs::alert(QWidget* owner, const QUrl& page, const QString& message)
{
    if (mayShow(page))
        askWithMessageBox(owner, titleFor(QStringLiteral("Message de la page %1"), page), message,
                          false);
}

bool ScriptDialogs::confirm(QWidget* owner, const QUrl& page, const QString& message)
{
    return mayShow(page) &&
           askWithMessageBox(owner, titleFor(QStringLiteral("Question de la page %1"), page),
                             message, true) == QMessageBox::Ok;
}

// Leaving is what the user asked for when the page's dialogs are stopped.
bool ScriptDialogs::confirmLeaving(QWidget* owner, const QUrl& page, const QString& question)
{
    return !mayShow(page) ||
           askWithMessageBox(owner, titleFor(QStringLiteral("Question de la page %1"), page),
                             question, true) == QMessageBox::Ok;
}

std::optional<QString> ScriptDialogs::prompt(QWidget* owner, const QUrl& page,
                                             const QString& message, const QString& value)
{
    if (!mayShow(page))
        return std::nullopt;
    QDialog dialog(owner);
    dialog.setWindowTitle(titleFor(QStringLiteral("Saisie pour la page %1"), page));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(message);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    auto* edit = new QLineEdit(value);
    layout->addWidget(edit);
    QCheckBox* stop = offersStop() ? new QCheckBox(stopText()) : nullptr;
    if (stop)
        layout->addWidget(stop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    stopped = stop && stop->isChecked();
    if (!accepted)
        return std::nullopt;
    return edit->text();
}

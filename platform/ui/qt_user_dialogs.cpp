#include "platform/ui/qt_user_dialogs.h"

#include "platform/base/shown_text.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace {

// Qt's own dialogs, so that every button is French whatever the desktop.
QFileDialog::Options dialogOptions()
{
    return QFileDialog::DontUseNativeDialog;
}

// Runs the dialog; the chosen path as text, or nothing when it was cancelled or left empty.
std::optional<QString> chosenPath(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

// The width of the input box's field: 60 characters of the name at least, and enough for the box to
// show its whole caption in the title bar, within the screen.
int fieldWidthFor(QInputDialog& dialog, QLineEdit& edit, const QString& caption)
{
    const QFontMetrics metrics(edit.font());
    const int fieldFrame =
        edit.sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    const int sixtyCharacters = fieldFrame + metrics.averageCharWidth() * 60;
    // Title bars often use a bold face, and keep room for their buttons.
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(caption) + 150;
    const int besideField = dialog.sizeHint().width() - edit.sizeHint().width();
    const QScreen* screen = dialog.screen();
    const int room = screen ? screen->availableGeometry().width() - besideField : captionWidth;
    return std::max(sixtyCharacters, std::min(captionWidth - besideField, room));
}

} // namespace

std::optional<std::string> QtUserDialogs::openFile(QWidget* owner, const std::string& folder)
{
    QFileDialog dialog(owner);
    dialog.setOptions(dialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QFile::decodeName(folder.c_str()));
    dialog.selectFile(QString());
    const std::optional<QString> chosen = chosenPath(dialog);
    if (!chosen)
        return std::nullopt;
    return QFile::encodeName(*chosen).toStdString();
}

std::optional<std::string> QtUserDialogs::saveFile(QWidget* owner, const QString& title,
                                                   const std::string& fileName)
{
    QFileDialog dialog(owner, title);
    dialog.setOptions(dialogOptions() | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(shownText(fileName));
    const std::optional<QString> chosen = chosenPath(dialog);
    if (!chosen)
        return std::nullopt;
    // The folder and the name proposed keep their bytes where the user left them unchanged.
    return editedBytes(fileName, *chosen);
}

std::optional<QString> QtUserDialogs::inputQuery(QWidget* owner, const QString& caption,
                                                 const QString& prompt, const QString& value)
{
    QInputDialog dialog(owner, Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->setMinimumWidth(fieldWidthFor(dialog, *edit, caption));
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtUserDialogs::errorBox(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, errorCaption, text, QMessageBox::Ok, owner);
    box.exec();
}

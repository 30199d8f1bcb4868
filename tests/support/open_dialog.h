#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// What a dialog shows while it is open.
struct DialogTexts {
    QString title;
    QStringList buttons;     // texts of the buttons that have one
    QStringList others;      // labels, tooltips, list entries, headers, actions, edit menus
    bool plainLabels = true; // every label shows its text as plain text
};

// The texts of the widgets a user sees or reaches in the dialog, its line edits' context menus
// included; a shortcut after a tab is left out.
inline DialogTexts textsOf(QWidget& dialog)
{
    DialogTexts texts;
    texts.title = dialog.windowTitle();
    for (const auto* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty())
            texts.buttons << button->text();
        texts.others << button->toolTip();
    }
    for (const auto* label : dialog.findChildren<QLabel*>()) {
        texts.others << label->text();
        texts.plainLabels =
            texts.plainLabels && (label->text().isEmpty() || label->textFormat() == Qt::PlainText);
    }
    for (const auto* combo : dialog.findChildren<QComboBox*>())
        for (int i = 0; i < combo->count(); ++i)
            texts.others << combo->itemText(i);
    for (const auto* header : dialog.findChildren<QHeaderView*>())
        for (int i = 0; header->model() && i < header->count(); ++i)
            texts.others << header->model()->headerData(i, header->orientation()).toString();
    for (const auto* action : dialog.findChildren<QAction*>())
        texts.others << action->text() << action->toolTip();
    for (auto* edit : dialog.findChildren<QLineEdit*>()) {
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        for (const auto* action : menu->actions())
            texts.others << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    texts.others.removeAll(QString());
    return texts;
}

enum class DialogAnswer { Accept, Reject };

// Closes the dialog as the user would, by clicking its first accepting or rejecting button.
inline void close(QDialog& dialog, DialogAnswer answer)
{
    const auto role = answer == DialogAnswer::Accept ? QDialogButtonBox::AcceptRole
                                                     : QDialogButtonBox::RejectRole;
    if (auto* box = dialog.findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == role) {
                button->click();
                return;
            }
    answer == DialogAnswer::Accept ? dialog.accept() : dialog.reject();
}

// Runs `run`, which returns once a modal dialog it opens is closed. As soon as the dialog is the
// active modal window its texts are taken and it is closed with the answer given. After ten seconds
// without one, any visible dialog is rejected so that the test goes on.
inline std::optional<DialogTexts> textsWhileOpen(const std::function<void()>& run,
                                                 DialogAnswer answer)
{
    std::optional<DialogTexts> seen;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && !seen) {
            seen = textsOf(*dialog);
            close(*dialog, answer);
        } else if (clock.elapsed() > 10000) {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* open = qobject_cast<QDialog*>(widget); open && open->isVisible())
                    open->reject();
        }
    });
    poll.start(20);
    run();
    return seen;
}

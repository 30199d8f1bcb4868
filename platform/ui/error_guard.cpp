#include "platform/ui/error_guard.h"

#include "platform/ui/user_dialogs.h"

#include <exception>

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void runGuarded(UserDialogs& dialogs, QWidget* owner, const std::function<void()>& handler)
{
    QString message;
    try {
        handler();
        return;
    } catch (const std::exception& error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("Erreur inattendue");
    }
    try {
        dialogs.errorBox(owner, errorBoxText(message));
    } catch (...) {
        // Showing the box failed too: the handler has ended, the program goes on.
    }
}

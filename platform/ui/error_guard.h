#pragma once

#include <QString>

#include <functional>

class QWidget;
class UserDialogs;

// The text of the standard error box: the message, with a "." added when it is not empty and its
// last character's code is above that of ".".
QString errorBoxText(const QString& message);

// Runs a handler; an exception that leaves it ends that handler only and is shown in the standard
// error box, so that no exception ever crosses the event loop.
void runGuarded(UserDialogs& dialogs, QWidget* owner, const std::function<void()>& handler);

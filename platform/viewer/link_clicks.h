#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineScript>

#include <optional>

// A script of the viewer's own, run apart from the page's scripts in every document and frame, that
// tells the viewer which link the user clicked: only an event the engine itself made from the
// user's mouse or key counts, a click only on the link the button was pressed on with the address
// it had then, a key only on the link that had the keyboard when the key went down. So a page that
// moves, focuses or rewrites a link after the user's click or key makes nothing of it. Its
// messages carry `token`, which the page's own scripts cannot know.
QWebEngineScript linkClickScript(const QString& token);

// The address of the link that a message of that script names, if the message is one of its.
std::optional<QUrl> clickedLinkIn(const QString& message, const QString& token);

#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineScript>

#include <optional>

// A script of the viewer's own, run apart from the page's scripts in every local document and
// frame, that tells the viewer which link the user clicked: only an event the engine itself made
// from the user's mouse or key counts, a click of the main or middle button only on the link it was
// pressed on with the address the link had then, Enter only on a link that the user's own Tab or
// press put the keyboard on, with the address it had as the key went down. So a page that moves,
// focuses or rewrites a link around the user's click or key makes nothing of it, and a web page,
// framed or not, never names a local file. Its messages carry `token`, which the page's own
// scripts cannot know.
QWebEngineScript linkClickScript(const QString& token);

// The address of the link that a message of that script names, if the message is one of its.
std::optional<QUrl> clickedLinkIn(const QString& message, const QString& token);

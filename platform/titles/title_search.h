#pragma once

#include <QString>
#include <QStringList>

// Finding a page by words typed: every word must appear in its title or its name, whatever the
// case and the accents.

// The title and the name of a page as they are searched: one text, folded as below.
QString searchKey(const QString& title, const QString& name);

// The words of what was typed, folded as the keys are.
QStringList searchWords(const QString& typed);

// Whether every word appears in the key (no word: always).
bool containsEveryWord(const QString& key, const QStringList& words);

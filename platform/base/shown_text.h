#pragma once

#include <QString>

#include <string>

// Names and paths are bytes; the user sees and edits them as text. A byte that is not part of a
// valid UTF-8 sequence (a Latin-1 "é" from an old archive) shows as U+FFFD, and keeps its own value
// wherever the user leaves the text as shown.

// The text that shows `bytes`.
QString shownText(const std::string& bytes);

// The bytes of what the user made of shownText(original): the start and the end left as shown keep
// their own bytes, the edited middle is taken as typed (UTF-8).
std::string editedBytes(const std::string& original, const QString& edited);

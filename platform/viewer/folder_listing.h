#pragma once

#include "platform/titles/page_titles.h"

#include <QByteArray>
#include <QString>

#include <string>

// A page listing the entries of a folder (its sub-folders first, then its files, each in the order
// of the folder keys), each a link to the entry, a page with its title beside its name, with a link
// to the folder above. Names that are not valid UTF-8 are shown as well as they can be and linked
// byte for byte. A notice, if any, comes first.
QByteArray folderListing(const std::string& folder, const ReadTitle& titleOf = cachedPageTitle,
                         const QString& notice = {});

// A page, in UTF-8, that shows only the sentence `text` (French).
QByteArray noticePage(const QString& text);

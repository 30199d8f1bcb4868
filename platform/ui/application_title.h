#pragma once

#include <QString>

#include <string>

// The application's title from the executable's path: its file name cut before the first ".", every
// character after the first in lower case ("/opt/ABC.DEF" gives "Abc").
QString applicationTitleFor(const std::string& executablePath);

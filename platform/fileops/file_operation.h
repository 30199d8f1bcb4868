#pragma once

#include <cstdint>
#include <string>

class QWidget;

// The request handed to the file-operation service, field for field the record the file commands
// fill.
enum FileFunction : unsigned {
    FO_MOVE = 1,
    FO_COPY = 2,
    FO_DELETE = 3,
    FO_RENAME = 4,
};

enum FileOperationFlag : std::uint16_t {
    FOF_RENAMEONCOLLISION = 0x0008,
    FOF_NOCONFIRMATION = 0x0010,
    FOF_ALLOWUNDO = 0x0040,
};

struct FileOperationRequest {
    QWidget* owner = nullptr; // the window that owns the service's dialogs
    unsigned function = 0;
    std::string from; // a list of names: each name, a NUL, and one more NUL ending the list
    std::string to;   // the same; empty for a delete
    std::uint16_t flags = 0;
};

// A list of one name: the name, a NUL, and the NUL that ends the list.
inline std::string singleNameList(const std::string& name)
{
    std::string list = name;
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

class FileOperationDialogs;

// Does what the request asks (move, copy, delete to the trash, rename), showing its progress,
// questions and errors through `dialogs`. Returns 0 on success; anything else is a failure
// (ECANCELED when the user cancelled; the error has been shown).
int runFileOperation(const FileOperationRequest& request, FileOperationDialogs& dialogs);

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Where an item went: its place before and its place now (its new name, its copy, or its entry in
// the trash's files/), with the info file of an item put in the trash.
struct PlacedItem {
    std::string from;
    std::string to;
    std::string trashInfo;
};

// What a request did, item by item, each with its page's companion folder when that went along.
struct FileOperationReport {
    struct Entry {
        PlacedItem item;
        std::optional<PlacedItem> companion;
        std::string madeFolder; // the highest folder made to hold the item; "" for none
    };
    unsigned function = 0;
    std::vector<Entry> entries;
};

class FileOperationDialogs;

// Does what the request asks (move, copy, delete to the trash, rename), showing its progress,
// questions and errors through `dialogs`. Returns 0 on success; anything else is a failure
// (ECANCELED when the user cancelled; the error has been shown). `report`, when given, tells what
// was done.
int runFileOperation(const FileOperationRequest& request, FileOperationDialogs& dialogs,
                     FileOperationReport* report = nullptr);

// Takes back what a request did, as its report tells, with the same dialogs: a rename or a move
// goes back, a copy goes to the trash, a trashed item comes back out of the trash; a folder made
// to hold a moved or copied item goes too, when nothing else has come into it. Nothing is
// replaced: when an old place is taken or an item is no longer where the report says, the error is
// shown and nothing changes. True once all is taken back; the report then holds where the items
// were put back from (a trash entry may have been made anew for another try after a failure).
bool undoFileOperation(FileOperationReport& done, FileOperationDialogs& dialogs);

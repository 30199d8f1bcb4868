#pragma once

#include <string>
#include <sys/types.h>

// Where trashed items go: the home trash, and the trash at the top of each other mount.

// A trash folder, holding files/ and info/.
struct TrashFolder {
    std::string path;
    std::string topDir; // empty for the home trash (paths written whole), else the mount's top
};

// $XDG_DATA_HOME/Trash when XDG_DATA_HOME is an absolute path, else ~/.local/share/Trash.
std::string homeTrashPath();

// The device of the nearest existing folder on a path (a trash may not exist yet); 0 or errno.
int deviceOfNearest(const std::string& path, dev_t& device);

// Creates the home trash and its files/ and info/ when missing (mode 0700); 0 or errno.
int prepareHomeTrash(const std::string& path);

// The top folder of the mount holding an item, given its resolved path and its device.
std::string topDirOf(const std::string& resolvedPath, dev_t device);

// True for the system's own folders (the root, /tmp, /dev, /run...), whose mounts get no trash.
bool isSystemFolder(const std::string& topDir);

// The trash of a mount: $topDir/.Trash/$uid when $topDir/.Trash is a real folder with the sticky
// bit, else $topDir/.Trash-$uid; created (mode 0700) when missing, and checked to be a folder owned
// by the user. 0 or errno.
int prepareTopDirTrash(const std::string& topDir, std::string& path);

#pragma once

// Helpers of the file tests: whole files as bytes, file checks as an ordinary user, a tmpfs.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// Bytes of a literal, embedded NULs included.
template <std::size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

inline std::string toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Through the byte path, since a name that is not UTF-8 does not survive a QString.
inline bool writeFile(const std::string& path, const QByteArray& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return bool(file.write(bytes.constData(), bytes.size()).flush());
}

// The file's bytes, or a null array when it cannot be read.
inline QByteArray readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return QByteArray();
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline QStringList entriesOf(const std::string& folder)
{
    return QDir(QFile::decodeName(folder.c_str()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

inline mode_t modeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Folders that a test closed are opened again, so that the temporary folder can go.
inline void openFoldersAgain(const QTemporaryDir& dir)
{
    for (const QString& name : QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ::chmod(toPath(dir.filePath(name)).c_str(), 0755);
}

// Root's file accesses are checked as those of an ordinary user while this lives, so that the
// permission bits count (the file-system user id is the calling thread's own).
class OrdinaryUser {
public:
    OrdinaryUser() : wasRoot(::geteuid() == 0)
    {
        if (wasRoot) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~OrdinaryUser()
    {
        if (wasRoot) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    bool wasRoot;
};

// A tmpfs of a few pages or files, mounted on a fresh folder while the test runs, to fill the disk
// or the folder. Needs the right to mount (root, or a test linked with own_mount_namespace.cpp
// where the kernel allows it): mounted() is false otherwise.
class ScratchMount {
public:
    explicit ScratchMount(const char* options)
    {
        if (!base.isValid())
            return;
        point = toPath(base.path()) + "/mnt";
        isMounted = ::mkdir(point.c_str(), 0755) == 0 &&
                    ::mount("tmpfs", point.c_str(), "tmpfs", 0, options) == 0;
    }
    ~ScratchMount()
    {
        if (isMounted)
            ::umount2(point.c_str(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return isMounted; }
    std::string folder() const { return point; }
    std::string path(const std::string& name) const { return point + "/" + name; }

private:
    QTemporaryDir base;
    std::string point;
    bool isMounted = false;
};

#define SKIP_UNLESS_MOUNTED(scratch)                                                               \
    if (!(scratch).mounted())                                                                      \
        QSKIP("needs a tmpfs mount of its own: run as root, or where the kernel lets an "          \
              "ordinary user mount in a user namespace of their own");

#pragma once

// Helpers shared by the file-operation tests: scripted dialogs, a fresh home, small mounts, files.

#include "platform/files/file_operation.h"
#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/remove_tree.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Dialogs answered by a script: questions take the prepared answers ("Non" once they run out),
// errors are kept, and the work runs on a worker thread that cancels at a given byte count.
class ScriptedFileDialogs : public FileOperationDialogs {
public:
    std::vector<bool> answers;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::optional<std::uint64_t> cancelAtBytes;
    std::function<void(FileProgress&)> duringWork; // told of every step, on the worker thread
    int workRuns = 0;
    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;

    bool askYesNo(const std::string& question) override
    {
        questions.push_back(question);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    void showError(const std::string& message) override { errors.push_back(message); }
    void showWarning(const std::string& message) override { warnings.push_back(message); }

    void runWithProgress(FileProgress& progress, const std::function<void()>& work) override
    {
        ++workRuns;
        if (cancelAtBytes || duringWork) {
            progress.setListener([at = cancelAtBytes, step = duringWork](FileProgress& p) {
                if (at && p.done() >= *at)
                    p.requestCancel();
                if (step)
                    step(p);
            });
        }
        std::thread worker(work);
        worker.join();
        lastDone = progress.done();
        lastTotal = progress.total();
    }

    QString errorText() const
    {
        return errors.empty() ? QString() : QString::fromStdString(errors.back());
    }
};

// A temporary folder used as the home: HOME and XDG_DATA_HOME point into it while it lives.
class FreshHome {
public:
    FreshHome() : oldHome_(qgetenv("HOME")), oldData_(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("HOME", dir_.path().toUtf8());
        qputenv("XDG_DATA_HOME", (dir_.path() + "/.local/share").toUtf8());
    }
    ~FreshHome()
    {
        // QTemporaryDir cannot remove names that are not UTF-8; the byte path can.
        removeTree(QFile::encodeName(dir_.path()).toStdString());
        qputenv("HOME", oldHome_);
        qputenv("XDG_DATA_HOME", oldData_);
    }
    bool isValid() const { return dir_.isValid(); }
    std::string path() const { return dir_.path().toStdString(); }
    std::string trash() const { return path() + "/.local/share/Trash"; }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_;
    QByteArray oldData_;
};

// A small tmpfs mounted on a new folder for the object's life, where the test may mount one.
class TmpfsMount {
public:
    TmpfsMount(const std::string& folder, const std::string& options) : path_(folder)
    {
        mkdir(path_.c_str(), 0755);
        if (mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0)
            mounted_ = true;
        else
            reason_ = "cannot mount a tmpfs here (" + std::string(std::strerror(errno)) +
                      "): run the test as root, or where the kernel lets an ordinary user "
                      "mount in a user namespace of their own";
    }
    ~TmpfsMount()
    {
        if (mounted_)
            umount2(path_.c_str(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }
    const char* reason() const { return reason_.c_str(); }

    bool makeReadOnly()
    {
        return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string path_;
    bool mounted_ = false;
    std::string reason_;
};

// An exFAT file system (names that ignore case, as on most USB sticks) in an image on a loop
// device, mounted with FUSE on a new folder for the object's life. Needs root, a free loop device,
// FUSE and the packages exfatprogs and exfat-fuse: mounted() is false otherwise, with the reason.
class ExfatMount {
public:
    explicit ExfatMount(const std::string& folder) : path_(folder), image_(folder + ".img")
    {
        if (geteuid() != 0) {
            reason_ = "needs root to attach a loop device and mount an exFAT image";
            return;
        }
        const QString mkfs = tool("mkfs.exfat");
        const QString fuse = tool("mount.exfat-fuse");
        if (mkfs.isEmpty() || fuse.isEmpty()) {
            reason_ =
                "mkfs.exfat or mount.exfat-fuse is missing: install exfatprogs and exfat-fuse";
            return;
        }
        const int fd = open(image_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool sized = fd >= 0 && ftruncate(fd, 16 << 20) == 0;
        if (fd >= 0)
            close(fd);
        QByteArray output;
        if (!sized || !run(mkfs, {QString::fromStdString(image_)}, output)) {
            reason_ = "cannot make an exFAT image: " + output.toStdString();
            return;
        }
        if (!run(tool("losetup"), {"--find", "--show", QString::fromStdString(image_)}, output)) {
            reason_ = "no loop device to attach the image to: " + output.toStdString();
            return;
        }
        device_ = output.trimmed().toStdString();
        mkdir(path_.c_str(), 0755);
        if (!run(fuse, {QString::fromStdString(device_), QString::fromStdString(path_)}, output)) {
            reason_ = "cannot mount exFAT with FUSE (is /dev/fuse there?): " + output.toStdString();
            return;
        }
        mounted_ = true;
    }
    ~ExfatMount()
    {
        if (mounted_ && umount2(path_.c_str(), 0) != 0)
            umount2(path_.c_str(), MNT_DETACH);
        // A device still held by the FUSE daemon is detached as soon as the daemon lets it go.
        QByteArray ignored;
        if (!device_.empty())
            run(tool("losetup"), {"--detach", QString::fromStdString(device_)}, ignored);
        unlink(image_.c_str());
    }
    ExfatMount(const ExfatMount&) = delete;
    ExfatMount& operator=(const ExfatMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }
    const char* reason() const { return reason_.c_str(); }

private:
    static QString tool(const QString& name)
    {
        const QString found = QStandardPaths::findExecutable(name);
        return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"})
                               : found;
    }
    static bool run(const QString& program, const QStringList& arguments, QByteArray& output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool done = process.waitForFinished(60000) &&
                          process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        output = process.readAll();
        return done;
    }

    std::string path_;
    std::string image_;
    std::string device_;
    bool mounted_ = false;
    std::string reason_;
};

#define REQUIRE_MOUNTED(m)                                                                         \
    do {                                                                                           \
        if (!(m).mounted())                                                                        \
            QSKIP((m).reason());                                                                   \
    } while (false)

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    QVERIFY2(out.good(), path.c_str());
}

// Marks a file immutable (not even root may remove it) for the object's life, where the file
// system allows it.
class ImmutableFile {
public:
    explicit ImmutableFile(const std::string& path) : path_(path) { set_ = setFlag(true); }
    ~ImmutableFile()
    {
        if (set_)
            setFlag(false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool isSet() const { return set_; }

private:
    bool setFlag(bool on)
    {
        const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }
    std::string path_;
    bool set_ = false;
};

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Does a name exist, a dangling link included.
inline bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

inline bool isLink(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

inline std::string linkValue(const std::string& path)
{
    char value[4096];
    const ssize_t length = readlink(path.c_str(), value, sizeof value);
    return length < 0 ? std::string() : std::string(value, static_cast<std::size_t>(length));
}

inline std::vector<std::string> entriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A large file of varied bytes (so that a wrong offset shows in a comparison).
inline void writeLargeFile(const std::string& path, std::size_t size)
{
    std::string block(1 << 16, '\0');
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::size_t done = 0, n = 0; done < size; ++n) {
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>((i * 31 + n * 7) & 0xFF);
        const std::size_t part = std::min(block.size(), size - done);
        out.write(block.data(), static_cast<std::streamsize>(part));
        done += part;
    }
}

inline FileOperationRequest requestOf(unsigned function, const std::string& from,
                                      const std::string& to, std::uint16_t flags)
{
    FileOperationRequest request;
    request.function = function;
    request.from = singleNameList(from);
    request.to = to.empty() ? std::string() : singleNameList(to);
    request.flags = flags;
    return request;
}

constexpr std::uint16_t kRenameFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
constexpr std::uint16_t kTransferFlags = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;

#include "platform/files/safe_copy.h"

#include "platform/base/file_descriptor.h"
#include "platform/base/local_path.h"
#include "platform/files/file_progress.h"
#include "platform/files/remove_tree.h"
#include "platform/files/temporary_names.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kRangeChunk = 8 << 20; // bytes per kernel copy call: a cancel waits no longer
constexpr std::size_t kBufferSize = 1 << 20; // bytes per read and write when the kernel cannot copy
constexpr int kNameTries = 8;
constexpr int kShortCopy = -1; // copyData's answer when the source gave fewer bytes than it held

std::vector<std::string> entriesOf(const std::string& folder, int& error)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        error = errno;
        return names;
    }
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    error = errno;
    closedir(dir);
    return names;
}

bool kernelCannotCopy(int error)
{
    return error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS ||
           error == EBADF || error == EPERM;
}

// Whether a file system that ignores case would take the two names as one.
bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    const auto folded = [](const std::string& name) {
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
            .normalized(QString::NormalizationForm_C)
            .toCaseFolded();
    };
    return folded(a) == folded(b);
}

class TreeCopier {
public:
    explicit TreeCopier(FileProgress& progress) : progress_(progress) {}

    // Copies the item at `source` to the new entry `name` of the open folder `target`.
    FileFailure copyItem(const std::string& source, int target, const std::string& name)
    {
        struct stat st;
        if (lstat(source.c_str(), &st) != 0)
            return systemFailure(errno, source);
        if (S_ISREG(st.st_mode))
            return copyFile(source, st, target, name);
        if (S_ISLNK(st.st_mode))
            return copyLink(source, st, target, name);
        if (S_ISDIR(st.st_mode))
            return copyFolder(source, st, target, name);
        if (S_ISFIFO(st.st_mode)) {
            if (mkfifoat(target, name.c_str(), st.st_mode & 07777) != 0)
                return systemFailure(errno, source);
            return {};
        }
        return problemWith(FileProblem::SpecialFile, source);
    }

private:
    FileFailure copyFile(const std::string& source, const struct stat& st, int target,
                         const std::string& name)
    {
        FileDescriptor in(open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (in.get() < 0)
            return systemFailure(errno, source);
        FileDescriptor out(
            openat(target, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (out.get() < 0)
            return systemFailure(errno, source);
        progress_.setItem(source);
        int error = copyData(in.get(), out.get());
        if (error == kShortCopy)
            return problemWith(FileProblem::ShortCopy, source);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        if (!error && fchmod(out.get(), st.st_mode & 07777) != 0)
            error = errno;
        if (!error && futimens(out.get(), times) != 0)
            error = errno;
        // A lone file is flushed here; a folder's files are flushed all at once at its end.
        if (!error && depth_ == 0 && fsync(out.get()) != 0)
            error = errno;
        const int closeError = out.closeNow();
        if (!error)
            error = closeError;
        if (error == ECANCELED)
            return problemWith(FileProblem::Cancelled, source);
        return error ? systemFailure(error, source) : FileFailure{};
    }

    // The fastest way the kernel offers: a shared copy (reflink), then an in-kernel copy, then
    // plain reads and writes. Returns 0, ECANCELED, kShortCopy or an errno value.
    int copyData(int in, int out)
    {
        struct stat st;
        if (fstat(in, &st) != 0)
            return errno;
        if (st.st_size > 0 && ioctl(out, FICLONE, in) == 0) {
            progress_.advance(static_cast<std::uint64_t>(st.st_size));
            return progress_.cancelled() ? ECANCELED : 0;
        }
        off_t offset = 0;
        bool inKernel = true;
        for (;;) {
            ssize_t count;
            if (inKernel) {
                off_t inOffset = offset;
                off_t outOffset = offset;
                count = copy_file_range(in, &inOffset, out, &outOffset, kRangeChunk, 0);
                if (count < 0) {
                    if (errno == EINTR)
                        continue;
                    if (!kernelCannotCopy(errno))
                        return errno;
                    inKernel = false;
                    continue;
                }
            } else {
                if (!buffer_)
                    buffer_ = std::make_unique<char[]>(kBufferSize);
                count = pread(in, buffer_.get(), kBufferSize, offset);
                if (count < 0) {
                    if (errno == EINTR)
                        continue;
                    return errno;
                }
                if (const int error = writeAll(
                        out, std::string_view(buffer_.get(), static_cast<std::size_t>(count)),
                        offset))
                    return error;
            }
            if (count == 0) {
                if (offset >= st.st_size)
                    return 0;
                // Some file systems end an in-kernel copy early: reads tell where the data ends.
                if (!inKernel)
                    return kShortCopy;
                inKernel = false;
                continue;
            }
            offset += count;
            if (!progress_.advance(static_cast<std::uint64_t>(count)))
                return ECANCELED;
        }
    }

    FileFailure copyLink(const std::string& source, const struct stat& st, int target,
                         const std::string& name)
    {
        std::string value(static_cast<std::size_t>(st.st_size) + 1, '\0');
        for (;;) {
            const ssize_t length = readlink(source.c_str(), value.data(), value.size());
            if (length < 0)
                return systemFailure(errno, source);
            if (static_cast<std::size_t>(length) < value.size()) {
                value.resize(static_cast<std::size_t>(length));
                break;
            }
            value.resize(value.size() * 2);
        }
        if (symlinkat(value.c_str(), target, name.c_str()) != 0)
            return systemFailure(errno, source);
        // A link's own time cannot be set on every file system; the link is right without it.
        const timespec times[2] = {st.st_atim, st.st_mtim};
        utimensat(target, name.c_str(), times, AT_SYMLINK_NOFOLLOW);
        return {};
    }

    FileFailure copyFolder(const std::string& source, const struct stat& st, int target,
                           const std::string& name)
    {
        if (mkdirat(target, name.c_str(), 0700) != 0)
            return systemFailure(errno, source);
        FileDescriptor folder(
            openat(target, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder.get() < 0)
            return systemFailure(errno, source);
        int error = 0;
        std::vector<std::string> copied;
        for (const std::string& entry : entriesOf(source, error)) {
            ++depth_;
            FileFailure failure = copyItem(joinPath(source, entry), folder.get(), entry);
            --depth_;
            // Every name in the new folder is one of ours: a taken name is one that this file
            // system cannot tell from another of the source folder (it ignores case).
            if (failure.problem == FileProblem::System && failure.code == EEXIST) {
                const auto other = std::find_if(copied.begin(), copied.end(), [&](auto& name) {
                    return sameIgnoringCase(name, entry);
                });
                failure = {FileProblem::NameClash, 0, joinPath(source, entry),
                           other == copied.end() ? std::string() : *other};
            }
            if (failure)
                return failure;
            copied.push_back(entry);
            if (progress_.cancelled())
                return problemWith(FileProblem::Cancelled, source);
        }
        if (error)
            return systemFailure(error, source);
        // The folder's own mode and time last: filling it would change both.
        const timespec times[2] = {st.st_atim, st.st_mtim};
        if (fchmod(folder.get(), st.st_mode & 07777) != 0 || futimens(folder.get(), times) != 0)
            return systemFailure(errno, source);
        return {};
    }

    FileProgress& progress_;
    std::unique_ptr<char[]> buffer_;
    int depth_ = 0; // 0 while copying the item itself, more inside a folder
};

} // namespace

std::uint64_t bytesOfItem(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return static_cast<std::uint64_t>(st.st_size);
    if (!S_ISDIR(st.st_mode))
        return 0;
    int error = 0;
    std::uint64_t total = 0;
    for (const std::string& entry : entriesOf(path, error))
        total += bytesOfItem(joinPath(path, entry));
    return total;
}

FileFailure makeTemporaryCopy(const std::string& source, const std::string& folder,
                              FileProgress& progress, std::string& temporaryPath)
{
    FileDescriptor target(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (target.get() < 0)
        return systemFailure(errno, source);
    struct stat st;
    if (lstat(source.c_str(), &st) != 0)
        return systemFailure(errno, source);

    TreeCopier copier(progress);
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const std::string name = temporaryName();
        FileFailure failure = copier.copyItem(source, target.get(), name);
        // A clash inside the copy is a NameClash: EEXIST here means that the temporary name itself
        // was taken, by someone else's item that must stay, and nothing was made.
        if (failure.problem == FileProblem::System && failure.code == EEXIST)
            continue;
        const std::string path = joinPath(folder, name);
        if (!failure && progress.cancelled())
            failure = problemWith(FileProblem::Cancelled, source);
        // The files of a folder were not flushed one by one: flush the whole file system once.
        if (!failure && S_ISDIR(st.st_mode) && syncfs(target.get()) != 0)
            failure = systemFailure(errno, source);
        if (failure) {
            removeTemporaryTree(path);
            return failure;
        }
        temporaryPath = path;
        return {};
    }
    return systemFailure(EEXIST, source);
}

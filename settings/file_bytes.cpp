#include "settings/file_bytes.h"

#include "platform/base/file_descriptor.h"
#include "platform/base/local_path.h"
#include "platform/base/random_text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool readAll(int fd, std::string& bytes, std::size_t sizeHint)
{
    // One byte more than expected, so that the end is normally seen without growing.
    bytes.resize(sizeHint + 1);
    std::size_t used = 0;
    while (true) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t count = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        used += static_cast<std::size_t>(count);
    }
    bytes.resize(used);
    return true;
}

bool canOpenForWriting(const std::string& path)
{
    // Opening tells what the permission bits alone do not: a read-only mount, an immutable file.
    FileDescriptor probe(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
    return probe.get() >= 0;
}

// A new, empty file beside `target`, with a name nobody else uses; -1 when the folder refuses it.
int createSibling(const std::string& target, std::string& siblingPath)
{
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string prefix =
        target.substr(0, nameStart) + "." + target.substr(nameStart, 64) + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        siblingPath = prefix + randomHexDigits(8);
        const int fd = ::open(siblingPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool copyOwnerAndMode(int fd, const struct stat& original)
{
    // Ownership is kept when allowed (as root); the permission bits always.
    if (original.st_uid != ::geteuid() || original.st_gid != ::getegid())
        (void)!::fchown(fd, original.st_uid, original.st_gid);
    return ::fchmod(fd, original.st_mode & 07777) == 0;
}

// For a folder that cannot take a new file: room is reserved first, so that a full disk shows
// before any byte changes, then only the bytes from the first difference on are written.
bool rewriteInPlace(const std::string& target, std::string_view bytes)
{
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::string old;
    if (!readAll(file.get(), old, static_cast<std::size_t>(info.st_size)))
        return false;
    const auto oldSize = static_cast<off_t>(old.size());
    if (bytes.size() > old.size() &&
        ::posix_fallocate(file.get(), oldSize, static_cast<off_t>(bytes.size()) - oldSize) != 0) {
        (void)!::ftruncate(file.get(), oldSize);
        return false;
    }
    const auto differ = std::mismatch(old.begin(), old.end(), bytes.begin(), bytes.end());
    const auto from = static_cast<std::size_t>(differ.first - old.begin());
    const bool written = writeAll(file.get(), bytes.substr(from), static_cast<off_t>(from)) == 0 &&
                         ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) == 0;
    if (!written) {
        // Put the old bytes back as well as the disk allows.
        writeAll(file.get(), std::string_view(old).substr(from), static_cast<off_t>(from));
        (void)!::ftruncate(file.get(), oldSize);
        return false;
    }
    return ::fsync(file.get()) == 0 && file.closeNow() == 0;
}

} // namespace

std::optional<FileBytes> readFileBytes(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    // Non-blocking, so that a named pipe at that path cannot hang the program.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return FileBytes{};
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    FileBytes result{true, {}};
    if (!readAll(file.get(), result.bytes, static_cast<std::size_t>(info.st_size)))
        return std::nullopt;
    return result;
}

bool replaceFileBytes(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return false;
    const std::string target = realPathOf(path).value_or(path);
    struct stat info;
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && (!S_ISREG(info.st_mode) || !canOpenForWriting(target)))
        return false;

    std::string siblingPath;
    FileDescriptor sibling(createSibling(target, siblingPath));
    if (sibling.get() < 0)
        return exists && rewriteInPlace(target, bytes);
    bool written = writeAll(sibling.get(), bytes, 0) == 0 &&
                   (!exists || copyOwnerAndMode(sibling.get(), info)) &&
                   ::fsync(sibling.get()) == 0;
    written = sibling.closeNow() == 0 && written;
    if (written && ::rename(siblingPath.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(siblingPath.c_str());
    return false;
}

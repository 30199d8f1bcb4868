// Linked into the tests that mount small file systems of their own. For an ordinary user, such a
// test runs in a user and mount namespace of its own where the kernel allows it: the user keeps
// their own ids and may mount there, and only there. Where it is not allowed, the cases that need
// a mount skip with their reason, as before.

#include <cerrno>
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool writeWhole(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && written;
}

// Keeps only the right to mount: the user's own files still refuse what their modes refuse.
bool keepOnlyTheRightToMount()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    data[CAP_TO_INDEX(CAP_SYS_ADMIN)].effective = CAP_TO_MASK(CAP_SYS_ADMIN);
    data[CAP_TO_INDEX(CAP_SYS_ADMIN)].permitted = CAP_TO_MASK(CAP_SYS_ADMIN);
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Runs before main, while the process still has a single thread, as unshare() requires.
bool enterOwnMountNamespace()
{
    if (::geteuid() == 0)
        return false;
    const std::string uid = std::to_string(::geteuid());
    const std::string gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    // Each id maps to itself, so that files keep their owner as the rest of the system sees it.
    if (!writeWhole("/proc/self/setgroups", "deny") ||
        !writeWhole("/proc/self/uid_map", uid + " " + uid + " 1\n") ||
        !writeWhole("/proc/self/gid_map", gid + " " + gid + " 1\n"))
        return false;
    // What the tests mount stays inside this namespace.
    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    return keepOnlyTheRightToMount();
}

[[maybe_unused]] const bool inOwnMountNamespace = enterOwnMountNamespace();

} // namespace

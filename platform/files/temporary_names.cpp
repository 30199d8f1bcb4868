#include "platform/files/temporary_names.h"

#include "platform/base/ascii_text.h"
#include "platform/base/local_path.h"
#include "platform/base/random_text.h"
#include "platform/files/remove_tree.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <limits>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view kPrefix = ".velmo-";
constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kRandomDigits = 16;
constexpr std::size_t kMostPidDigits = 10;

bool isHexDigit(char c)
{
    return isAsciiDigit(c) || (c >= 'a' && c <= 'f');
}

bool hasEnded(long pid)
{
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

std::string temporaryName()
{
    return std::string(kPrefix) + std::to_string(getpid()) + "-" + randomHexDigits(kRandomDigits) +
           std::string(kSuffix);
}

long ownerOfTemporary(const std::string& name)
{
    std::string_view rest = name;
    if (rest.substr(0, kPrefix.size()) != kPrefix || rest.size() < kSuffix.size() ||
        rest.substr(rest.size() - kSuffix.size()) != kSuffix)
        return 0;
    rest = rest.substr(kPrefix.size(), rest.size() - kPrefix.size() - kSuffix.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > kMostPidDigits || rest[0] == '0')
        return 0;
    long pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (!isAsciiDigit(c))
            return 0;
        pid = pid * 10 + (c - '0');
    }
    if (pid > std::numeric_limits<pid_t>::max())
        return 0;
    const std::string_view random = rest.substr(dash + 1);
    if (random.size() != kRandomDigits)
        return 0;
    for (const char c : random)
        if (!isHexDigit(c))
            return 0;
    return pid;
}

void removeAbandonedTemporaries(const std::string& folder)
{
    std::vector<std::string> abandoned;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const long pid = ownerOfTemporary(entry->d_name);
            if (pid > 0 && hasEnded(pid))
                abandoned.push_back(entry->d_name);
        }
        closedir(dir);
    }
    // What cannot be removed now stays for a later try; the work at hand goes on.
    for (const std::string& name : abandoned)
        removeTemporaryTree(joinPath(folder, name));
}

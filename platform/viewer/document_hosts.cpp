#include "platform/viewer/document_hosts.h"

#include "platform/base/local_path.h"
#include "platform/base/random_text.h"

#include <array>
#include <cstdlib>

namespace {

// Every document is an origin of its own. The pages the user goes through are also one site, as
// the pages of one web site are, so that the engine goes from one to the next in the same view
// instead of making a new one each time; each frame stays a site of its own, kept in another
// process than the page that shows it.
std::string randomHost(bool forFrame)
{
    const std::string digits = randomHexDigits(32);
    return forFrame ? "f" + digits : "d" + digits + ".pages.velmo";
}

// The path with the links of its existing part resolved, so that a name under a link leading out
// of a folder is seen where it really is, whether it exists yet or not; empty when it cannot be.
std::string resolvedPath(const std::string& path)
{
    int error = 0;
    return resolvedFolderPath(path, error);
}

bool hasDotSegment(const std::string& path)
{
    for (const char* segment : {"/./", "/../"})
        if (path.find(segment) != std::string::npos)
            return true;
    return path.ends_with("/.") || path.ends_with("/..");
}

bool startsWithFolder(const std::string& path, const std::string& folder)
{
    return path.compare(0, folder.size(), folder) == 0;
}

} // namespace

std::string DocumentHosts::issue(const std::string& path, const std::string& root, bool forFrame,
                                 const std::string& notice)
{
    const std::lock_guard lock(mutex);
    std::string host;
    do
        host = randomHost(forFrame);
    while (documents.count(host) > 0);
    documents.emplace(host, Document{path, root, forFrame, false, 0, notice});
    return host;
}

bool DocumentHosts::isPageOf(const std::string& host, const std::string& path) const
{
    const std::lock_guard lock(mutex);
    const auto found = documents.find(host);
    return found != documents.end() && !found->second.forFrame && found->second.path == path;
}

bool DocumentHosts::claimFrame(const std::string& host, const std::string& path)
{
    const std::lock_guard lock(mutex);
    const auto found = documents.find(host);
    if (found == documents.end() || !found->second.forFrame || found->second.loaded ||
        found->second.path != path)
        return false;
    found->second.loaded = true;
    return true;
}

std::optional<std::string> DocumentHosts::rootOf(const std::string& host) const
{
    const std::lock_guard lock(mutex);
    const auto found = documents.find(host);
    if (found == documents.end())
        return std::nullopt;
    return found->second.root;
}

std::optional<std::string> DocumentHosts::pathOf(const std::string& host) const
{
    const std::lock_guard lock(mutex);
    const auto found = documents.find(host);
    if (found == documents.end())
        return std::nullopt;
    return found->second.path;
}

void DocumentHosts::allowLoad(const std::string& host)
{
    const std::lock_guard lock(mutex);
    if (const auto found = documents.find(host); found != documents.end())
        ++found->second.loadsAllowed;
}

std::optional<DocumentHosts::Load> DocumentHosts::takeLoad(const std::string& host,
                                                           const std::string& path)
{
    const std::lock_guard lock(mutex);
    const auto found = documents.find(host);
    if (found == documents.end() || found->second.loadsAllowed <= 0 || found->second.path != path)
        return std::nullopt;
    --found->second.loadsAllowed;
    return Load{found->second.notice};
}

std::string folderTreeOf(const std::string& path)
{
    return path.substr(0, path.rfind('/') + 1);
}

bool isHiddenBelow(const std::string& path, const std::string& root)
{
    return path.find("/.", root.empty() ? 0 : root.size() - 1) != std::string::npos;
}

bool isInFolderTree(const std::string& path, const std::string& root)
{
    if (root.empty() || root.back() != '/' || hasDotSegment(path) ||
        !startsWithFolder(path, root) || isHiddenBelow(path, root))
        return false;
    std::string realRoot = resolvedPath(root);
    if (realRoot.empty() || realRoot.back() != '/')
        realRoot.push_back('/');
    const std::string realPath = resolvedPath(path);
    return startsWithFolder(realPath, realRoot) && !isHiddenBelow(realPath, realRoot);
}

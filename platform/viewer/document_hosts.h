#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// The hosts under which the viewer shows local documents. Each host is issued for one document (its
// path) and carries the folder tree that the page holding it may show. A host is never shared by
// two documents, so every local document is an origin of its own: a page's scripts cannot reach
// into the documents of its frames, nor those into their neighbours. Issued on the engine's thread,
// looked up from the file server's threads too.
class DocumentHosts {
public:
    // A new host, unguessable, for the document at `path` in a page that may show `root` (a folder
    // path ending in "/"). A host for a frame serves one load only. `notice`, if any, is a line
    // that a folder's listing shows at its top.
    std::string issue(const std::string& path, const std::string& root, bool forFrame,
                      const std::string& notice = {});

    // Whether `host` was issued for a page (not a frame) showing `path`.
    bool isPageOf(const std::string& host, const std::string& path) const;
    // Whether `host` was issued for a frame showing `path` and not loaded yet; marks it loaded.
    bool claimFrame(const std::string& host, const std::string& path);
    // The folder tree that the document under `host` may show, if the host is one of ours.
    std::optional<std::string> rootOf(const std::string& host) const;
    // The path that `host` was issued for, if it is one of ours.
    std::optional<std::string> pathOf(const std::string& host) const;

    // The request rule let a load of the document of `host` through, as a page or a frame: the
    // document may be served once more.
    void allowLoad(const std::string& host);
    // What the document of `host` is to be served as, once per load allowed; none when no load of
    // it was allowed, or `path` is not its own.
    struct Load {
        std::string notice;
    };
    std::optional<Load> takeLoad(const std::string& host, const std::string& path);

private:
    struct Document {
        std::string path;
        std::string root;
        bool forFrame = false;
        bool loaded = false;
        int loadsAllowed = 0;
        std::string notice;
    };

    mutable std::mutex mutex;
    std::unordered_map<std::string, Document> documents;
};

// The folder that holds `path`, with its trailing "/".
std::string folderTreeOf(const std::string& path);

// Whether a name of `path` below the folder `root` (ending in "/") is hidden, starting with ".":
// the hidden files and folders of a tree (programs' settings and keys, when the tree is a home)
// are no part of what a page may show.
bool isHiddenBelow(const std::string& path, const std::string& root);

// Whether `path` lies in the folder tree `root` (ending in "/"), its links followed when it exists,
// and is none of its hidden entries.
bool isInFolderTree(const std::string& path, const std::string& root);

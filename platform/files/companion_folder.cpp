#include "platform/files/companion_folder.h"

#include "platform/files/page_links.h"

#include "platform/base/file_descriptor.h"
#include "platform/base/local_path.h"
#include "platform/base/page_names.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names browsers and office suites give the folder, in their order of likelihood.
constexpr std::string_view kSuffixes[] = {
    "_files",    ".files",     "_fichiers", "-Dateien",    "_bestanden", "_archivos",
    "_arquivos", "_ficheiros", "_file",     "-filer",      "_tiedostot", "_soubory",
    "_pliki",    "_elemei",    "_datoteke", "_fajlovi",    "_dosyalar",  "_failid",
    "_fails",    "_bylos",     "_fitxers",  "_fitxategiak"};

// Enough for the head and the first part of the body of any real page.
constexpr std::size_t kPrefixBytes = 1 << 20;

// The page's name without its extension: "page" for "page.htm".
std::string stemOf(const std::string& page)
{
    const std::size_t dot = page.rfind('.');
    return dot == std::string::npos ? page : page.substr(0, dot);
}

bool isNamedFor(const std::string& folder, const std::string& page)
{
    const std::string stem = stemOf(page);
    if (stem.empty())
        return false;
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes), [&](std::string_view suffix) {
        return folder.size() == stem.size() + suffix.size() &&
               folder.compare(0, stem.size(), stem) == 0 &&
               folder.compare(stem.size(), suffix.size(), suffix) == 0;
    });
}

bool contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string readPrefix(const std::string& path)
{
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return file.isOpen() ? readFirstBytes(file.get(), kPrefixBytes) : std::string();
}

bool isRealFolder(const std::string& folder, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat st;
    return lstat(joinPath(folder, entry.d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool hasCompanionSuffix(const std::string& name)
{
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes), [&](std::string_view suffix) {
        return name.size() > suffix.size() &&
               name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    });
}

std::string chooseCompanion(const CompanionClues& clues)
{
    if (!isPageSavedWithFolder(clues.page))
        return {};
    std::string named;
    const std::string stem = stemOf(clues.page);
    if (!stem.empty()) {
        for (std::string_view suffix : kSuffixes) {
            if (contains(clues.folders, stem + std::string(suffix))) {
                named = stem + std::string(suffix);
                break;
            }
        }
    }
    if (!named.empty() && contains(clues.linked, named))
        return named;
    // A folder named for another page beside this one is that page's, whatever links point at it.
    for (const std::string& folder : clues.linked) {
        if (!contains(clues.folders, folder))
            continue;
        if (std::none_of(clues.pages.begin(), clues.pages.end(),
                         [&](const std::string& other) { return isNamedFor(folder, other); }))
            return folder;
    }
    return named;
}

std::string findCompanionFolder(const std::string& page)
{
    CompanionClues clues;
    clues.page = nameOf(page);
    struct stat st;
    if (!isPageSavedWithFolder(clues.page) || lstat(page.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const std::string folder = parentOf(page);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return {};
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == clues.page)
            continue;
        if (hasCompanionSuffix(name) && isRealFolder(folder, *entry))
            clues.folders.push_back(name);
        else if (isPageSavedWithFolder(name))
            clues.pages.push_back(name);
    }
    closedir(dir);
    if (clues.folders.empty())
        return {};
    // The page is read only when its name alone cannot tell.
    const bool onlyNamed = clues.folders.size() == 1 && isNamedFor(clues.folders[0], clues.page);
    if (!onlyNamed)
        clues.linked = linkedFolders(readPrefix(page));
    const std::string name = chooseCompanion(clues);
    return name.empty() ? std::string() : joinPath(folder, name);
}

#include "platform/desktop/text_editor.h"

#include "platform/base/ascii_text.h"
#include "platform/base/local_path.h"
#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/detached_process.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tried in this order when no default application is set for text/plain.
constexpr const char* commonEditors[] = {
    "gnome-text-editor", "gedit",   "kate",    "kwrite", "mousepad", "pluma", "xed",
    "featherpad",        "leafpad", "l3afpad", "geany",
};

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> splitList(const std::string& text, char separator)
{
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, separator))
        if (!item.empty())
            items.push_back(item);
    return items;
}

// An XDG folder list; relative entries are invalid and skipped.
std::vector<std::string> xdgFolders(const char* listVariable, const std::string& fallback)
{
    std::string value = environment(listVariable);
    if (value.empty())
        value = fallback;
    std::vector<std::string> folders;
    for (const std::string& folder : splitList(value, ':'))
        if (folder[0] == '/')
            folders.push_back(folder);
    return folders;
}

std::string xdgHome(const char* variable, const std::string& fallbackUnderHome)
{
    const std::string value = environment(variable);
    return value.starts_with('/') ? value : environment("HOME") + fallbackUnderHome;
}

bool hasFileType(const std::string& path, mode_t type)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

bool isExecutableFile(const std::string& path)
{
    return hasFileType(path, S_IFREG) && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? std::optional(name) : std::nullopt;
    for (const std::string& folder : splitList(environment("PATH"), ':')) {
        const std::string candidate = joinPath(folder, name);
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::optional<std::string> readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The desktop file ids a mime-apps list names as defaults for text/plain, in its order.
std::vector<std::string> defaultTextApplications(const std::string& listText)
{
    std::istringstream lines(listText);
    std::string line;
    bool inDefaults = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('[')) {
            inDefaults = line == "[Default Applications]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inDefaults || equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        key.erase(key.find_last_not_of(" \t") + 1);
        if (key == "text/plain")
            return splitList(line.substr(equals + 1), ';');
    }
    return {};
}

// The mime-apps lists, most important first, desktop-specific ones before the general one.
std::vector<std::string> mimeAppsLists(const std::string& dataHome,
                                       const std::vector<std::string>& dataDirs)
{
    std::vector<std::string> desktops;
    for (const std::string& desktop : splitList(environment("XDG_CURRENT_DESKTOP"), ':'))
        desktops.push_back(asciiLowerCase(desktop));
    std::vector<std::string> folders{xdgHome("XDG_CONFIG_HOME", "/.config")};
    for (const std::string& folder : xdgFolders("XDG_CONFIG_DIRS", "/etc/xdg"))
        folders.push_back(folder);
    folders.push_back(dataHome + "/applications");
    for (const std::string& folder : dataDirs)
        folders.push_back(folder + "/applications");

    std::vector<std::string> lists;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : desktops)
            lists.push_back(joinPath(folder, desktop + "-mimeapps.list"));
        lists.push_back(joinPath(folder, "mimeapps.list"));
    }
    // The older name of the defaults file, still shipped by some distributions.
    for (const std::string& folder : dataDirs)
        lists.push_back(folder + "/applications/defaults.list");
    return lists;
}

// A desktop file id names "a/b.desktop" under an applications folder as "a-b.desktop".
std::optional<std::string> findDesktopFile(const std::string& folder, const std::string& id)
{
    if (const std::string file = joinPath(folder, id); hasFileType(file, S_IFREG))
        return file;
    for (auto dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        const std::string subfolder = joinPath(folder, id.substr(0, dash));
        if (hasFileType(subfolder, S_IFDIR))
            if (auto found = findDesktopFile(subfolder, id.substr(dash + 1)))
                return found;
    }
    return std::nullopt;
}

// The command of an installed desktop application that runs in a window of its own.
std::optional<std::vector<std::string>> applicationCommand(const std::string& desktopFile,
                                                           const std::string& file)
{
    const auto text = readText(desktopFile);
    const auto entry = text ? parseDesktopEntry(*text) : std::nullopt;
    if (!entry || entry->hidden || entry->terminal ||
        (!entry->type.empty() && entry->type != "Application"))
        return std::nullopt;
    if (!entry->tryExec.empty() && !findProgram(entry->tryExec))
        return std::nullopt;
    auto arguments = splitExecLine(entry->exec);
    if (!arguments || arguments->empty())
        return std::nullopt;
    const auto program = findProgram(arguments->front());
    if (!program)
        return std::nullopt;
    arguments->front() = *program;
    return expandExecArguments(*arguments, file);
}

std::optional<std::vector<std::string>> defaultApplicationCommand(const std::string& file)
{
    const std::string dataHome = xdgHome("XDG_DATA_HOME", "/.local/share");
    const std::vector<std::string> dataDirs =
        xdgFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    std::vector<std::string> applicationFolders{dataHome + "/applications"};
    for (const std::string& folder : dataDirs)
        applicationFolders.push_back(folder + "/applications");

    for (const std::string& list : mimeAppsLists(dataHome, dataDirs)) {
        const auto listText = readText(list);
        if (!listText)
            continue;
        for (const std::string& id : defaultTextApplications(*listText)) {
            // The first folder holding the id decides, even when its entry is unusable.
            for (const std::string& folder : applicationFolders) {
                if (const auto desktopFile = findDesktopFile(folder, id)) {
                    if (auto command = applicationCommand(*desktopFile, file))
                        return command;
                    break;
                }
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> textEditorCommand(const std::string& file)
{
    if (auto command = defaultApplicationCommand(file))
        return *command;
    for (const char* editor : commonEditors)
        if (const auto program = findProgram(editor))
            return {*program, file};
    return {};
}

bool startTextEditor(const std::string& file)
{
    // There is no portable way to ask another program for a maximized window: the XDG Exec line
    // has no such field code, GTK editors dropped geometry options, and Wayland lets no client
    // place or size another's window. So the editor opens at the size it chooses.
    const std::vector<std::string> command = textEditorCommand(file);
    return !command.empty() && startDetachedProcess(command);
}

#include "platform/desktop/text_editor.h"

#include "platform/base/local_path.h"
#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/detached_process.h"

#include <cstdlib>
#include <fstream>
#include <gio/gdesktopappinfo.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tried in this order when the desktop offers no application for text/plain.
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

// The desktop files of the applications the desktop offers for plain text: its default first,
// then those that declare the type themselves.
std::vector<std::string> textApplicationFiles()
{
    std::vector<std::string> files;
    const auto add = [&files](GAppInfo* info) {
        if (G_IS_DESKTOP_APP_INFO(info))
            if (const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info)))
                files.push_back(file);
    };
    if (GAppInfo* info = g_app_info_get_default_for_type("text/plain", FALSE)) {
        add(info);
        g_object_unref(info);
    }
    GList* recommended = g_app_info_get_recommended_for_type("text/plain");
    for (GList* item = recommended; item; item = item->next)
        add(G_APP_INFO(item->data));
    g_list_free_full(recommended, g_object_unref);
    return files;
}

} // namespace

std::vector<std::string> textEditorCommand(const std::string& file)
{
    for (const std::string& desktopFile : textApplicationFiles())
        if (auto command = applicationCommand(desktopFile, file))
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

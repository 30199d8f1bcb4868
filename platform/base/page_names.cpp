#include "platform/base/page_names.h"

#include "platform/base/ascii_text.h"

#include <algorithm>
#include <iterator>

namespace {

enum class PageKind { SavedWithFolder, Single, Archive };

struct PageExtension {
    std::string_view extension;
    PageKind kind;
};

constexpr PageExtension kPageExtensions[] = {{"htm", PageKind::SavedWithFolder},
                                             {"html", PageKind::SavedWithFolder},
                                             {"shtml", PageKind::SavedWithFolder},
                                             {"xhtml", PageKind::SavedWithFolder},
                                             {"xht", PageKind::Single},
                                             {"mht", PageKind::Archive},
                                             {"mhtml", PageKind::Archive}};

// The kind of page a name's extension gives, or none.
const PageExtension* pageExtensionOf(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    const std::string_view extension = name.substr(dot + 1);
    const auto found = std::find_if(
        std::begin(kPageExtensions), std::end(kPageExtensions),
        [&](const PageExtension& known) { return equalsIgnoringCase(extension, known.extension); });
    return found == std::end(kPageExtensions) ? nullptr : found;
}

} // namespace

bool isPageName(std::string_view name)
{
    return pageExtensionOf(name) != nullptr;
}

bool isPageSavedWithFolder(std::string_view name)
{
    const PageExtension* page = pageExtensionOf(name);
    return page && page->kind == PageKind::SavedWithFolder;
}

bool isWebArchive(std::string_view path)
{
    const PageExtension* page = pageExtensionOf(path);
    return page && page->kind == PageKind::Archive;
}

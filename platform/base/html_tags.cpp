#include "platform/base/html_tags.h"

#include "platform/base/ascii_text.h"

namespace {

// Reads the attributes of the tag whose name ends at `at` into `tag`, up to and past its ">".
void readAttributes(std::string_view html, std::size_t at, StartTag& tag)
{
    const std::size_t size = html.size();
    while (at < size) {
        while (at < size && (isHtmlSpace(html[at]) || html[at] == '/'))
            ++at;
        if (at >= size || html[at] == '>') {
            tag.end = std::min(at + 1, size);
            return;
        }
        const std::size_t nameStart = at;
        while (at < size && !isHtmlSpace(html[at]) && html[at] != '=' && html[at] != '>' &&
               html[at] != '/')
            ++at;
        const std::string_view name = html.substr(nameStart, at - nameStart);
        while (at < size && isHtmlSpace(html[at]))
            ++at;
        if (at >= size || html[at] != '=') {
            tag.attributes.emplace_back(name, std::string_view());
            continue;
        }
        ++at;
        while (at < size && isHtmlSpace(html[at]))
            ++at;
        std::string_view value;
        if (at < size && (html[at] == '"' || html[at] == '\'')) {
            const std::size_t close = html.find(html[at], at + 1);
            const std::size_t end = close == std::string_view::npos ? size : close;
            value = html.substr(at + 1, end - at - 1);
            at = end + 1;
        } else {
            const std::size_t start = at;
            while (at < size && !isHtmlSpace(html[at]) && html[at] != '>')
                ++at;
            value = html.substr(start, at - start);
        }
        tag.attributes.emplace_back(name, value);
    }
    tag.end = size;
}

} // namespace

void forEachStartTag(std::string_view html, const std::function<bool(const StartTag&)>& visit)
{
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.compare(at, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        if (at + 1 >= html.size() || !isAsciiLetter(html[at + 1])) {
            ++at;
            continue;
        }
        std::size_t nameEnd = at + 1;
        while (nameEnd < html.size() && !isHtmlSpace(html[nameEnd]) && html[nameEnd] != '>' &&
               html[nameEnd] != '/')
            ++nameEnd;
        StartTag tag;
        tag.name = html.substr(at + 1, nameEnd - at - 1);
        readAttributes(html, nameEnd, tag);
        if (!visit(tag))
            return;
        at = tag.end;
        for (std::string_view raw : {std::string_view("script"), std::string_view("style")}) {
            if (equalsIgnoringCase(tag.name, raw)) {
                const std::size_t close =
                    findIgnoringCase(html, raw == "script" ? "</script" : "</style", at);
                at = close == std::string_view::npos ? html.size() : close;
            }
        }
    }
}

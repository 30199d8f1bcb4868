#pragma once

// A page saved whole by a browser, for the tests of its companion folder: an HTML file whose
// relative links point at files in "a_files" beside it.

#include "support/fileops_support.h"

#include <string>
#include <vector>

namespace savedPage {

// The files the page's links point at, relative to the page.
inline const std::vector<std::string>& linkedFiles()
{
    static const std::vector<std::string> files = {"a_files/style.css", "a_files/bg.png",
                                                   "a_files/img/logo.png", "a_files/photo 1.jpg"};
    return files;
}

// The page's HTML; `padding` bytes of comment after its links make it large.
inline std::string html(std::size_t padding = 0)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page</title>\n"
           "<link rel=\"stylesheet\" href=\"a_files/style.css\">\n"
           "<style>body { background: url(\"a_files/bg.png\") }</style></head>\n"
           "<body><img src=\"a_files/img/logo.png\"><img src=\"a_files/photo%201.jpg\">\n"
           "<a href=\"http://example.org/\">site</a>\n<!-- " +
           std::string(padding, 'x') + " -->\n</body></html>\n";
}

inline std::string contentOf(const std::string& file)
{
    return "contenu de " + file;
}

// Writes the page under `name` in `folder`, with its companion "a_files" beside it.
inline void make(const std::string& folder, const std::string& name = "a.htm",
                 std::size_t padding = 0)
{
    writeBytes(folder + "/" + name, html(padding));
    QCOMPARE(mkdir((folder + "/a_files").c_str(), 0755), 0);
    QCOMPARE(mkdir((folder + "/a_files/img").c_str(), 0755), 0);
    for (const std::string& file : linkedFiles())
        writeBytes(folder + "/" + file, contentOf(file));
}

// The links of the page at `page` that lead to no file, or to a file other than the one saved
// with it: empty when the page shows whole.
inline std::vector<std::string> brokenLinks(const std::string& page)
{
    const std::string folder = page.substr(0, page.rfind('/'));
    std::vector<std::string> broken;
    for (const std::string& file : linkedFiles())
        if (readBytes(folder + "/" + file) != contentOf(file))
            broken.push_back(file);
    return broken;
}

} // namespace savedPage

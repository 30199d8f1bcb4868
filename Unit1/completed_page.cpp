#include "Unit1/completed_page.h"

std::string withSpacesDecoded(const std::string& address)
{
    std::string result;
    result.reserve(address.size());
    for (std::size_t i = 0; i < address.size();) {
        if (address.compare(i, 3, "%20") == 0) {
            result.push_back(' ');
            i += 3;
        } else {
            result.push_back(address[i++]);
        }
    }
    return result;
}

std::optional<std::string>
pageAfterDocumentComplete(const std::string& address, const std::string& current,
                          const std::function<bool(const std::string&)>& exists)
{
    const bool local = !address.empty() && address.front() == '/';
    if (local && exists(address))
        return address;
    const auto firstHash = address.find('#');
    if (firstHash == std::string::npos)
        return withSpacesDecoded(address);

    // The page is the part before the "#" that starts the fragment; a "#" may belong to the name.
    std::string page;
    if (local) {
        for (auto hash = address.rfind('#'); hash != std::string::npos && hash >= firstHash;
             hash = hash == 0 ? std::string::npos : address.rfind('#', hash - 1)) {
            if (exists(address.substr(0, hash))) {
                page = address.substr(0, hash);
                break;
            }
        }
    }
    if (page.empty())
        page = withSpacesDecoded(address.substr(0, firstHash));
    if (page.empty() || page == current)
        return std::nullopt;
    return page;
}

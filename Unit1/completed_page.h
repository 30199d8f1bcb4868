#pragma once

#include <functional>
#include <optional>
#include <string>

// Every "%20" replaced by " ", left to right, without re-scanning.
std::string withSpacesDecoded(const std::string& address);

// The current page once a document completed at `address`, or nothing when it stays as it is (a
// jump within the current page). A local name that exists as reported is taken as it is, so a file
// whose own name holds "%20" or "#" stays the page shown.
std::optional<std::string>
pageAfterDocumentComplete(const std::string& address, const std::string& current,
                          const std::function<bool(const std::string&)>& exists);

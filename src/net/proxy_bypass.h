// The proxy bypass list in the platform's syntax: entries separated by ";"
// or blanks; "<local>" stands for every host name without a dot; any other
// entry is a host pattern in which "*" stands for any run of characters,
// compared without regard to the case of ASCII letters.
#pragma once

#include <string_view>

namespace tarn {

// True when host is to be reached directly, not through the proxy.
bool BypassesProxy(std::string_view bypass_list, std::string_view host);

}  // namespace tarn

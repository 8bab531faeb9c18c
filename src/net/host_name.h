// What a connection accepts as its server: a host name or an IP literal.
// Anything else (user information, a path, a port, blanks) would be read as
// part of an address by the HTTP library underneath.
#pragma once

#include <string_view>

namespace tarn {

// A host name (labels of letters, digits, "-" and "_", 1 to 63 bytes each,
// joined by dots, 253 bytes at most, a final dot allowed; dotted IPv4
// addresses are of this form) or an IPv6 address, bare or in brackets.
bool IsHostNameOrAddress(std::string_view host);

// True for an IPv6 address without its brackets.
bool IsBareIPv6Address(std::string_view host);

// Names in the special domain "invalid." never resolve (RFC 6761): they are
// refused at once, without asking any name server.
bool NeverResolves(std::string_view host);

}  // namespace tarn

#include "net/http_errors.h"

#include <string_view>
#include <utility>

namespace tarn {
namespace {

// WinHTTP's message texts for its codes, as Windows gives them.
constexpr std::pair<int, std::string_view> kDocumentedTexts[] = {
    {12001, "No more handles could be generated at this time"},
    {http_error::kTimeout, "The operation timed out"},
    {http_error::kInternalError, "An internal error occurred in the Microsoft Windows HTTP Services"},
    {http_error::kInvalidUrl, "The URL is invalid"},
    {12006, "The URL does not use a recognized protocol"},
    {http_error::kNameNotResolved, "The server name or address could not be resolved"},
    {12009, "An invalid option value was specified"},
    {12011, "The requested option cannot be set, only queried"},
    {12015, "The login attempt failed"},
    {12017, "The operation was canceled"},
    {12018, "The type of handle supplied is incorrect for this operation"},
    {12019, "The requested operation cannot be carried out because the handle supplied is not in the correct state"},
    {http_error::kCannotConnect, "A connection with the server could not be established"},
    {http_error::kConnectionError, "The connection with the server was terminated abnormally"},
    {12032, "The request must be resent"},
    {http_error::kCertificateDateInvalid, "The date in the certificate is invalid or has expired"},
    {http_error::kCertificateNameInvalid, "The host name in the certificate is invalid or does not match"},
    {12044, "The server requests client authentication"},
    {http_error::kUnknownAuthority, "The certificate authority is invalid or incorrect"},
    {12150, "The requested header could not be located"},
    {http_error::kInvalidServerResponse, "The server returned an invalid or unrecognized response"},
    {12153, "The supplied header is invalid"},
    {12156, "The redirection failed because either the scheme changed or all attempts made to redirect failed"},
    {http_error::kSecureChannelError, "An error occurred in the secure channel support"},
    {http_error::kCertificateRevoked, "The certificate has been revoked"},
    {http_error::kSecureFailure, "A security error occurred"},
    {http_error::kCertificateWrongUsage, "The certificate is not valid for the requested usage"},
    {http_error::kHeaderSizeOverflow, "The size of the headers received exceeds the limit"},
    {12183, "The size of a chunk header received exceeds the limit"},
};

}  // namespace

std::string DocumentedHttpErrorText(int code) {
  for (const auto& [known, text] : kDocumentedTexts) {
    if (known == code) return std::string(text);
  }
  return {};
}

void RaiseCannotConnect(const std::string& host, std::int32_t port) {
  throw EWinHTTP("Unable to connect to " + host + ":" + std::to_string(port) + " - server may be down or unavailable");
}

void RaiseBodyTooLong(std::int64_t max_size) {
  throw ECrtSocket("Answer body exceeds " + std::to_string(max_size) + " bytes");
}

}  // namespace tarn

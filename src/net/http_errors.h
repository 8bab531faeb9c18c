// The transport's failures: its own two classes, and the failures of the
// HTTP service underneath, raised as EOSError with WinHTTP's codes on every
// platform (the libcurl back end reports its failures with the same codes),
// so that a caller sees one code and one text for one kind of failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/portable/exceptions.h"

namespace tarn {

// A registered coding that cannot decode an answer: "%s uncompress"; an
// answer whose body is longer than the connection takes:
// "Answer body exceeds %d bytes"; a file of certificate authorities given
// where WinHTTP, which takes none, is the HTTP service (kNoCAFileMessage).
TARN_EXCEPTION_CLASS(ECrtSocket, Exception);
// A server that cannot be reached:
// "Unable to connect to %s:%d - server may be down or unavailable".
TARN_EXCEPTION_CLASS(EWinHTTP, Exception);

inline constexpr const char* kNoCAFileMessage =
    "WinHTTP takes no CA file: it trusts the authorities of the Windows certificate store";

// WinHTTP's codes of the failures the transport reports.
namespace http_error {
inline constexpr int kTimeout = 12002;
inline constexpr int kInternalError = 12004;
inline constexpr int kInvalidUrl = 12005;
inline constexpr int kNameNotResolved = 12007;
inline constexpr int kCannotConnect = 12029;
inline constexpr int kConnectionError = 12030;
// A server certificate refused: out of its dates, for another name, issued
// by an authority that is not trusted, revoked, meant for another use; or
// another fault of it.
inline constexpr int kCertificateDateInvalid = 12037;
inline constexpr int kCertificateNameInvalid = 12038;
inline constexpr int kUnknownAuthority = 12045;
inline constexpr int kCertificateRevoked = 12170;
inline constexpr int kCertificateWrongUsage = 12179;
inline constexpr int kSecureFailure = 12175;
inline constexpr int kInvalidServerResponse = 12152;
inline constexpr int kSecureChannelError = 12157;
inline constexpr int kHeaderSizeOverflow = 12182;
}  // namespace http_error

// The most that the heads of an answer may take, as WinHTTP allows by
// default: more is a hostile server (kHeaderSizeOverflow).
inline constexpr std::size_t kMostHeadBytes = 64 * 1024;

// The documented text of a WinHTTP code, for systems whose WinHTTP carries
// no texts; empty for a code it does not know.
std::string DocumentedHttpErrorText(int code);

// Raises EOSError for a failure of the HTTP service: the system's text for
// code, or the documented text when the system has none.
[[noreturn]] void RaiseHttpError(int code);

// Raises EWinHTTP for a server that cannot be reached.
[[noreturn]] void RaiseCannotConnect(const std::string& host, std::int32_t port);

// Raises ECrtSocket for a body longer than max_size bytes.
[[noreturn]] void RaiseBodyTooLong(std::int64_t max_size);

}  // namespace tarn

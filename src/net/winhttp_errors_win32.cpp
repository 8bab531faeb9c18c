// The WinHTTP back end's failures: WinHTTP's codes with the system's texts.
#include <windows.h>
#include <winhttp.h>

#include "net/http_errors.h"
#include "platform/os_error.h"

namespace tarn {
namespace {

// Wine's WinHTTP reports a stalled answer with the socket's own timeout code.
constexpr int kSocketTimedOut = 10060;

}  // namespace

void RaiseHttpError(int code) {
  if (code == kSocketTimedOut) code = ERROR_WINHTTP_TIMEOUT;
  // WinHTTP's codes have their texts in winhttp.dll's message table, which
  // some systems (Wine) lack.
  std::string text = OSErrorText(code, L"winhttp.dll");
  if (text.empty()) text = DocumentedHttpErrorText(code);
  if (text.empty()) text = OSErrorText(code);
  throw EOSError(code, text);
}

}  // namespace tarn

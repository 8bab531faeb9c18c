// Whether the test program runs under Wine rather than on Windows itself.
// Where Wine's services behave differently from Windows, the test names the
// difference and checks what Wine does.
#pragma once

namespace tarn::testing {

#ifdef _WIN32
bool UnderWine();
#else
inline bool UnderWine() { return false; }
#endif

}  // namespace tarn::testing

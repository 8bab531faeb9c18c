// The transport's own failures. Both carry only a message.
#pragma once

#include "platform/portable/exceptions.h"

namespace tarn {

// A registered coding that cannot decode an answer: "%s uncompress".
TARN_EXCEPTION_CLASS(ECrtSocket, Exception);
// A server that cannot be reached:
// "Unable to connect to %s:%d - server may be down or unavailable".
TARN_EXCEPTION_CLASS(EWinHTTP, Exception);

}  // namespace tarn

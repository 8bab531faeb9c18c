// The "gzip" content coding: a text becomes one gzip member (RFC 1952) and
// back. The member's header and trailer are written and checked here; zlib
// supplies raw deflate, raw inflate and the CRC-32.
//
// Thread safety: no state is kept between calls.
#pragma once

#include <string>

#include "platform/portable/exceptions.h"

namespace tarn {

// A failing zlib call: "Error %s during %s process", with zlib's name for
// the error and "CompressMem" or "UnCompressMem".
TARN_EXCEPTION_CLASS(EZipException, Exception);

// With encode true, data becomes its gzip member and the result is "gzip".
// With encode false, data becomes the text held in the member and the result
// is "gzip"; a member that cannot be decoded (not gzip, a bad header, a wrong
// length or checksum, an announced length that the compressed bytes cannot
// reach) empties data and gives an empty result, so that no loss passes for
// an empty text. A trailer of zeros is the empty text, whose data is not
// inflated. The output grows as it is inflated, never past the decoding
// limit standing on the thread (DecodedSizeLimit, content_coding.h): a text
// that passes it raises ECrtSocket "Answer body exceeds %d bytes" at once.
// Raises EZipException when zlib reports an error, EOutOfMemory for zlib's
// memory error.
std::string GzipCoding(std::string& data, bool encode);

}  // namespace tarn

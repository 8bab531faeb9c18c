// Conversion between Variant and the platform's OLE Automation VARIANT, for
// Windows callers that hand the JSON library a VARIANT or take one from it.
// Built on Windows only.
#pragma once

#include "platform/portable/variant.h"

struct tagVARIANT;

namespace tarn {

// Fills `out`, which holds no value the caller still needs (it is not
// cleared first). A wide or narrow string becomes a BSTR that the caller
// frees with VariantClear; a by-reference variant keeps its pointer. An
// interface or array variant raises EConvertError.
void ToOleVariant(const Variant& value, tagVARIANT& out);

// The same value as a Variant; a BSTR is copied. A type the model has no
// payload for (an interface or a SAFEARRAY) keeps its type code without one,
// so that a consumer refuses it by its type.
Variant FromOleVariant(const tagVARIANT& value);

}  // namespace tarn

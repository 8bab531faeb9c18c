// The settings document that `tarn-settings dump` prints and `tarn-settings
// load` reads: profile-file text whose section headers name a file of the
// settings folder as well, [FILE:SECTION], so that one document holds the
// settings of both files.
//
//   ; a comment
//   [tarnclient.ini:CLIENT]
//   TIMEOUT=600000
//   FORCEADDRESS=" spaces kept "    values read as a settings file's are
//   -DEBUG                          a key to remove
//
// A line without '=' that is no header, comment or blank line, a key before
// any header and a key named twice are refused, so that a mistyped line
// cannot pass unnoticed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"

namespace tarn {

// A document that cannot be read: "<document>, line N: <what>".
TARN_EXCEPTION_CLASS(EDocumentError, Exception);

// One key that a document names, with the file that holds it (a name in the
// settings folder).
struct DocumentEntry {
  std::string file;
  ProfileEntry entry;
};

// The entries of a document in its order; its lines are the user's text
// (display_text.h), converted line by line. `name` names the document in
// errors.
std::vector<DocumentEntry> ReadSettingsDocument(std::string_view bytes, const std::string& name);

// A section's header line in a document.
std::string DocumentHeader(std::string_view file, std::string_view section);

}  // namespace tarn

// What `tarn-settings load` does with a settings document: for each file it
// names, the keys whose values the file does not already hold, and the
// file's text before and after. A key that already reads as the document
// says is left as it is, so that loading a document twice changes nothing
// the second time, not even a file's modification time.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings_document.h"

namespace tarn {

struct FileLoad {
  std::string path;
  std::optional<std::string> before;  // nothing for a missing file
  std::vector<ProfileEntry> changes;  // values spelled as lines spell them
  std::string after;
};

// Reads each file that `document` names in the folder `dir` (with its
// trailing separator), in the order the document first names them, and
// what would change in it. Raises EIniFileException, with the reason, for
// a file that is there but cannot be read, and for a link that a write
// would refuse.
std::vector<FileLoad> PlanLoad(const std::string& dir, const std::vector<DocumentEntry>& document);

// The unified diff of a file's change, its "---" and "+++" lines first, in
// program text; none when nothing changes.
std::vector<std::string> LoadDiff(const FileLoad& load);

// Writes each file's changes, in one replacement under the writers' lock.
void ApplyLoad(const std::vector<FileLoad>& loads);

}  // namespace tarn

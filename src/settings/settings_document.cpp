#include "settings/settings_document.h"

#include <optional>

#include "platform/portable/ascii_text.h"
#include "platform/portable/command_line.h"

namespace tarn {

namespace {

bool SameEntry(const DocumentEntry& a, const DocumentEntry& b) {
  return a.file == b.file && SameAsciiText(a.entry.section, b.entry.section) && SameAsciiText(a.entry.key, b.entry.key);
}

// The file and section of a header line "[FILE:SECTION]", or nothing.
std::optional<DocumentEntry> ReadHeader(std::string_view text) {
  size_t colon = text.find(':');
  if (!text.ends_with(']') || text.find(']') + 1 != text.size() || colon == std::string_view::npos) return {};
  std::string_view file = NameAsRead(text.substr(1, colon - 1));
  if (file.empty() || file.find_first_of("/\\") != std::string_view::npos) return {};
  return DocumentEntry{std::string(file),
                       {std::string(NameAsRead(text.substr(colon + 1, text.size() - colon - 2))), {}, {}}};
}

}  // namespace

std::vector<DocumentEntry> ReadSettingsDocument(std::string_view bytes, const std::string& name) {
  std::vector<DocumentEntry> entries;
  std::optional<DocumentEntry> place;  // the file and section of the lines that follow
  size_t number = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::string_view raw = bytes.substr(start, end - start);
    start = end + 1;
    ++number;
    auto refuse = [&](const std::string& what) {
      throw EDocumentError(name + ", line " + std::to_string(number) + ": " + what);
    };
    if (raw.ends_with('\r')) raw.remove_suffix(1);
    std::string line;
    try {
      line = TypedText(raw, TypedFrom::kStream);
    } catch (const EConvertError& error) {
      refuse(error.Message());
    }
    std::string_view text = NameAsRead(line);
    if (text.empty() || text.starts_with(';')) continue;
    if (text.starts_with('[')) {
      if (!(place = ReadHeader(text))) refuse("a section's header is [FILE:SECTION], FILE a name in the folder");
      continue;
    }
    DocumentEntry named = place.value_or(DocumentEntry{});
    size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
      named.entry.key = NameAsRead(text.substr(0, equals));
      named.entry.value = ValueAsRead(text.substr(equals + 1));
    } else if (text.starts_with('-')) {
      named.entry.key = NameAsRead(text.substr(1));
      named.entry.remove = true;
    } else {
      refuse("neither [FILE:SECTION], KEY=VALUE, -KEY nor a comment");
    }
    if (!place) refuse("a key before the first [FILE:SECTION]");
    if (named.entry.key.empty()) refuse("a key without a name");
    for (const DocumentEntry& earlier : entries) {
      if (SameEntry(earlier, named)) {
        refuse(named.entry.key + " is named twice in " + DocumentHeader(named.file, named.entry.section));
      }
    }
    entries.push_back(std::move(named));
  }
  return entries;
}

std::string DocumentHeader(std::string_view file, std::string_view section) {
  return "[" + std::string(file) + ":" + std::string(section) + "]";
}

}  // namespace tarn

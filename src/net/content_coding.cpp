#include "net/content_coding.h"

namespace tarn {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool HasUpperText(std::string_view text, std::size_t at, std::string_view upper) {
  if (text.size() < at || text.size() - at < upper.size()) return false;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    if (UpperAscii(text[at + i]) != upper[i]) return false;
  }
  return true;
}

// "text/..." and "application/json..." or "application/xml...": bodies
// that are worth compressing once they are large enough.
bool IsTextType(std::string_view content_type) {
  if (HasUpperText(content_type, 0, "TEXT/")) return true;
  constexpr std::string_view kApplication = "APPLICATION/";
  return HasUpperText(content_type, 0, kApplication) &&
         (HasUpperText(content_type, kApplication.size(), "JSON") ||
          HasUpperText(content_type, kApplication.size(), "XML"));
}

}  // namespace

THttpSocketCompressSet MatchAcceptedCodings(const THttpSocketCompressRecDynArray& codings, std::string_view value) {
  THttpSocketCompressSet accepted = 0;
  std::size_t at = 0;
  while (at < value.size()) {
    while (at < value.size() && (value[at] == ' ' || value[at] == '\t' || value[at] == ',')) ++at;
    std::size_t end = value.find_first_of(",;", at);
    if (end == std::string_view::npos) end = value.size();
    std::string_view token = value.substr(at, end - at);
    for (std::size_t i = 0; i < codings.size() && i < kMaxCodings; ++i) {
      if (codings[i].Name == token) accepted |= THttpSocketCompressSet{1} << i;
    }
    at = value.find(',', end);
    if (at == std::string_view::npos) break;
  }
  return accepted;
}

std::string PickRequestCoding(THttpSocketCompressSet peer_codings, const THttpSocketCompressRecDynArray& codings,
                              std::string_view content_type, std::string& body) {
  if (peer_codings == 0 || content_type.empty() || codings.empty()) return {};
  const bool text = IsTextType(content_type);
  for (std::size_t i = 0; i < codings.size() && i < kMaxCodings; ++i) {
    if (!(peer_codings & (THttpSocketCompressSet{1} << i))) continue;
    const THttpSocketCompressRec& coding = codings[i];
    if (coding.MinSize == 0 || (text && static_cast<std::int64_t>(body.size()) >= coding.MinSize)) {
      return coding.Coder(body, true);
    }
  }
  return {};
}

}  // namespace tarn

#include "net/content_coding.h"

#include <algorithm>

#include "net/header_lines.h"
#include "platform/portable/ascii_text.h"

namespace tarn {
namespace {

thread_local std::int64_t t_decoded_size_limit = INT64_MAX;

// Whether text holds `word` at `at`, compared without regard to case.
bool HasTextAt(std::string_view text, std::size_t at, std::string_view word) {
  return text.size() >= at && text.size() - at >= word.size() && SameAsciiText(text.substr(at, word.size()), word);
}

// "text/..." and "application/json..." or "application/xml...": bodies
// that are worth compressing once they are large enough.
bool IsTextType(std::string_view content_type) {
  if (HasTextAt(content_type, 0, "TEXT/")) return true;
  constexpr std::string_view kApplication = "APPLICATION/";
  return HasTextAt(content_type, 0, kApplication) &&
         (HasTextAt(content_type, kApplication.size(), "JSON") ||
          HasTextAt(content_type, kApplication.size(), "XML"));
}

// True when the parameters after a coding's name (";q=0", "; q=0.000")
// give it the quality 0: the server refuses that coding.
bool RefusedByQuality(std::string_view parameters) {
  while (!parameters.empty()) {
    std::size_t end = parameters.find(';');
    std::string_view parameter = parameters.substr(0, end);
    parameters = end == std::string_view::npos ? std::string_view() : parameters.substr(end + 1);
    const std::size_t equals = parameter.find('=');
    const std::string_view name = TrimBlanks(parameter.substr(0, equals));
    if (equals == std::string_view::npos || (name != "q" && name != "Q")) continue;
    std::string_view quality = TrimBlanks(parameter.substr(equals + 1));
    if (quality.empty() || quality.front() != '0') return false;
    quality.remove_prefix(1);
    if (quality.starts_with('.')) quality.remove_prefix(1);
    return quality.find_first_not_of('0') == std::string_view::npos;
  }
  return false;
}

}  // namespace

THttpSocketCompressSet MatchAcceptedCodings(const THttpSocketCompressRecDynArray& codings, std::string_view value) {
  THttpSocketCompressSet accepted = 0;
  std::size_t at = 0;
  while (at < value.size()) {
    while (at < value.size() && (IsBlank(value[at]) || value[at] == ',')) ++at;
    std::size_t end = value.find_first_of(",;", at);
    if (end == std::string_view::npos) end = value.size();
    std::string_view token = value.substr(at, end - at);
    at = value.find(',', end);
    const std::size_t parameters_end = at == std::string_view::npos ? value.size() : at;
    if (end < parameters_end && RefusedByQuality(value.substr(end + 1, parameters_end - end - 1))) continue;
    for (std::size_t i = 0; i < codings.size() && i < kMaxCodings; ++i) {
      if (codings[i].Name == token) accepted |= THttpSocketCompressSet{1} << i;
    }
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

DecodedSizeLimit::DecodedSizeLimit(std::int64_t most) noexcept : outer_(t_decoded_size_limit) {
  t_decoded_size_limit = std::max<std::int64_t>(most, 0);
}

DecodedSizeLimit::~DecodedSizeLimit() { t_decoded_size_limit = outer_; }

std::int64_t DecodedSizeLimit::Current() noexcept { return t_decoded_size_limit; }

}  // namespace tarn

#include "report/search_trace.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace velm::report {
namespace {

constexpr std::string_view kBestTag = "min.f=";
constexpr std::string_view kCountTag = "fcount=";

// The number that follows `tag` in `line`, blanks skipped.
template <typename T>
std::optional<T> NumberAfter(std::string_view line, std::string_view tag) {
  const std::size_t at = line.find(tag);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t from = at + tag.size();
  while (from < line.size() && line[from] == ' ') ++from;
  T value{};
  const auto [end, error] =
      std::from_chars(line.data() + from, line.data() + line.size(), value);
  if (error != std::errc()) return std::nullopt;
  return value;
}

}  // namespace

std::vector<TracePoint> SearchTrace(std::string_view text) {
  std::vector<TracePoint> trace;
  double best = std::numeric_limits<double>::infinity();
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto f = NumberAfter<double>(line, kBestTag);
    // The result file writes the count right after f, without a blank.
    const auto count = NumberAfter<long long>(line, kCountTag);
    if (!f || !count || std::isnan(*f)) continue;
    best = std::fmin(best, *f);
    trace.push_back({*count, best});
  }
  return trace;
}

}  // namespace velm::report

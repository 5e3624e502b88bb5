#include "sim/moduleconfig.h"

#include <iterator>

namespace {

constexpr const char* Names[] = {"blank",    "kvboot-old", "kvboot",
                                 "kvsp-old", "kvsp",       "other-maker"};

} // namespace

const char* PersonalityName(TPersonality personality) {
  const auto i = static_cast<std::size_t>(personality);
  return i < std::size(Names) ? Names[i] : "";
}

std::optional<TPersonality> ParsePersonality(const std::string& name) {
  for (std::size_t i = 0; i < std::size(Names); ++i)
    if (name == Names[i]) return static_cast<TPersonality>(i);
  return std::nullopt;
}

#include "counting/engine_settings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace tallyra {

std::span<const EngineOptionName> engineOptionNames() {
#define TALLYRA_OPTION_NAME(type, name, value, least, most, meaning)    \
  {#name,                                                               \
   least,                                                               \
   most,                                                                \
   meaning,                                                             \
   [](const EngineOptions& o) { return static_cast<int64_t>(o.name); }, \
   [](EngineOptions& o, int64_t v) { o.name = static_cast<type>(v); }},
  static constexpr EngineOptionName kNames[] = {TALLYRA_ENGINE_OPTIONS(TALLYRA_OPTION_NAME)};
#undef TALLYRA_OPTION_NAME
  return kNames;
}

EngineOptions optionsInRange(const EngineOptions& options) {
  EngineOptions inRange = options;
  for (const EngineOptionName& option : engineOptionNames())
    option.set(inRange, std::clamp(option.get(options), option.least, option.most));
  return inRange;
}

bool setEngineOptions(std::string_view list, EngineOptions& options, std::string_view& bad) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view entry = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    bad = entry;
    const size_t equals = entry.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = entry.substr(0, equals);
    const std::string_view text = entry.substr(equals + 1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    // Values the engine cannot take are brought into range when it is given
    // the options; here only their size is bounded.
    if (value < INT32_MIN || value > INT32_MAX) return false;
    const EngineOptionName* found = nullptr;
    for (const EngineOptionName& option : engineOptionNames())
      if (name == option.name) found = &option;
    if (found == nullptr) return false;
    found->set(options, value);
  }
  return true;
}

std::span<const EngineStatisticName> engineStatisticNames() {
#define TALLYRA_STATISTIC_NAME(name, meaning) {#name, &EngineStatistics::name, meaning},
  static constexpr EngineStatisticName kNames[] = {
      TALLYRA_ENGINE_STATISTICS(TALLYRA_STATISTIC_NAME)};
#undef TALLYRA_STATISTIC_NAME
  return kNames;
}

}  // namespace tallyra

#include "counting/engine_settings.h"

#include <charconv>
#include <cstdint>

namespace tallyra {

std::span<const EngineOptionName> engineOptionNames() {
  static constexpr EngineOptionName kNames[] = {
      {"exactKeysAfter", [](const EngineOptions& o) { return o.exactKeysAfter; },
       [](EngineOptions& o, int64_t v) { o.exactKeysAfter = v; }},
      {"residualKeysAfter", [](const EngineOptions& o) { return o.residualKeysAfter; },
       [](EngineOptions& o, int64_t v) { o.residualKeysAfter = v; }},
      {"triedElements", [](const EngineOptions& o) { return int64_t{o.triedElements}; },
       [](EngineOptions& o, int64_t v) { o.triedElements = static_cast<int>(v); }},
      {"widerTriesAfter", [](const EngineOptions& o) { return o.widerTriesAfter; },
       [](EngineOptions& o, int64_t v) { o.widerTriesAfter = v; }},
      {"pairsRuleAbove", [](const EngineOptions& o) { return int64_t{o.pairsRuleAbove}; },
       [](EngineOptions& o, int64_t v) { o.pairsRuleAbove = static_cast<int>(v); }},
      {"pairsRuleEverywhereAfter",
       [](const EngineOptions& o) { return o.pairsRuleEverywhereAfter; },
       [](EngineOptions& o, int64_t v) { o.pairsRuleEverywhereAfter = v; }},
      {"denseAbove", [](const EngineOptions& o) { return int64_t{o.denseAbove}; },
       [](EngineOptions& o, int64_t v) { o.denseAbove = static_cast<int>(v); }},
      {"triedJobWork", [](const EngineOptions& o) { return int64_t{o.triedJobWork}; },
       [](EngineOptions& o, int64_t v) { o.triedJobWork = static_cast<int>(v); }},
      {"plainInstructions", [](const EngineOptions& o) { return int64_t{o.plainInstructions}; },
       [](EngineOptions& o, int64_t v) { o.plainInstructions = v != 0; }},
      {"checkComponents", [](const EngineOptions& o) { return int64_t{o.checkComponents}; },
       [](EngineOptions& o, int64_t v) { o.checkComponents = v != 0; }},
  };
  return kNames;
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
  static constexpr EngineStatisticName kNames[] = {
      {"nodes", &EngineStatistics::nodes},
      {"cacheLookups", &EngineStatistics::cacheLookups},
      {"cacheHits", &EngineStatistics::cacheHits},
      {"exactDependences", &EngineStatistics::exactDependences},
      {"residualLookups", &EngineStatistics::residualLookups},
      {"residualHits", &EngineStatistics::residualHits},
      {"partsTried", &EngineStatistics::partsTried},
      {"widePartsTried", &EngineStatistics::widePartsTried},
      {"freeElements", &EngineStatistics::freeElements},
      {"partsWeighed", &EngineStatistics::partsWeighed},
      {"partsDense", &EngineStatistics::partsDense},
      {"jobsTried", &EngineStatistics::jobsTried},
      {"componentsChecked", &EngineStatistics::componentsChecked},
      {"deepestLevel", &EngineStatistics::deepestLevel},
  };
  return kNames;
}

}  // namespace tallyra

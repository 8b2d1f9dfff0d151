#include "bench/engine_flag.h"

#include <string_view>

namespace tallyra {

bool parseEngineFlag(const char* list, EngineOptions& options) {
  std::string_view bad;
  if (!setEngineOptions(list, options, bad)) {
    std::fprintf(stderr, "--engine: cannot take \"%.*s\"; the options are name=value with",
                 static_cast<int>(bad.size()), bad.data());
    for (const EngineOptionName& option : engineOptionNames())
      std::fprintf(stderr, " %s", option.name);
    std::fprintf(stderr, "\n");
    return false;
  }
  return true;
}

void printEngineOptions(FILE* out, const EngineOptions& options) {
  const char* separator = "";
  for (const EngineOptionName& option : engineOptionNames()) {
    std::fprintf(out, "%s%s=%lld", separator, option.name,
                 static_cast<long long>(option.get(options)));
    separator = " ";
  }
  std::fprintf(out, "\n");
}

void printEngineStatistics(FILE* out, const EngineStatistics& statistics) {
  const char* separator = "";
  for (const EngineStatisticName& statistic : engineStatisticNames()) {
    std::fprintf(out, "%s%s=%lld", separator, statistic.name,
                 static_cast<long long>(statistics.*statistic.field));
    separator = " ";
  }
}

void printEngineTables(FILE* out) {
  const EngineOptions defaults;
  std::fprintf(out, "| option | default | values | what it sets |\n|---|---:|---|---|\n");
  for (const EngineOptionName& option : engineOptionNames())
    std::fprintf(out, "| `%s` | %lld | %lld..%lld | %s |\n", option.name,
                 static_cast<long long>(option.get(defaults)), static_cast<long long>(option.least),
                 static_cast<long long>(option.most), option.meaning);
  std::fprintf(out, "\n| statistic | what it counts |\n|---|---|\n");
  for (const EngineStatisticName& statistic : engineStatisticNames())
    std::fprintf(out, "| `%s` | %s |\n", statistic.name, statistic.meaning);
}

}  // namespace tallyra

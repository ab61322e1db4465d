#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "dates/TOLMDate.h"
#include "events/TOLMRepetitiveEvent-Easter.h"
#include "events/TOLMRepetitiveEvent.h"

namespace {

TOLMDate at(int y, int mo, int d, int h = 0) {
  const std::int32_t f[6] = {y, mo, d, h, 0, 0};
  return TOLMDate::initWithIntArray(f);
}

using List = TOLMRepetitiveEvent::List;

List some(std::mt19937& r, int lo, int hi, int most) {
  List out;
  for (int n = 1 + static_cast<int>(r() % static_cast<unsigned>(most)); n > 0; --n) {
    out.push_back(lo + static_cast<int>(r() % static_cast<unsigned>(hi - lo + 1)));
  }
  return out;
}

// Every kind of rule, Easter among them, with and without windows and steps.
std::vector<std::shared_ptr<TOLMRepetitiveEvent>> mixedEvents(int count) {
  std::mt19937 r(1981);
  std::vector<std::shared_ptr<TOLMRepetitiveEvent>> events;
  for (int i = 0; i < count; ++i) {
    const bool window = r() % 2 == 0;
    std::optional<TOLMDate> first;
    std::optional<TOLMDate> last;
    if (window) first = at(1990 + static_cast<int>(r() % 30), 1 + static_cast<int>(r() % 12), 1 + static_cast<int>(r() % 28));
    if (window && r() % 2 == 0) last = at(2030 + static_cast<int>(r() % 10), 12, 31, 23);
    std::shared_ptr<TOLMRepetitiveEvent> e;
    const unsigned kind = r() % 21;
    if (kind == 20) {
      e = TOLMRepetitiveEvent_Easter::initWithName_message_firstDate_lastDate("Easter", "", first, last);
    } else {
      e = TOLMRepetitiveEvent::initWithName_message_firstDate_lastDate("Event", "%Y", first, last);
      switch (kind % 4) {
        case 0:
          e->setDaysOfWeek_weeksOfMonth_monthsOfYear(some(r, 0, 6, 2), some(r, 1, 5, 2), some(r, 1, 12, 4));
          break;
        case 1:
          e->setDaysOfWeek_weeksOfYear(some(r, 0, 6, 3), some(r, 1, 53, 6));
          break;
        case 2:
          e->setDaysOfMonth_monthsOfYear(some(r, 1, 31, 3), some(r, 1, 12, 6));
          break;
        default:
          e->setDaysOfYear(some(r, 1, 366, 4));
          break;
      }
      static const int kSteps[] = {1, 1, 1, -1, 2, 4, 0};
      e->setYearIncremenet(kSteps[r() % 7]);
    }
    events.push_back(std::move(e));
  }
  return events;
}

// One month grid: 42 days from the Sunday on or before the first.
void BM_eventOccursOnDate_1000x42(benchmark::State& state) {
  const auto events = mixedEvents(1000);
  std::vector<TOLMDate> grid;
  for (int d = 0; d < 42; ++d) grid.push_back(at(2026, 3, 1 + d).makeCopy());  // 2026-03-01 is a Sunday
  int matches = 0;
  for (auto _ : state) {
    for (const TOLMDate& day : grid) {
      for (const auto& e : events) matches += e->eventOccursOnDate(day) ? 1 : 0;
    }
    benchmark::DoNotOptimize(matches);
  }
}
BENCHMARK(BM_eventOccursOnDate_1000x42)->Unit(benchmark::kMicrosecond);

}  // namespace

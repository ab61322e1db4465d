#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMDate.h"

namespace {

// A zone with daylight saving, as most users have.
const bool kZoneSet = [] {
  ::setenv("TZ", "America/New_York", 1);
  ::tzset();
  return true;
}();

TOLMDate sampleDate() {
  static constexpr std::int32_t kFields[6] = {2005, 7, 4, 9, 5, 0};
  return TOLMDate::initWithIntArray(kFields).makeCopy();
}

void parse(benchmark::State& state, const std::string& text) {
  for (auto _ : state) benchmark::DoNotOptimize(dateForString(text));
}

void BM_dateForString_convertToString(benchmark::State& state) { parse(state, sampleDate().convertToString()); }
void BM_dateForString_timeString(benchmark::State& state) { parse(state, sampleDate().timeString()); }
void BM_dateForString_dateString(benchmark::State& state) { parse(state, sampleDate().dateString()); }
BENCHMARK(BM_dateForString_convertToString);
BENCHMARK(BM_dateForString_timeString);
BENCHMARK(BM_dateForString_dateString);

void BM_convertToString(benchmark::State& state) {
  const TOLMDate date = sampleDate();
  for (auto _ : state) benchmark::DoNotOptimize(date.convertToString());
}
BENCHMARK(BM_convertToString);

// The steps of the fire-time search.
void BM_makeCopyIncrementSecond(benchmark::State& state) {
  const TOLMDate date = sampleDate();
  for (auto _ : state) benchmark::DoNotOptimize(date.makeCopy().incrementSecond());
}
void BM_initWithCalendarDate(benchmark::State& state) {
  double instant = 1120482300.0;
  for (auto _ : state) benchmark::DoNotOptimize(TOLMDate::initWithCalendarDate(instant += 1.0));
}
void BM_convertToSeconds(benchmark::State& state) {
  const TOLMDate date = sampleDate();
  for (auto _ : state) benchmark::DoNotOptimize(date.convertToSeconds());
}
void BM_compareWithDate(benchmark::State& state) {
  const TOLMDate a = sampleDate();
  const TOLMDate b = a.incrementSecond();
  for (auto _ : state) benchmark::DoNotOptimize(a.compareWithDate(b));
}
BENCHMARK(BM_makeCopyIncrementSecond);
BENCHMARK(BM_initWithCalendarDate);
BENCHMARK(BM_convertToSeconds);
BENCHMARK(BM_compareWithDate);

constexpr int kListSize = 10000;

TOLMArchiveObject dateList() {
  TOLMArchiveList list;
  list.reserve(kListSize);
  TOLMDate date = sampleDate();
  for (int i = 0; i < kListSize; ++i) {
    list.push_back(TOLMArchiveObject::record(std::make_shared<TOLMDate>(date)));
    date = date.incrementSecond();
  }
  return TOLMArchiveObject::list(std::move(list));
}

void BM_archiveEncode10000Dates(benchmark::State& state) {
  const TOLMArchiveObject root = dateList();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> data = TOLMArchiver::archivedDataWithRootObject(root);
    bytes = data.size();
    benchmark::DoNotOptimize(data.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(state.iterations() * kListSize);
}
void BM_archiveDecode10000Dates(benchmark::State& state) {
  const std::vector<std::uint8_t> data = TOLMArchiver::archivedDataWithRootObject(dateList());
  for (auto _ : state) {
    TOLMResult<TOLMArchiveObject> read = TOLMUnarchiver::unarchiveObjectWithData(data);
    if (!read.ok()) state.SkipWithError(read.error().c_str());
    benchmark::DoNotOptimize(read);
  }
  state.SetItemsProcessed(state.iterations() * kListSize);
}
BENCHMARK(BM_archiveEncode10000Dates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_archiveDecode10000Dates)->Unit(benchmark::kMillisecond);

}  // namespace

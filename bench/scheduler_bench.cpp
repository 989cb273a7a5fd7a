// Cost of one scheduler pass over tables of 1 000 to 100 000 rows, none due.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/scheduler.h"
#include "platform/platform_sound_player.h"
#include "platform/recording_platform_services.h"

// Counts heap allocations, to show that a pass allocates nothing per row.
namespace {
std::atomic<long long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct NoActions : MissionActions {
  void mShutdown() override {}
  void mReboot() override {}
  void mLogoff() override {}
  void mExecPro(std::string) override {}
  void mOpenFile(std::string) override {}
  void mMessage(std::string) override {}
  void mRing() override {}
  void mOpenUrl(std::string) override {}
  void mEmail(std::string) override {}
};

struct NoStatus : StatusClockView {
  void showStatusClock(const std::string&) override {}
};

void BM_CheckMis(benchmark::State& state) {
  MisTable table;
  ManualClock clock{{2026, 12, 9, 12, 0, 0, 0}};
  const DateTimeText text;
  NoActions actions;
  RecordingPlatformServices platform;
  PlatformSoundPlayer sounds{platform};
  NoStatus status;
  const bool autoSpeek = true;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  // Half of the rows today at other seconds, half on other days.
  for (int i = 0; i < state.range(0); ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", 13 + i % 10, i % 60, (i / 60) % 60);
    table.append({"执行程序", "c:\\tools\\backup.bat", i % 2 ? "2026/12/9" : "2026/11/30", time, 1});
  }
  const long long before = allocations.load();
  for (auto _ : state) scheduler.CheckMis();
  state.counters["allocs_per_pass"] =
      static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_row"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(0)),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_CheckMis)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

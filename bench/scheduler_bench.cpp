// Cost of one scheduler pass over tables of 1 000 to 100 000 rows, none due:
// a pass that examines one second, and one that makes up 60 (the thread was
// busy for a minute).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/scheduler.h"

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
  void mRing(std::string) override {}
  void mOpenUrl(std::string) override {}
  void mEmail(std::string) override {}
  void mLock() override {}
  void mMonitorOff() override {}
  void mSleep() override {}
  void mHibernate() override {}
};

struct NoStatus : StatusClockView {
  void showStatusClock(const std::string&) override {}
};

struct NoSounds : SoundPlayer {
  void play(const std::string&) override {}
  void playFile(const std::string&, const std::string&) override {}
};

// state.range(1): the seconds each pass examines, 1 or 60.
void BM_CheckMis(benchmark::State& state) {
  MisTable table;
  const LocalDateTime start{2026, 12, 9, 12, 0, 0, 20};
  ManualClock clock{start};
  const DateTimeText text;
  NoActions actions;
  NoSounds sounds;
  NoStatus status;
  const bool autoSpeek = true;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  // Half of the rows today at other seconds, half on other days.
  for (int i = 0; i < state.range(0); ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", 13 + i % 10, i % 60, (i / 60) % 60);
    table.append({"执行程序", "c:\\tools\\backup.bat", i % 2 ? "2026/12/9" : "2026/11/30", time, 1});
  }
  LocalDateTime passAt = start;
  passAt.second = static_cast<int>(state.range(1)) % 60;
  passAt.minute = static_cast<int>(state.range(1)) / 60;
  const long long before = allocations.load();
  for (auto _ : state) {
    // A run that began state.range(1) seconds before this pass.
    clock.set(start);
    scheduler.started();
    clock.set(passAt);
    scheduler.CheckMis();
  }
  state.counters["allocs_per_pass"] =
      static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_row"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(0)),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_CheckMis)
    ->ArgsProduct({{1000, 10000, 100000}, {1, 60}})
    ->ArgNames({"rows", "seconds"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

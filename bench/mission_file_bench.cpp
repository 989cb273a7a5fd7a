// Load and save of a mission file of 100 000 missions: time per operation,
// and the peak of heap bytes in use during one operation above what was in
// use before it (the table itself included for a load).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "storage/mission_file.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

// Every block carries its size in front, so delete knows what it frees.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  const long long now = liveBytes += static_cast<long long>(size);
  long long peak = peakBytes.load();
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
  }
  return block + kHeader;
}

void release(void* p) {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace {

constexpr int kMissions = 100000;

void fillTable(MisTable& table) {
  for (int i = 0; i < kMissions; ++i) {
    table.append({"提示消息", "第" + std::to_string(i) + "条提醒: 会议室 個 $ 在三楼", "2026/12/9",
                  std::to_string(i % 24) + ":30:00", 5});
  }
}

std::filesystem::path benchFile() {
  return std::filesystem::temp_directory_path() / ("horavel-bench-" + std::to_string(getpid()) + ".mis");
}

// Runs op once with the peak reset, and gives the peak above the start.
template <typename Op>
long long peakOf(Op op) {
  const long long before = liveBytes.load();
  peakBytes = before;
  op();
  return peakBytes.load() - before;
}

void BM_SaveMissionFile(benchmark::State& state) {
  MisTable table;
  fillTable(table);
  const auto file = benchFile();
  for (auto _ : state) saveMissionFile(table, file);
  state.counters["peak_heap_MB"] = static_cast<double>(peakOf([&] { saveMissionFile(table, file); })) / 1e6;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  state.counters["missions"] = kMissions;
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveMissionFile)->Unit(benchmark::kMillisecond);

void BM_LoadMissionFile(benchmark::State& state) {
  const auto file = benchFile();
  {
    MisTable table;
    fillTable(table);
    saveMissionFile(table, file);
  }
  MisTable table;
  for (auto _ : state) loadMissionFile(table, file);
  table.clear();
  // The table's own rows are part of what a load needs.
  MisTable fresh;
  state.counters["peak_heap_MB"] = static_cast<double>(peakOf([&] { loadMissionFile(fresh, file); })) / 1e6;
  state.counters["missions"] = fresh.count();
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadMissionFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

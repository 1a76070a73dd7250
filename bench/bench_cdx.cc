// CDX workloads at the sizes the table layer needs: 100,000 inserts in random
// order, 100,000 random exact seeks and full scans of a 100,000-entry tag.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "xbase/cdx.h"

namespace {

constexpr uint32_t kEntries = 100000;

std::string Key(uint32_t n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "HOTEL CENTRAL  %010u", n * 7919u % 1000003u);
  return buf;
}

std::string TempPath() {
  return "/tmp/bench_cdx_" + std::to_string(getpid()) + ".cdx";
}

std::unique_ptr<xb::CdxFile> MakeIndex(bool build) {
  auto f = xb::CdxFile::Create(xb::Env::Default(), TempPath(), true);
  xb::TagDef s;
  s.name = "T";
  s.key_expr = "NEGOCIO + CODIGO";
  s.key_len = 25;
  auto tag = (*f)->AddTag(s);
  std::vector<std::pair<std::string, uint32_t>> e;
  for (uint32_t r = 1; r <= kEntries; ++r) e.emplace_back(Key(r), r);
  if (build) {
    std::sort(e.begin(), e.end());
    (void)(*tag)->Build(e);
  } else {
    std::shuffle(e.begin(), e.end(), std::mt19937(1));
    (void)(*f)->LockWrite();
    for (auto& [k, r] : e) (void)(*tag)->Insert(k, r);
    (void)(*f)->UnlockWrite();
  }
  return std::move(f.value());
}

void BM_Insert100kRandomOrder(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MakeIndex(false));
  unlink(TempPath().c_str());
}
BENCHMARK(BM_Insert100kRandomOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Build100k(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MakeIndex(true));
  unlink(TempPath().c_str());
}
BENCHMARK(BM_Build100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_100kRandomSeeksFromDisk(benchmark::State& state) {
  MakeIndex(true).reset();
  std::mt19937 rng(2);
  for (auto _ : state) {
    auto f = xb::CdxFile::Open(xb::Env::Default(), TempPath(), xb::OpenMode::kReadOnly);
    auto c = (*f)->tag(0)->NewCursor();
    for (uint32_t i = 0; i < kEntries; ++i) {
      (void)(*f)->Refresh();
      uint32_t r = rng() % kEntries + 1;
      bool found;
      (void)c->Seek(Key(r), false, false, &found);
      if (!found) state.SkipWithError("seek missed");
    }
  }
  unlink(TempPath().c_str());
}
BENCHMARK(BM_100kRandomSeeksFromDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_10FullScans(benchmark::State& state) {
  MakeIndex(true).reset();
  for (auto _ : state) {
    auto f = xb::CdxFile::Open(xb::Env::Default(), TempPath(), xb::OpenMode::kReadOnly);
    auto c = (*f)->tag(0)->NewCursor();
    uint64_t n = 0;
    for (int scan = 0; scan < 10; ++scan) {
      (void)(*f)->Refresh();
      for (xb::Status s = c->First(); s.ok() && c->Valid(); s = c->Next()) ++n;
    }
    if (n != 10ull * kEntries) state.SkipWithError("scan lost entries");
  }
  unlink(TempPath().c_str());
}
BENCHMARK(BM_10FullScans)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_100kSingleInsertsEachLocked(benchmark::State& state) {
  for (auto _ : state) {
    auto f = xb::CdxFile::Create(xb::Env::Default(), TempPath(), true);
    xb::TagDef s;
    s.name = "T";
    s.key_len = 25;
    auto tag = (*f)->AddTag(s);
    for (uint32_t r = 1; r <= kEntries; ++r) (void)(*tag)->Insert(Key(r), r);  // lock per insert
  }
  unlink(TempPath().c_str());
}
BENCHMARK(BM_100kSingleInsertsEachLocked)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

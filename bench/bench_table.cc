// Engine workloads on a shared-mode table of employee-like records (100,000
// unless --records=N says otherwise), the same workloads the other xBase
// engines of the suite are measured with:
//   DBF only:  append (lock+release per record), sequential read of a numeric
//              field, N/2 random locked increments of TOT_SAL.
//   Indexed (tags NEGOCIO+CODIGO, NEGOCIO+DEPTO+CODIGO, NEGOCIO+UPPER(NOMBRE)):
//     W1 append N records with codes in random order, lock+release per record
//     W2 N random exact seeks on tag 1 reading one field
//     W3 10 full scans of tag 2 in key order, summing TOT_SAL
//     W4 N/2 random locked updates moving DEPTO (a tag 2 key) and adding 1 to TOT_SAL
//     W5 20 passes seeking every business+department prefix and skipping while it matches
// Run: build/bench_table [--records=N] [--dir=PATH] [--tables=PATH]
//      [--benchmark_filter=...];
// each workload runs once. Files go to --dir (default /dev/shm when it exists,
// so that the figures measure the engine and not the disk). Each workload
// reports the resident memory after it: the process's own (anon_mb: heap,
// page cache of the indexes) and the pages of the mapped table and index
// files (file_mb: the system's file cache, shared with every process that
// reads the files, present whether we map them or not), and the peak of the
// two together (peak_mb, what the kernel counts as peak resident memory).
// --tables=PATH keeps a copy of each table a filtered run builds there and
// later runs with the same PATH start from that copy (reopened, so with no
// decoded pages yet) instead of building it again: a million records take
// half a minute to build, a W4 five seconds, and comparing two builds of the
// engine needs many alternating runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "load_average.h"
#include "xbase/table.h"

namespace {

using xb::Status;
using xb::Table;
using xb::Value;

int g_records = 100000;
std::string g_dir_base;
std::string g_tables;  // where built tables are kept for later runs ("" = nowhere)
const char* kBusinesses[] = {"HOTEL CENTRAL", "HOTEL PLAYA", "OFICINAS", "HOTEL MONTANA", "CASINO"};
const char* kDepts[] = {"COCINA", "BAR", "RECEPCION", "AMA DE LLAVES", "SEGURIDAD",
                        "MANTENIMIENTO", "ADMIN", "VENTAS", "SPA", "JARDINES"};

std::string Dir() {
  static std::string d = [] {
    std::string base = g_dir_base;
    if (base.empty()) {
      base = std::filesystem::is_directory("/dev/shm")
                 ? std::string("/dev/shm")
                 : std::filesystem::temp_directory_path().string();
    }
    std::string p = base + "/qzbench-" + std::to_string(getpid());
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
  }();
  return d;
}

// Record i (0-based) holds code Code(CodeOf()[i]): the codes are a random
// permutation, so appends insert all over the first tag, as real data does.
const std::vector<int>& CodeOf() {
  static std::vector<int> perm = [] {
    std::vector<int> p(static_cast<size_t>(g_records));
    for (int i = 0; i < g_records; ++i) p[i] = i;
    std::shuffle(p.begin(), p.end(), std::mt19937(7));
    return p;
  }();
  return perm;
}

std::string Code(int i) { return std::to_string(1000000 + i) + "-" + std::to_string(i % 97); }

void Check(benchmark::State& st, const Status& s) {
  if (!s.ok()) st.SkipWithError(s.ToString().c_str());
}

// Resident memory now from /proc/self/status: {own memory, mapped files}, MB.
std::pair<double, double> RssMb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  double anon = 0, file = 0;
  while (std::getline(in, line)) {
    double kb = std::atof(line.c_str() + line.find(':') + 1);
    if (line.rfind("RssAnon:", 0) == 0) anon += kb / 1024;
    if (line.rfind("RssFile:", 0) == 0 || line.rfind("RssShmem:", 0) == 0) file += kb / 1024;
  }
  return {anon, file};
}
double g_peak_anon = 0;

double PeakMb() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& st) {
  auto [anon, file] = RssMb();
  g_peak_anon = std::max(g_peak_anon, anon);
  st.counters["anon_mb"] = anon;
  st.counters["file_mb"] = file;
  st.counters["peak_mb"] = PeakMb();
}

std::unique_ptr<Table> CreateTable(const std::string& name, bool indexed) {
  xb::CreateOptions co;
  co.overwrite = true;
  co.exclusive = true;
  auto t = Table::Create(Dir() + "/" + name,
                         {{"NEGOCIO", 'C', 15, 0, 0, 0}, {"CODIGO", 'C', 15, 0, 0, 0},
                          {"NOMBRE", 'C', 40, 0, 0, 0}, {"DEPTO", 'C', 15, 0, 0, 0},
                          {"ACTIVO", 'N', 1, 0, 0, 0}, {"TOT_SAL", 'N', 15, 2, 0, 0},
                          {"F_INGRESO", 'D', 8, 0, 0, 0}},
                         co);
  if (!t.ok()) return nullptr;
  if (indexed) {
    (*t)->CreateTag(name, "NEGOCIO+CODIGO");
    (*t)->CreateTag(name + "2", "NEGOCIO+DEPTO+CODIGO");
    (*t)->CreateTag(name + "3", "NEGOCIO+UPPER(NOMBRE)");
  }
  (*t)->Close();
  auto s = Table::Open(Dir() + "/" + name + ".DBF");
  return s.ok() ? std::move(*s) : nullptr;
}

void Fill(benchmark::State& st, Table* t) {
  std::mt19937 rng(1);
  const auto& code_of = CodeOf();
  for (int i = 0; i < g_records; ++i) {
    Check(st, t->Append());
    t->Put(0, Value::Char(kBusinesses[i % 5]));
    t->Put(1, Value::Char(Code(code_of[i])));
    t->Put(2, Value::Char("nombre " + std::to_string(rng() % 100000) + " apellido"));
    t->Put(3, Value::Char(kDepts[rng() % 10]));
    t->Put(4, Value::Number(1));
    t->Put(5, Value::Number((rng() % 1000000) / 100.0));
    t->Put(6, Value::Date(xb::JulianFromYmd(2000 + i % 20, 1 + i % 12, 1 + i % 28)));
    Check(st, t->UnlockRecord(t->RecNo()));
  }
}

std::unique_ptr<Table>& Plain() { static std::unique_ptr<Table> t; return t; }
std::unique_ptr<Table>& Indexed() { static std::unique_ptr<Table> t; return t; }

// The kept copy of table `name` for this record count, in --tables.
std::string Kept(const char* name) {
  return g_tables + "/" + std::to_string(g_records) + "-" + name;
}

// Copies a table's files, `from` and `to` naming them without extension
// (either way between the run's directory and --tables); false when one
// cannot be copied.
bool CopyTable(const std::string& from, const std::string& to) {
  std::error_code ec;
  for (const char* ext : {".DBF", ".CDX"}) {
    if (!std::filesystem::exists(from + ext)) continue;
    std::filesystem::copy_file(from + ext, to + ext,
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return false;
  }
  return true;
}

std::unique_ptr<Table> Reopen(const char* name) {
  auto t = Table::Open(Dir() + "/" + name + ".DBF");
  return t.ok() ? std::move(*t) : nullptr;
}

// The table a workload runs on, made and filled first (untimed), or copied
// from --tables, when the workloads that build it were filtered out of this
// run.
// Never inlined, so that an instruction count can leave the build out:
// valgrind --tool=callgrind --toggle-collect='*BM_W4*' --toggle-collect='*Ready*'
// (entering Ready turns collection off again, leaving it turns it back on).
[[gnu::noinline]] Table* Ready(benchmark::State& st, std::unique_ptr<Table>& t, const char* name,
                               bool indexed) {
  const std::string here = Dir() + "/" + name;
  if (!t && !g_tables.empty() && std::filesystem::exists(Kept(name) + ".DBF") &&
      CopyTable(Kept(name), here)) {
    t = Reopen(name);
  }
  if (!t) {
    t = CreateTable(name, indexed);
    if (t) Fill(st, t.get());
    if (t && !g_tables.empty()) {
      t->Close();
      std::filesystem::create_directories(g_tables);
      CopyTable(here, Kept(name));
      t = Reopen(name);
    }
  }
  if (!t) st.SkipWithError("the table could not be made");
  return t.get();
}

// Adds 1 to TOT_SAL of the current (locked) record.
void Increment(Table* t) { t->Put(5, Value::Number(t->Get(5)->number() + 1)); }

void BM_Dbf_Append(benchmark::State& st) {
  for (auto _ : st) {
    Plain() = CreateTable("BPLAIN", false);
    Fill(st, Plain().get());
  }
  Report(st);
}
void BM_Dbf_SequentialRead(benchmark::State& st) {
  Table* t = Ready(st, Plain(), "BPLAIN", false);
  if (!t) return;
  for (auto _ : st) {
    double sum = 0;
    for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) sum += t->Get(5)->number();
    benchmark::DoNotOptimize(sum);
  }
  Report(st);
}
void BM_Dbf_RandomLockedUpdates(benchmark::State& st) {
  Table* t = Ready(st, Plain(), "BPLAIN", false);
  if (!t) return;
  for (auto _ : st) {
    std::mt19937 rng(2);
    for (int i = 0; i < g_records / 2; ++i) {
      uint32_t r = 1 + rng() % g_records;
      Check(st, t->GoTo(r));
      Check(st, t->LockRecord());
      Increment(t);
      Check(st, t->UnlockRecord(r));
    }
  }
  Plain().reset();  // done with it: its pages are no longer ours
  Report(st);
}

void BM_W1_AppendIndexed(benchmark::State& st) {
  for (auto _ : st) {
    Indexed() = CreateTable("BIDX", true);
    Fill(st, Indexed().get());
  }
  Report(st);
}
void BM_W2_RandomSeeks(benchmark::State& st) {
  Table* t = Ready(st, Indexed(), "BIDX", true);
  if (!t) return;
  for (auto _ : st) {
    Check(st, t->SetOrder(1));
    std::mt19937 rng(3);
    const auto& code_of = CodeOf();
    int found = 0;
    for (int i = 0; i < g_records; ++i) {
      int k = static_cast<int>(rng() % g_records);
      std::string key = std::string(kBusinesses[k % 5]);
      key.resize(15, ' ');
      Check(st, t->Seek(Value::Char(key + Code(code_of[k]))));
      found += t->Found();
      benchmark::DoNotOptimize(t->Get(2));
    }
    if (found != g_records) st.SkipWithError("seek missed keys");
  }
  Report(st);
}
void BM_W3_FullScans(benchmark::State& st) {
  Table* t = Ready(st, Indexed(), "BIDX", true);
  if (!t) return;
  for (auto _ : st) {
    Check(st, t->SetOrder(2));
    for (int pass = 0; pass < 10; ++pass) {
      int n = 0;
      double sum = 0;
      for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) {
        sum += t->Get(5)->number();
        ++n;
      }
      benchmark::DoNotOptimize(sum);
      if (n != g_records) st.SkipWithError("scan lost records");
    }
  }
  Report(st);
}
void BM_W4_LockedKeyUpdates(benchmark::State& st) {
  Table* t = Ready(st, Indexed(), "BIDX", true);
  if (!t) return;
  for (auto _ : st) {
    Check(st, t->SetOrder(0));
    // A repetition draws new records and departments: the same draws again
    // would set most records to the department they already have: few keys
    // would move and later repetitions would time a much lighter workload.
    static unsigned run = 0;
    std::mt19937 rng(4 + run++);
    for (int i = 0; i < g_records / 2; ++i) {
      uint32_t r = 1 + rng() % g_records;
      Check(st, t->GoTo(r));
      Check(st, t->LockRecord());
      t->Put(3, Value::Char(kDepts[rng() % 10]));
      Increment(t);
      Check(st, t->UnlockRecord(r));
    }
  }
  Report(st);
}
void BM_W5_ScopedPrefixReads(benchmark::State& st) {
  Table* t = Ready(st, Indexed(), "BIDX", true);
  if (!t) return;
  for (auto _ : st) {
    Check(st, t->SetOrder(2));
    for (int pass = 0; pass < 20; ++pass) {
      int n = 0;
      for (const char* b : kBusinesses) {
        for (const char* d : kDepts) {
          std::string prefix = b;
          prefix.resize(15, ' ');
          std::string dep = d;
          dep.resize(15, ' ');
          prefix += dep;
          Check(st, t->Seek(Value::Char(prefix)));
          while (!t->Eof() && t->Get(0)->str() + t->Get(3)->str() == prefix) {
            ++n;
            t->Skip(1);
          }
        }
      }
      if (n != g_records) st.SkipWithError("prefix reads lost records");
    }
  }
  Report(st);
}

#define ONCE(b) BENCHMARK(b)->Iterations(1)->Unit(benchmark::kMillisecond)
ONCE(BM_Dbf_Append);
ONCE(BM_Dbf_SequentialRead);
ONCE(BM_Dbf_RandomLockedUpdates);
ONCE(BM_W1_AppendIndexed);
ONCE(BM_W2_RandomSeeks);
ONCE(BM_W3_FullScans);
ONCE(BM_W4_LockedKeyUpdates);
ONCE(BM_W5_ScopedPrefixReads);

// Takes our own flags out of argv before Google Benchmark sees it.
void ParseOwnFlags(int* argc, char** argv) {
  int out = 1;
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp(argv[i], "--records=", 10) == 0) {
      g_records = std::max(10, std::atoi(argv[i] + 10));
    } else if (std::strncmp(argv[i], "--dir=", 6) == 0) {
      g_dir_base = argv[i] + 6;
    } else if (std::strncmp(argv[i], "--tables=", 9) == 0) {
      g_tables = argv[i] + 9;
    } else {
      argv[out++] = argv[i];
    }
  }
  *argc = out;
}

}  // namespace

int main(int argc, char** argv) {
  ParseOwnFlags(&argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("records: %d, files in %s\nload average before: %s\n", g_records, Dir().c_str(),
              qzbench::LoadAverage().c_str());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Plain().reset();
  Indexed().reset();
  std::filesystem::remove_all(Dir());
  std::printf("peak resident memory: %.1f MB (own memory at most %.1f MB after a workload)\n",
              PeakMb(), g_peak_anon);
  std::printf("load average after: %s\n", qzbench::LoadAverage().c_str());
  return 0;
}

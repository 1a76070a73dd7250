// Engine workloads on a shared-mode table of 100,000 employee-like records.
//   DBF only:  append (lock+release per record), sequential read, 50,000
//              random locked updates.
//   Indexed (tags NEGOCIO+CODIGO, NEGOCIO+DEPTO+CODIGO, NEGOCIO+UPPER(NOMBRE)):
//     W1 append 100,000 records, lock+release per record
//     W2 100,000 random exact seeks on tag 1 reading one field
//     W3 10 full scans of tag 2 in key order
//     W4 50,000 random locked updates changing DEPTO and TOT_SAL
//     W5 20 passes seeking every business+department prefix and skipping while it matches
// Run: build/bench_table [--benchmark_filter=...]; each workload runs once.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "xbase/table.h"

namespace {

using xb::Status;
using xb::Table;
using xb::Value;

constexpr int kRecords = 100000;
const char* kBusinesses[] = {"HOTEL CENTRAL", "HOTEL PLAYA", "OFICINAS", "HOTEL MONTANA", "CASINO"};
const char* kDepts[] = {"COCINA", "BAR", "RECEPCION", "AMA DE LLAVES", "SEGURIDAD",
                        "MANTENIMIENTO", "ADMIN", "VENTAS", "SPA", "JARDINES"};

std::string Dir() {
  static std::string d = [] {
    std::string p = (std::filesystem::temp_directory_path() / "qzbench").string();
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
  }();
  return d;
}

std::string Code(int i) { return std::to_string(100000 + i) + "-" + std::to_string(i % 97); }

void Check(benchmark::State& st, const Status& s) {
  if (!s.ok()) st.SkipWithError(s.ToString().c_str());
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
  for (int i = 0; i < kRecords; ++i) {
    Check(st, t->Append());
    t->Put(0, Value::Char(kBusinesses[i % 5]));
    t->Put(1, Value::Char(Code(i)));
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

void BM_Dbf_Append(benchmark::State& st) {
  for (auto _ : st) {
    Plain() = CreateTable("BPLAIN", false);
    Fill(st, Plain().get());
  }
}
void BM_Dbf_SequentialRead(benchmark::State& st) {
  for (auto _ : st) {
    double sum = 0;
    Table* t = Plain().get();
    for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) sum += t->Get(5)->number();
    benchmark::DoNotOptimize(sum);
  }
}
void BM_Dbf_RandomLockedUpdates(benchmark::State& st) {
  for (auto _ : st) {
    Table* t = Plain().get();
    std::mt19937 rng(2);
    for (int i = 0; i < 50000; ++i) {
      uint32_t r = 1 + rng() % kRecords;
      Check(st, t->GoTo(r));
      Check(st, t->LockRecord());
      t->Put(5, Value::Number(t->Get(5)->number() + 1));
      Check(st, t->UnlockRecord(r));
    }
  }
}

void BM_W1_AppendIndexed(benchmark::State& st) {
  for (auto _ : st) {
    Indexed() = CreateTable("BIDX", true);
    Fill(st, Indexed().get());
  }
}
void BM_W2_RandomSeeks(benchmark::State& st) {
  for (auto _ : st) {
    Table* t = Indexed().get();
    Check(st, t->SetOrder(1));
    std::mt19937 rng(3);
    int found = 0;
    for (int i = 0; i < kRecords; ++i) {
      int k = rng() % kRecords;
      std::string key = std::string(kBusinesses[k % 5]);
      key.resize(15, ' ');
      Check(st, t->Seek(Value::Char(key + Code(k))));
      found += t->Found();
      benchmark::DoNotOptimize(t->Get(2));
    }
    if (found != kRecords) st.SkipWithError("seek missed keys");
  }
}
void BM_W3_FullScans(benchmark::State& st) {
  for (auto _ : st) {
    Table* t = Indexed().get();
    Check(st, t->SetOrder(2));
    for (int pass = 0; pass < 10; ++pass) {
      int n = 0;
      for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) ++n;
      if (n != kRecords) st.SkipWithError("scan lost records");
    }
  }
}
void BM_W4_LockedKeyUpdates(benchmark::State& st) {
  for (auto _ : st) {
    Table* t = Indexed().get();
    Check(st, t->SetOrder(0));
    std::mt19937 rng(4);
    for (int i = 0; i < 50000; ++i) {
      uint32_t r = 1 + rng() % kRecords;
      Check(st, t->GoTo(r));
      Check(st, t->LockRecord());
      t->Put(3, Value::Char(kDepts[rng() % 10]));
      t->Put(5, Value::Number((rng() % 1000000) / 100.0));
      Check(st, t->UnlockRecord(r));
    }
  }
}
void BM_W5_ScopedPrefixReads(benchmark::State& st) {
  for (auto _ : st) {
    Table* t = Indexed().get();
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
      if (n != kRecords) st.SkipWithError("prefix reads lost records");
    }
  }
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

}  // namespace

BENCHMARK_MAIN();

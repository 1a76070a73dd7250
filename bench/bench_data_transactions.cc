// Data-layer workloads on a shared table of 20,000 records with two tags:
//   UpdateLocal     LOCK_FOR_MODIFY / FieldPut / UNLOCK_FOR_MODIFY, local engine
//   UpdateInTrans   the same inside a server transaction of 1,000 records
//                   (journal entry synced before each record), then END_TRANSACTION
//   RollbackTrans   1,000 changed records rolled back
//   UseKilltabla    open and close a table by name
//   NextSerial      GET_NXSERIAL (seek, lock, write, release)
// Build: link with qz_lib (see docs/data-access.md); run by hand.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "xbase/table.h"

namespace {

constexpr int kRecords = 20000;
constexpr int kBatch = 1000;

xb::FieldDef F(const char* n, char t, int len, int dec = 0) {
  return xb::FieldDef{n, t, static_cast<uint8_t>(len), static_cast<uint8_t>(dec), 0, 0};
}

std::string Root(bool server) {
  static std::string dirs[2];
  std::string& d = dirs[server];
  if (!d.empty()) return d;
  d = (std::filesystem::temp_directory_path() / (server ? "qzbench-srv/" : "qzbench-loc/"))
          .string();
  std::filesystem::remove_all(d);
  std::filesystem::create_directories(d + "BASES");
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(
      d + "BASES/ARTICULO",
      {F("NEGOCIO", 'C', 15), F("CODIGO", 'C', 15), F("DESCRIP", 'C', 30), F("PRECIO", 'N', 10, 2)},
      co);
  (*t)->CreateTag("ARTICULO", "NEGOCIO+CODIGO");
  (*t)->CreateTag("ARTICUL2", "UPPER(DESCRIP)");
  for (int i = 0; i < kRecords; ++i) {
    (*t)->Append();
    (*t)->Put("NEGOCIO", xb::Value::Char("HOTEL"));
    (*t)->Put("CODIGO", xb::Value::Char("C" + std::to_string(i)));
    (*t)->Put("DESCRIP", xb::Value::Char("ARTICULO " + std::to_string(i)));
  }
  (*t)->Close();
  auto s =
      xb::Table::Create(d + "BASES/SERIALES",
                        {F("NEGOCIO", 'C', 15), F("MODULO", 'C', 10), F("CODIGO", 'C', 15),
                         F("NUMERO", 'N', 15), F("JUSTIFICA", 'N', 1), F("INDENT", 'N', 2),
                         F("PREFIJO", 'C', 10), F("POSFIJO", 'C', 10), F("CURRENT_N", 'C', 15)},
                        co);
  (*s)->CreateTag("SERIALES", "NEGOCIO+MODULO+CODIGO");
  (*s)->Append();
  (*s)->Put("NEGOCIO", xb::Value::Char("HOTEL"));
  (*s)->Put("CODIGO", xb::Value::Char("FC"));
  (*s)->Close();
  if (server) std::ofstream(d + "ADS.DEF", std::ios::binary) << d << "BASES\r1\r0\r0\r";
  return d;
}

void Start(bool server) {
  qz::ResetGlobals();
  qz::StartDataLayer(Root(server));
}

void UpdateBatch(qz::WDBTable& t, int first, double price) {
  for (int i = 0; i < kBatch; ++i) {
    t.GoTo(static_cast<uint32_t>(1 + (first + i * 7) % kRecords));
    qz::LOCK_FOR_MODIFY(t);
    t.FieldPut("PRECIO", xb::Value::Number(price));
    qz::UNLOCK_FOR_MODIFY(t);
  }
}

void BM_UpdateLocal(benchmark::State& state) {
  Start(false);
  auto t = qz::USE(nullptr, "ARTICULO");
  int n = 0;
  for (auto _ : state) {
    ++n;
    UpdateBatch(*t, n, n);
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_UpdateInTrans(benchmark::State& state) {
  Start(true);
  auto t = qz::USE(nullptr, "ARTICULO");
  int n = 0;
  for (auto _ : state) {
    qz::START_TRANSACTION();
    ++n;
    UpdateBatch(*t, n, n);
    qz::END_TRANSACTION();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_RollbackTrans(benchmark::State& state) {
  Start(true);
  qz::G().XADS_T_ERR = "bench";
  auto t = qz::USE(nullptr, "ARTICULO");
  int n = 0;
  for (auto _ : state) {
    qz::START_TRANSACTION();
    UpdateBatch(*t, ++n, -1);
    qz::ROLLBACK_TRANSACTION();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_UseKilltabla(benchmark::State& state) {
  Start(false);
  for (auto _ : state) {
    auto t = qz::USE(nullptr, "ARTICULO", "ARTICULO");
    qz::KILLTABLA(t);
  }
}

void BM_NextSerial(benchmark::State& state) {
  Start(false);
  auto s = qz::USE(nullptr, "SERIALES");
  for (auto _ : state) benchmark::DoNotOptimize(qz::GET_NXSERIAL(nullptr, "HOTEL", "FC", s.get()));
}

BENCHMARK(BM_UpdateLocal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateInTrans)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RollbackTrans)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UseKilltabla)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextSerial)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

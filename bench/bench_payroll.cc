// Payroll computation workloads at the size of a large hotel group.
//   ValueClasses: 1,000 employees x 30 columns (absolute values with
//                 proration, percentages with caps, income-tax brackets)
//                 through PUT/GET, running totals included.
//   CalcVac:      CALC_VAC::CALCULAR for 1,000 employees with 24 monthly
//                 payrolls each, on shared tables with their CDX tags.
//   PeriodColumns: what a period opening does with the columns: 1,000
//                 employees x 40 columns, the value classes opened from
//                 ENC_TIP/DET_TIP, each employee's value rows read from
//                 DET_PERS, computed and written to H_D_PERS (catalog
//                 layouts and tags, a fresh H_D_PERS per run).
// Run: build/bench_payroll [--benchmark_filter=...].
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <tuple>
#include <memory>
#include <string>
#include <vector>

#include "lib/install/catalog.h"
#include "lib/install/table_maker.h"
#include "lib/payroll/calc_vac.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/value_classes.h"
#include "lib/payroll/value_loader.h"
#include "lib/settings/globals.h"
#include "xbase/table.h"

namespace {

using qz::ColumnType;
using qz::EmployeeInput;
using qz::PayrollContext;
using xb::Table;
using xb::Value;

constexpr int kEmployees = 1000;
constexpr int kColumns = 30;
constexpr int kMonths = 24;
const char* kNeg = "HOTEL CENTRAL";

std::vector<ColumnType> Columns() {
  std::vector<ColumnType> cols;
  for (int c = 0; c < kColumns; ++c) {
    ColumnType t;
    t.codigo = std::to_string(c);
    t.factor_2 = c % 3 == 0 ? 0 : 1;
    t.agrupar[c % 4] = 1;
    if (c % 10 == 9) {  // income tax
      t.tipo = 3;
      t.tipo_tabla = 1;
      t.brackets = {{0, 900000, 0, 0}, {900000, 1300000, 10, 0}, {1300000, 1e12, 15, 0}};
    } else if (c % 5 == 4) {
      t.tipo = 2;
      t.tipo_monto = 2;
      t.limite = 1;
    } else {
      t.tipo = 1;
      t.val_base = c == 0;
      t.factor = 1;
      t.calc_dif = c == 1;
      t.corte = 6;
      t.porc_antes = 100;
      t.porc_desp = 150;
    }
    cols.push_back(t);
  }
  return cols;
}

void BM_ValueClasses(benchmark::State& state) {
  PayrollContext ctx;
  ctx.fecha = xb::JulianFromYmd(2024, 6, 30);
  ctx.tipo.cantidad = 2;
  std::vector<std::unique_ptr<qz::ColumnValue>> classes;
  for (auto& t : Columns()) classes.push_back(qz::MakeColumnValue(t, ctx, 1));
  std::vector<EmployeeInput> emps(kEmployees);
  for (int e = 0; e < kEmployees; ++e) {
    emps[e].valor = 250000 + 997.0 * e;
    emps[e].factor = 1 + e % 3;
    emps[e].porcentaje = 9.17;
    emps[e].total_salario = 600000 + 1234.5 * e;
    emps[e].limite = e % 2 ? 50000 : 0;
    emps[e].schedule_factor = 8;
    emps[e].f_ingreso = ctx.fecha - e;
    emps[e].costo_dia = 10000;
  }
  for (auto _ : state) {
    double sum = 0;
    for (auto& c : classes) c->CLEAR();
    for (const auto& in : emps)
      for (auto& c : classes) {
        c->PUT(in);
        sum += c->GET().total;
      }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["cells"] = kEmployees * kColumns;
}
BENCHMARK(BM_ValueClasses)->Unit(benchmark::kMillisecond);

// --- CALC_VAC over a payroll history

std::string Dir() {
  static std::string d = [] {
    std::string p = (std::filesystem::temp_directory_path() / "qzbench_payroll").string();
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
  }();
  return d;
}

xb::FieldDef F(const char* n, char t, int len, int dec = 0) {
  xb::FieldDef f;
  f.name = n;
  f.type = t;
  f.len = static_cast<uint8_t>(len);
  f.dec = static_cast<uint8_t>(dec);
  return f;
}

// The fields and tags the computation reads, as the catalog defines them.
struct Workload {
  const char* name;
  xb::FieldList fields;
  std::vector<std::pair<const char*, const char*>> tags;
};

std::vector<Workload> Workloads() {
  auto neg = F("NEGOCIO", 'C', 15);
  return {
      {"ENC_PERS",
       {neg, F("CODIGO", 'C', 15), F("NOMBRE", 'C', 40), F("DEPTO", 'C', 15),
        F("COD_TIEMPO", 'C', 2), F("TIPO_VAC", 'C', 4), F("F_INICIO", 'D', 8)},
       {{"ENC_PERS2", "NEGOCIO+CODIGO"}}},
      {"ENC_VAC",
       {neg, F("CODIGO", 'C', 4), F("DEFAULT", 'N', 1)},
       {{"ENC_VAC", "NEGOCIO+CODIGO"}, {"ENC_VAC1", "NEGOCIO+STR(DEFAULT,1)"}}},
      {"DET_VAC",
       {neg, F("CODIGO", 'C', 4), F("MES", 'N', 8, 2), F("D_MES", 'N', 8, 2),
        F("D_ANHO", 'N', 8, 2)},
       {{"DET_VAC", "NEGOCIO+CODIGO+STR(MES,8,2)"}}},
      {"TIEMPO_E",
       {neg, F("CODIGO", 'C', 2), F("FACTOR", 'N', 13, 5)},
       {{"TIEMPO_E", "NEGOCIO+CODIGO"}}},
      {"H_D_PERS",
       {neg, F("CODIGO", 'C', 15), F("COD_COLUMN", 'C', 2), F("VALOR_1", 'N', 15, 2),
        F("FECHA", 'D', 8), F("VACACION", 'C', 1)},
       {{"H_D_PERS2", "NEGOCIO+CODIGO+DTOS(FECHA)"},
        {"H_D_PERS3", "NEGOCIO+CODIGO+VACACION+DTOS(FECHA)"}}},
      {"H_E_TIP",
       {neg, F("CODIGO", 'C', 2), F("VAC_PAGADA", 'N', 1), F("DEPTO", 'C', 15), F("FECHA", 'D', 8)},
       {{"H_E_TIP", "NEGOCIO+DEPTO+CODIGO+DTOS(FECHA)"}}},
      {"H_E_PERS",
       {neg, F("CODIGO", 'C', 15), F("DEPTO", 'C', 15), F("COD_TIEMPO", 'C', 2),
        F("TOT_SAL", 'N', 15, 2), F("FECHA", 'D', 8)},
       {{"H_E_PERS7", "NEGOCIO+CODIGO+STR(STOD(\"20900101\")-FECHA,10)"},
        {"H_E_PERS8", "NEGOCIO+CODIGO+DTOS(FECHA)"}}},
      {"H_TIP_PL",
       {neg, F("CODIGO", 'C', 2), F("VAL_DIV", 'N', 13, 5), F("DEPTO", 'C', 15),
        F("FECHA", 'D', 8)},
       {{"H_TIP_PL", "NEGOCIO+DEPTO+CODIGO+DTOS(FECHA)"}}},
      {"H_TIEM_E",
       {neg, F("CODIGO", 'C', 2), F("FACTOR", 'N', 13, 5), F("DEPTO", 'C', 15), F("FECHA", 'D', 8)},
       {{"H_TIEM_E", "NEGOCIO+DEPTO+CODIGO+DTOS(FECHA)"}}},
      {"H_E_DEPT",
       {neg, F("CODIGO", 'C', 15), F("TIPO", 'C', 2), F("FECHA", 'D', 8)},
       {{"H_E_DEPT2", "NEGOCIO+CODIGO+DTOS(FECHA)"}}},
  };
}

std::string Emp(int e) {
  return "E" + std::to_string(100000 + e);
}
std::string Dept(int e) {
  return "D" + std::to_string(e % 10);
}
int32_t MonthEnd(int k) {  // k = 0 .. kMonths-1, from January 2022
  return xb::JulianFromYmd(2022 + (k + 1) / 12, (k + 1) % 12 + 1, 1) - 1;
}

void Put(Table& t, std::initializer_list<std::pair<const char*, Value>> v) {
  (void)t.Append();
  for (const auto& [n, x] : v) (void)t.Put(n, x);
}

void Build() {
  for (const Workload& s : Workloads()) {
    xb::CreateOptions co;
    co.exclusive = true;
    co.overwrite = true;
    auto t = Table::Create(Dir() + "/" + s.name, s.fields, co);
    if (!t.ok()) std::abort();
    for (const auto& [n, k] : s.tags) (void)(*t)->CreateTag(n, k);
    Table& x = **t;
    auto C = [](const std::string& s) { return Value::Char(s); };
    auto N = [](double d) { return Value::Number(d); };
    auto D = [](int32_t j) { return Value::Date(j); };
    std::string name = s.name;
    if (name == "ENC_VAC") Put(x, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("STD")}, {"DEFAULT", N(1)}});
    if (name == "DET_VAC") {
      Put(x, {{"NEGOCIO", C(kNeg)},
              {"CODIGO", C("STD")},
              {"MES", N(0)},
              {"D_MES", N(1.25)},
              {"D_ANHO", N(15)}});
      Put(x, {{"NEGOCIO", C(kNeg)},
              {"CODIGO", C("STD")},
              {"MES", N(60)},
              {"D_MES", N(1.5)},
              {"D_ANHO", N(18)}});
    }
    if (name == "TIEMPO_E") Put(x, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("T1")}, {"FACTOR", N(8)}});
    for (int e = 0; name == "ENC_PERS" && e < kEmployees; ++e)
      Put(x, {{"NEGOCIO", C(kNeg)},
              {"CODIGO", C(Emp(e))},
              {"DEPTO", C(Dept(e))},
              {"COD_TIEMPO", C("T1")},
              {"F_INICIO", D(xb::JulianFromYmd(2021, 12, 1) + e % 28)}});
    for (int k = 0; k < kMonths; ++k) {
      for (int d = 0; d < 10; ++d) {
        std::string dep = "D" + std::to_string(d);
        if (name == "H_E_DEPT")
          Put(x, {{"NEGOCIO", C(kNeg)},
                  {"CODIGO", C(dep)},
                  {"TIPO", C("MN")},
                  {"FECHA", D(MonthEnd(k))}});
        if (name == "H_TIP_PL")
          Put(x, {{"NEGOCIO", C(kNeg)},
                  {"CODIGO", C("MN")},
                  {"DEPTO", C(dep)},
                  {"VAL_DIV", N(30)},
                  {"FECHA", D(MonthEnd(k))}});
        if (name == "H_E_TIP" && k % 6 == 5)
          Put(x, {{"NEGOCIO", C(kNeg)},
                  {"CODIGO", C("VA")},
                  {"DEPTO", C(dep)},
                  {"VAC_PAGADA", N(1)},
                  {"FECHA", D(MonthEnd(k))}});
      }
      for (int e = 0; e < kEmployees; ++e) {
        if (name == "H_E_PERS")
          Put(x, {{"NEGOCIO", C(kNeg)},
                  {"CODIGO", C(Emp(e))},
                  {"DEPTO", C(Dept(e))},
                  {"COD_TIEMPO", C("T1")},
                  {"TOT_SAL", N(300000 + 100 * e)},
                  {"FECHA", D(MonthEnd(k))}});
        if (name == "H_D_PERS" && k % 6 == 5)
          Put(x, {{"NEGOCIO", C(kNeg)},
                  {"CODIGO", C(Emp(e))},
                  {"COD_COLUMN", C("VA")},
                  {"VALOR_1", N(16)},
                  {"VACACION", C("1")},
                  {"FECHA", D(MonthEnd(k))}});
      }
    }
    (void)x.Close();
  }
}

void BM_CalcVac(benchmark::State& state) {
  static bool built = (Build(), true);
  (void)built;
  std::vector<std::unique_ptr<Table>> open;
  qz::CALC_VAC::Bases b{};
  auto use = [&](qz::CALC_VAC::Base pos, const char* name) {
    auto t = Table::Open(Dir() + "/" + name + ".DBF");
    if (!t.ok()) std::abort();
    b[pos] = t->get();
    open.push_back(std::move(t.value()));
  };
  using V = qz::CALC_VAC;
  use(V::kEncPers, "ENC_PERS");
  use(V::kEncVac, "ENC_VAC");
  use(V::kDetVac, "DET_VAC");
  use(V::kTiempoE, "TIEMPO_E");
  use(V::kHDPers, "H_D_PERS");
  use(V::kHETip, "H_E_TIP");
  use(V::kHEPers, "H_E_PERS");
  use(V::kHTipPl, "H_TIP_PL");
  use(V::kHTiemE, "H_TIEM_E");
  use(V::kHEDeptB, "H_E_DEPT");
  Table& emp = *b[V::kEncPers];
  (void)emp.SetOrder("ENC_PERS2");
  double total = 0;
  for (auto _ : state) {
    V vac(kNeg, nullptr, b, xb::JulianFromYmd(2024, 1, 20));
    int n = 0;
    for (xb::Status s = emp.GoTop(); s.ok() && !emp.Eof(); s = emp.Skip()) {
      if (!vac.CALCULAR(qz::StrField(emp, "CODIGO"), 64, 1200).ok()) std::abort();
      total += vac.GET_AJUSTE_POR_VACACIONES();
      ++n;
    }
    if (n != kEmployees) std::abort();
  }
  benchmark::DoNotOptimize(total);
  state.counters["employees"] = kEmployees;
}
BENCHMARK(BM_CalcVac)->Unit(benchmark::kMillisecond);

// --- A period opening's column work, from tables to tables

constexpr int kOpeningColumns = 40;

std::string Col(int c) {
  char b[3] = {static_cast<char>('A' + c / 10), static_cast<char>('0' + c % 10), 0};
  return b;
}

std::unique_ptr<Table> Make(const char* name) {
  auto catalog = qz::EmbeddedCatalog();
  if (!catalog.ok()) std::abort();
  const qz::CatalogTable* t = (*catalog)->Find(name);
  if (!t) std::abort();
  qz::MakeOptions o;
  o.overwrite = true;
  auto made = qz::MakeTable(*t, Dir(), o);
  if (!made.ok()) std::abort();
  return std::move(made.value());
}

struct OpeningTables {
  std::unique_ptr<Table> enc_tip, det_tip, enc_pers, det_pers, h_d_pers, h_e_dept, t_cambio;
};

OpeningTables& Opening() {
  static OpeningTables o = [] {
    OpeningTables o;
    o.enc_tip = Make("ENC_TIP");
    o.det_tip = Make("DET_TIP");
    o.enc_pers = Make("ENC_PERS");
    o.det_pers = Make("DET_PERS");
    o.h_d_pers = Make("H_D_PERS");
    o.h_e_dept = Make("H_E_DEPT");
    o.t_cambio = Make("T_CAMBIO");
    auto C = [](const std::string& s) { return Value::Char(s); };
    auto N = [](double d) { return Value::Number(d); };
    for (int c = 0; c < kOpeningColumns; ++c) {
      const bool tax = c % 10 == 9, pct = c % 5 == 4;
      Put(*o.enc_tip, {{"NEGOCIO", C(kNeg)},
                       {"CODIGO", C(Col(c))},
                       {"TIPO", N(tax ? 3 : pct ? 2 : 1)},
                       {"TIPO_TABLA", N(tax ? 1 : 0)},
                       {"FACTOR_2", N(c % 3 == 0 ? 0 : 1)},
                       {"FACTOR", N(pct || tax ? 0 : 1)},
                       {"VAL_BASE", N(c == 0 ? 1 : 0)},
                       {"VALOR", N(pct ? 9.17 : 0)},
                       {"VAL_X_DEF", N(pct ? 1 : 0)},
                       {"TIPO_MONTO", N(pct ? 2 : 0)},
                       {"MONEDA", C("CR")}});
      if (!tax) continue;
      int serie = 0;
      for (auto [i, f, r] : {std::tuple{0.0, 900000.0, 0.0}, std::tuple{900000.0, 1300000.0, 10.0},
                             std::tuple{1300000.0, 1e12, 15.0}})
        Put(*o.det_tip, {{"NEGOCIO", C(kNeg)},
                         {"CODIGO", C(Col(c))},
                         {"SERIE", N(++serie)},
                         {"RANGO_I", N(i)},
                         {"RANGO_F", N(f)},
                         {"PORCENTAJE", N(r)}});
    }
    for (int e = 0; e < kEmployees; ++e) {
      Put(*o.enc_pers, {{"NEGOCIO", C(kNeg)},
                        {"CODIGO", C(Emp(e))},
                        {"DEPTO", C("D1")},
                        {"TOT_SAL", N(600000 + 997.0 * e)},
                        {"ACTIVO", N(1)}});
      for (int c = 0; c < kOpeningColumns; ++c)
        Put(*o.det_pers, {{"NEGOCIO", C(kNeg)},
                          {"CODIGO", C(Emp(e))},
                          {"COD_COLUMN", C(Col(c))},
                          {"VALOR_1", N(c == 0 ? 600000 + 997.0 * e : (e + c) % 12)},
                          {"FACTOR", N(c % 5 == 4 || c % 10 == 9 ? 0 : 1250 + c)}});
    }
    for (Table* t : {o.enc_tip.get(), o.det_tip.get(), o.enc_pers.get(), o.det_pers.get()})
      if (!t->Flush().ok()) std::abort();
    return o;
  }();
  return o;
}

void BM_PeriodColumns(benchmark::State& state) {
  OpeningTables& o = Opening();
  const int32_t fecha = xb::JulianFromYmd(2024, 6, 15);
  const std::string n = qz::PadRight(kNeg, 15);
  qz::ColumnTables tables{o.enc_tip.get(), o.det_tip.get(), o.h_e_dept.get(), o.t_cambio.get(),
                          nullptr};
  qz::PayrollContext ctx;
  ctx.fecha = fecha;
  ctx.tipo.tipo = 0;
  ctx.tipo.cantidad = 2;
  double sum = 0;
  const bool write = state.range(0) == 1;
  for (auto _ : state) {
    state.PauseTiming();
    if (!o.h_d_pers->Zap().ok()) std::abort();
    state.ResumeTiming();
    std::map<std::string, std::unique_ptr<qz::ColumnValue>> classes;
    for (int c = 0; c < kOpeningColumns; ++c) {
      auto v = qz::OpenColumnValue({kNeg, "D1", Col(c), false, "CR"}, tables, ctx);
      if (!v.ok() || !*v) std::abort();
      classes[Col(c)] = std::move(v.value());
    }
    Table& p = *o.enc_pers;
    Table& dp = *o.det_pers;
    Table& h = *o.h_d_pers;
    (void)p.SetOrder("ENC_PERS2");
    (void)dp.SetOrder("DET_PERS");
    std::vector<qz::LineValue> line;
    for (xb::Status s = p.GoTop(); s.ok() && !p.Eof(); s = p.Skip()) {
      const std::string e = qz::PadRight(qz::StrField(p, "CODIGO"), 15);
      qz::LineFacts facts;
      facts.tot_sal = qz::NumField(p, "TOT_SAL");
      facts.sal_comple = 1;
      line.clear();
      (void)dp.Seek(Value::Char(n + e), true);
      for (; !dp.Eof(); (void)dp.Skip()) {
        if (qz::PadRight(qz::StrField(dp, "CODIGO"), 15) != e) break;
        line.push_back({qz::StrField(dp, "COD_COLUMN"), qz::NumField(dp, "VALOR_1"),
                        qz::NumField(dp, "FACTOR")});
      }
      for (const qz::LineValue& v : line) {
        qz::ColumnValue& k = *classes[v.columna];
        k.PUT(qz::LineInput(k.definition(), line, v, facts));
        sum += k.GET().total;
        if (!write) continue;
        if (!h.Append().ok()) std::abort();
        (void)h.Put("NEGOCIO", Value::Char(n));
        (void)h.Put("CODIGO", Value::Char(e));
        (void)h.Put("COD_COLUMN", Value::Char(v.columna));
        (void)h.Put("VALOR_1", Value::Number(v.valor));
        (void)h.Put("FACTOR", Value::Number(v.factor));
        (void)h.Put("TOTAL", Value::Number(k.GET().total));
        (void)h.Put("FECHA", Value::Date(fecha));
        if (!h.WriteBack().ok()) std::abort();
      }
    }
    if (!h.Flush().ok()) std::abort();
  }
  benchmark::DoNotOptimize(sum);
  state.counters["cells"] = kEmployees * kOpeningColumns;
}
// Arg 1: the rows written to H_D_PERS; arg 0: read and computed only, to tell
// the engine's write cost from the core's.
BENCHMARK(BM_PeriodColumns)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

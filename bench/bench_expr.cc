// Key expression evaluation speed: what every index update pays per tag.
// Run: build/bench_expr
//
// The record source imitates the table layer: a raw DBF record buffer,
// decoded field by field. "Values" sources hand out copies through GetField
// only; "Bytes" sources also give character fields as views into the buffer
// (FieldSource::GetCharField), which spares a string copy per field.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "xbase/expr.h"

namespace {

using xb::FieldDef;
using xb::FieldList;
using xb::Value;

FieldList Fields() {
  FieldList f;
  uint32_t offset = 1;
  auto add = [&](const char* name, char type, int len, int dec = 0) {
    FieldDef d;
    d.name = name;
    d.type = type;
    d.len = static_cast<uint8_t>(len);
    d.dec = static_cast<uint8_t>(dec);
    d.offset = offset;
    offset += len;
    f.push_back(d);
  };
  add("NEGOCIO", 'C', 15);
  add("CODIGO", 'C', 15);
  add("NOMBRE", 'C', 40);
  add("ACTIVO", 'N', 1);
  add("TOT_SAL", 'N', 15, 2);
  add("F_INGRESO", 'D', 8);
  return f;
}

class RawRecord : public xb::FieldSource {
 public:
  RawRecord(const FieldList& fields, bool views) : fields_(fields), views_(views) {
    buf_.assign(1 + 15 + 15 + 40 + 1 + 15 + 8, ' ');
    Put(0, "HOTEL CENTRAL");
    Put(1, "109988-1");
    Put(2,
        "MO\xD1"
        "AQUEMA QUEGONAN MOSEMAGU");
    Put(3, "1");
    Put(4, "         154.13");
    Put(5, "20100122");
  }
  Value GetField(int i) const override {
    const FieldDef& f = fields_[i];
    const char* p = buf_.data() + f.offset;
    switch (f.type) {
      case 'C':
        return Value::Char(std::string(p, f.len));
      case 'D':
        return Value::Date(xb::JulianFromDtos(std::string(p, 8)));
      default:
        return Value::Number(std::strtod(std::string(p, f.len).c_str(), nullptr));
    }
  }
  bool GetCharField(int i, std::string_view* bytes) const override {
    if (!views_) return false;
    *bytes = std::string_view(buf_.data() + fields_[i].offset, fields_[i].len);
    return true;
  }

 private:
  void Put(int i, const std::string& s) { buf_.replace(fields_[i].offset, s.size(), s); }
  const FieldList& fields_;
  bool views_;
  std::string buf_;
};

void Run(benchmark::State& state, const char* text, bool views) {
  FieldList fields = Fields();
  auto e = xb::Expression::Compile(text, fields);
  if (!e.ok()) {
    state.SkipWithError(e.status().ToString().c_str());
    return;
  }
  RawRecord rec(fields, views);
  Value out;
  for (auto _ : state) {
    xb::Status s = (*e)->EvaluateInto(rec, &out);
    benchmark::DoNotOptimize(s);
    benchmark::DoNotOptimize(out);
  }
  state.SetLabel(text);
}

// The allocating form, for comparison: a fresh Value per call.
void RunEvaluate(benchmark::State& state, const char* text, bool views) {
  FieldList fields = Fields();
  auto e = xb::Expression::Compile(text, fields);
  RawRecord rec(fields, views);
  for (auto _ : state) {
    auto v = (*e)->Evaluate(rec);
    benchmark::DoNotOptimize(v);
  }
  state.SetLabel(text);
}

constexpr int64_t kMillion = 1000000;

}  // namespace

BENCHMARK_CAPTURE(Run, UpperBytes, "NEGOCIO + UPPER(NOMBRE)", true)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, UpperValues, "NEGOCIO + UPPER(NOMBRE)", false)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, DtosBytes, "NEGOCIO + DTOS(F_INGRESO) + CODIGO", true)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, DtosValues, "NEGOCIO + DTOS(F_INGRESO) + CODIGO", false)
    ->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, CodigoBytes, "NEGOCIO + CODIGO", true)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, StrMoney, "NEGOCIO + STR(TOT_SAL, 15, 2)", true)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, StrDays, "NEGOCIO + CODIGO + STR(STOD('20900101') - F_INGRESO, 10)", true)
    ->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, ForCondition, "ACTIVO == 1", true)->Iterations(kMillion);
BENCHMARK_CAPTURE(Run, StringCondition, "UPPER(NOMBRE) = 'MO' .AND. NEGOCIO != 'OFI'", true)
    ->Iterations(kMillion);
BENCHMARK_CAPTURE(RunEvaluate, UpperBytesAllocating, "NEGOCIO + UPPER(NOMBRE)", true)
    ->Iterations(kMillion);

BENCHMARK_MAIN();

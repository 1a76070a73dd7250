#include "lib/payroll/consolidation_copy.h"

#include "lib/data/locking.h"
#include "lib/data/new_rows.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/history_copies.h"
#include "xbase/value.h"

namespace qz::consolidation {
namespace {

// Every payroll line runs to this date; the descending-date tag of the lines
// (H_E_PERS7) counts the days from FECHA to it.
const int32_t kLimite = xb::JulianFromYmd(2090, 1, 1);

bool SeekExact(WDBTable& t, const std::string& tag, const std::string& key) {
  xb::Table& x = t.table();
  Must(x.SetOrder(tag), t, "SET ORDER");
  Must(x.Seek(xb::Value::Char(key)), t, "SEEK");
  return x.Found() && !x.Eof();
}

void Put(WDBTable& t, const char* field, const xb::Value& v) {
  if (t.table().FieldIndex(field) < 0) return;  // an older table without it
  Must(t.table().Put(field, v), t, "REPLACE");
}

// A history row built before it is appended (see new_rows.h).
struct NewRow {
  WDBTable& target;
  xb::NewRecord values;
  const xb::Table& table() const { return target.table(); }
};

void Put(NewRow& row, const char* field, const xb::Value& v) {
  if (row.table().FieldIndex(field) < 0) return;
  Must(row.values.Put(field, v), row.target, "REPLACE");
}

}  // namespace

PayrollCopy::PayrollCopy(OpeningTables& t, std::string negocio, std::string depto, int32_t fecha,
                         const std::map<std::string, ColumnFacts>& columns)
    : t_(t),
      negocio_(std::move(negocio)),
      depto_(std::move(depto)),
      fecha_(fecha),
      columns_(columns) {}

template <typename Set>
void PayrollCopy::Append(WDBTable& from, WDBTable& to, Set set) {
  const std::string key = from.table().name() + ">" + to.table().name();
  auto it = maps_.find(key);
  if (it == maps_.end())
    it = maps_.emplace(key, HistoryRowCopy(from.table(), to.table(), {"FECHA"})).first;
  if (xb::NewRecord::Fits(to.table())) {
    // Written once, with its keys: the opening appends tens of thousands of rows.
    NewRow row{to, xb::NewRecord(to.table())};
    Must(it->second.Apply(from.table(), row.values), to, "REPLACE");
    set(row);
    ADD_NEW_REC_WITH(to, row.values);
    return;
  }
  ADD_NEW_REC(to);
  Must(it->second.Apply(from.table(), to.table()), to, "REPLACE");
  set(to);
  UNLOCK_NEW_REC(to);
}

void PayrollCopy::CopyAll(const char* from, const char* tag, const std::string& prefix,
                          const char* to, bool with_department) {
  WDBTable& source = t_[from];
  WDBTable& target = t_[to];
  for (uint32_t r : RowsOf(source, tag, prefix)) {
    Must(source.table().GoTo(r), source, "GOTO");
    Append(source, target, [&](auto& h) {
      Put(h, "FECHA", xb::Value::Date(fecha_));
      if (with_department) Put(h, "DEPTO", xb::Value::Char(Padded(h.table(), "DEPTO", depto_)));
    });
  }
}

void PayrollCopy::Definitions() {
  auto dated = [&](auto& h) { Put(h, "FECHA", xb::Value::Date(fecha_)); };
  auto in_department = [&](auto& h) {
    Put(h, "FECHA", xb::Value::Date(fecha_));
    Put(h, "DEPTO", xb::Value::Char(Padded(h.table(), "DEPTO", depto_)));
  };
  WDBTable& dept = t_["ENC_DEPT"];
  const std::string tipo = Raw(dept.table(), "TIPO");
  Append(dept, t_["H_E_DEPT"], dated);

  WDBTable& columns = t_["DET_DEPT"];
  WDBTable& types = t_["ENC_TIP"];
  WDBTable& h_e_tip = t_["H_E_TIP"];
  WDBTable& h_d_tip = t_["H_D_TIP"];
  auto append_copy = [&](xb::Table& x) -> xb::Status {
    ADD_NEW_REC(&x == &h_e_tip.table() ? h_e_tip : h_d_tip);
    return xb::Status::OK();
  };
  for (uint32_t r : RowsOf(columns, "DET_DEPT", negocio_ + depto_)) {
    Must(columns.table().GoTo(r), columns, "GOTO");
    Append(columns, t_["H_D_DEPT"], dated);
    const std::string code = Raw(columns.table(), "COD_COLUMN");
    if (!SeekExact(types, "ENC_TIP", negocio_ + Padded(types.table(), "CODIGO", code))) continue;
    Must(CopyColumnTypeToHistory(types.table(), t_["DET_TIP"].table(), h_e_tip.table(),
                                 h_d_tip.table(), depto_, fecha_, append_copy),
         h_e_tip, "APPEND");
  }
  CopyAll("DET_DEP2", "DET_DEP2", negocio_ + depto_, "H_D_DEP2", false);
  CopyAll("DET_DEP3", "DET_DEP3A", negocio_ + depto_, "H_D_DEP3", false);
  WDBTable& payroll_type = t_["TIP_PLA"];
  if (SeekExact(payroll_type, "TIP_PLA", negocio_ + Padded(payroll_type.table(), "CODIGO", tipo)))
    Append(payroll_type, t_["H_TIP_PL"], in_department);
  CopyAll("CONJ_COL", "CONJ_COL", negocio_ + depto_, "H_CONJ_C", false);
  CopyAll("TIEMPO_E", "TIEMPO_E", negocio_, "H_TIEM_E", true);
  CopyAll("TIP_TRAN", "TIP_TRAN", negocio_, "H_TIP_TR", true);
}

void PayrollCopy::Employee(uint32_t recno) {
  WDBTable& person = t_["ENC_PERS"];
  Must(person.table().GoTo(recno), person, "GOTO");
  const double salary = NumField(person.table(), "TOT_SAL");
  const std::string code = Raw(person.table(), "CODIGO");
  Append(person, t_["H_E_PERS"], [&](auto& h) {
    Put(h, "FECHA", xb::Value::Date(fecha_));
    Put(h, "LIMITE", xb::Value::Date(kLimite));
    for (const char* f : {"TOT_REBAJO", "TOT_DEDUC", "TOT_ING_ND"}) Put(h, f, xb::Value::Number(0));
  });

  WDBTable& values = t_["DET_PERS"];
  for (uint32_t r : RowsOf(values, "DET_PERS", negocio_ + Padded(values.table(), "CODIGO", code))) {
    Must(values.table().GoTo(r), values, "GOTO");
    auto facts = columns_.find(Trimmed(Raw(values.table(), "COD_COLUMN")));
    const bool base = facts != columns_.end() && facts->second.base;
    const bool vacation = facts != columns_.end() && facts->second.vacation;
    Append(values, t_["H_D_PERS"], [&](auto& h) {
      Put(h, "VALOR_1", xb::Value::Number(base ? salary : 0));
      Put(h, "FACTOR", xb::Value::Number(0));
      Put(h, "TOTAL", xb::Value::Number(0));
      Put(h, "FECHA", xb::Value::Date(fecha_));
      if (vacation) Put(h, "VACACION", xb::Value::Char("1"));
    });
  }
  WDBTable& grid = t_["DET_PER2"];
  for (uint32_t r : RowsOf(grid, "DET_PER2", negocio_ + Padded(grid.table(), "COD_PER", code))) {
    Must(grid.table().GoTo(r), grid, "GOTO");
    Append(grid, t_["H_D_PER2"], [&](auto& h) {
      Put(h, "NEGOCIO", xb::Value::Char(negocio_));
      Put(h, "FECHA", xb::Value::Date(fecha_));
    });
  }
  CopyAll("DET_PER3", "DET_PER_A", negocio_ + Padded(t_["DET_PER3"].table(), "CODIGO", code),
          "H_D_PER3", false);
}

bool PayrollCopy::Shared() {
  bool copied = false;
  const std::string day = xb::DtosFromJulian(fecha_);
  auto dated = [&](auto& h) { Put(h, "FECHA", xb::Value::Date(fecha_)); };
  if (!SeekExact(t_["H_E_COST"], "H_E_COST", negocio_ + day)) {
    WDBTable& tables = t_["E_COSTO"];
    WDBTable& lines = t_["D_COSTO"];
    for (uint32_t r : RowsOf(tables, "E_COSTO", negocio_)) {
      Must(tables.table().GoTo(r), tables, "GOTO");
      Append(tables, t_["H_E_COST"], dated);
      copied = true;
      for (uint32_t l : RowsOf(lines, "D_COSTO1", negocio_ + Raw(tables.table(), "CODIGO"))) {
        Must(lines.table().GoTo(l), lines, "GOTO");
        Append(lines, t_["H_D_COST"], dated);
      }
    }
  }
  WDBTable& groups = t_["GRP_CMP"];
  for (uint32_t r : RowsOf(groups, "GRP_CMP", negocio_)) {
    Must(groups.table().GoTo(r), groups, "GOTO");
    if (SeekExact(t_["H_GRP_C"], "H_GRP", negocio_ + day + Raw(groups.table(), "CODIGO")))
      continue;
    Append(groups, t_["H_GRP_C"], dated);
    copied = true;
  }
  return copied;
}

}  // namespace qz::consolidation

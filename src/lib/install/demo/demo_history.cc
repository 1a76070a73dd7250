// Payroll history of the demo: the last two months of payrolls of every
// department, consolidated the way "Iniciar Planilla" does it: the definitions
// of the day copied field for field into the H_ tables (the column types by
// the core's own CopyColumnTypeToHistory), one payroll line per active
// employee with a row per column. The rows hold what was paid: the
// employee's values and factors and each column's TOTAL, computed by the
// value classes on the definitions of the day. When the consolidation and
// recalculation processes are built, this part should call them instead.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include "lib/install/demo/demo_context.h"
#include "lib/payroll/history_copies.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/value_loader.h"

namespace qz::demo {
namespace {

std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> v;
  for (std::string w; in >> w;) v.push_back(w);
  return v;
}

// The fields a consolidation copies where it takes less than the whole row.
const std::vector<std::string>& CopiedFields(const std::string& history) {
  static const std::map<std::string, std::vector<std::string>> kLists = {
      {"H_E_DEPT",
       Words("NEGOCIO CODIGO DESCRIP TOT_SAL TOT_SAL2 TOT_DED TOT_REB PIC_SAL2 PIC_SAL PIC_DED "
             "PIC_REB DEDUCIBLE PIC_DEDUC ROT_T_SAL ROT_T_SAL2 ROT_T_DED ROT_T_REB ROT_DED TIPO "
             "LOGO_COMP LOGO_FILE MONEDA HORA_INI HORA_FIN UNIDAD F_AJUSTE DEPTO_HORA")},
      {"H_TIP_PL",
       Words("CODIGO NEGOCIO DESCRIP CANTIDAD TIPO ROTULO DIA_PAGO RENTA FACT_DIV VAL_DIV "
             "LAPSO_DIAS FACT_MULT N_EMISION MES_COMERC OBLIGA_DIA")},
      {"H_TIP_TR",
       Words("SUCURSAL CUENTA CODIGO NEGOCIO DESCRIP ENCABEZADO DESPEDIDA TIP_ARCH ORDEN MONEDA "
             "COD_PATRON BANCO_CHE CUENTA_CHE")},
      {"H_E_PERS",
       Words("COD_SEGURO NEGOCIO NOMBRE_2 APELLIDO_1 APELLIDO_2 CODIGO NOMBRE DEPTO TIPO_PAGO "
             "BANCO CUENTA TIP_TRANSF COD_TIEMPO CUEN_TRANS SUCURSAL TIP_CUENTA TELEFONO_1 "
             "TELEFONO_2 EMAIL ACTIVO CEDULA TRANS_BANC TOT_SAL BANCO_TOT CUENTA_TOT EFEC_X_BAN "
             "BANCO_EFEC CUENT_EFEC F_INGRESO F_RETIRO COMENTARIO PUESTO NACIMIENTO C_SEGURO "
             "OBSERVA TIP_CED TIPO_EMP INMEDIATO F_INICIO ASOCIACION INC_CONT HIJOS DIRECCION "
             "E_CIVIL DIST_COST JORNADA2 PENSION2 CLAS_SEG2 TOT_GRUPO1 TOT_GRUPO2 TOT_GRUPO3 "
             "TOT_GRUPO4")},
      {"H_D_PERS", Words("NEGOCIO COD_COLUMN CENTRO_IND CODIGO")}};
  static const std::vector<std::string> kAll;
  auto it = kLists.find(history);
  return it == kLists.end() ? kAll : it->second;
}

// A key component as the tables hold it: code-page bytes padded to the width.
std::string Pad(const std::string& s, size_t n) {
  std::string bytes = Cp1252(s);
  return bytes.append(n - std::min(n, bytes.size()), ' ');
}

class History {
 public:
  explicit History(Context& c) : c_(c) {}

  // Copies the current row of `source` into a new row of `history` (every
  // field both have, or the consolidation's list), then `set` adds its own.
  xb::Status Copy(xb::Table& source, const std::string& history,
                  const std::function<void(Row&)>& set) {
    const auto& only = CopiedFields(history);
    const CatalogTable* target = c_.catalog().Find(history);
    if (!target) return xb::Status::NotFound(history + " is not in the catalog");
    return c_.Add(history, [&](Row& w) {
      for (const auto& f : source.fields()) {
        if (!target->HasField(f.name)) continue;
        if (!only.empty() && std::find(only.begin(), only.end(), f.name) == only.end()) continue;
        auto v = source.Get(f.name);
        if (v.ok()) w.SetRaw(f.name.c_str(), *v);
      }
      set(w);
    });
  }

  // Calls `fn` for each row of `table` whose `tag` key starts with `prefix`.
  xb::Status ForEach(const std::string& table, const std::string& tag, const std::string& prefix,
                     const std::function<xb::Status(xb::Table&)>& fn) {
    auto t = c_.OpenIndexed(table);
    if (!t.ok()) return t.status();
    xb::Table& s = **t;
    XB_RETURN_IF_ERROR(s.SetOrder(tag));
    XB_RETURN_IF_ERROR(s.SetScope(xb::Value::Char(prefix), xb::Value::Char(prefix)));
    std::vector<uint32_t> rows;  // the walk must not depend on what fn appends
    for (xb::Status st = s.GoTop(); !s.Eof(); st = s.Skip(1)) {
      XB_RETURN_IF_ERROR(st);
      rows.push_back(s.RecNo());
    }
    XB_RETURN_IF_ERROR(s.ClearScope());
    for (uint32_t rec : rows) {
      XB_RETURN_IF_ERROR(s.GoTo(rec));
      XB_RETURN_IF_ERROR(fn(s));
    }
    return xb::Status::OK();
  }

  double Number(xb::Table& t, const char* field) {
    auto v = t.Get(field);
    return v.ok() ? v->number() : 0;
  }
  std::string Text(xb::Table& t, const char* field) {
    auto v = t.Get(field);
    return v.ok() ? v->str() : "";
  }

  xb::Status Payroll(const Business& b, const Department& d, Day date);

 private:
  xb::Status Employee(const Business& b, const Department& d, Day date, xb::Table& person);
  xb::Status CopyColumnType(const Department& d, Day date, xb::Table& type);
  // The value class of a column on the definitions of the day (null for a
  // separator or a type that does not exist).
  ::qz::ColumnValue* ValueClass(const Business& b, const Department& d, Day date,
                                const std::string& column);
  xb::Status LineTotals(const Business& b, const Department& d, Day date,
                        const ::qz::LineFacts& facts, std::vector<::qz::LineValue>* line,
                        std::vector<double>* totals);
  Context& c_;
  std::set<std::pair<std::string, int32_t>> costs_copied_;
  std::map<std::string, int> movements_;                // per business
  std::map<std::string, const demo::Employee*> loans_;  // by business + employee code
  // The value classes of the payroll being written, by column.
  std::map<std::string, std::unique_ptr<::qz::ColumnValue>> classes_;
  ::qz::PayrollContext payroll_;
};

::qz::ColumnValue* History::ValueClass(const Business& b, const Department& d, Day date,
                                       const std::string& column) {
  auto it = classes_.find(column);
  if (it != classes_.end()) return it->second.get();
  std::unique_ptr<::qz::ColumnValue>& slot = classes_[column];
  auto tipos = c_.OpenIndexed("ENC_TIP");
  auto brackets = c_.OpenIndexed("DET_TIP");
  auto rates = c_.OpenIndexed("T_CAMBIO");
  if (!tipos.ok() || !brackets.ok() || !rates.ok()) return nullptr;
  ::qz::ColumnRequest r{b.code, d.code, column, false, d.currency};
  ::qz::ColumnType def;
  if (!::qz::LoadColumnType(r, **tipos, date.jd, &def).ok()) return nullptr;
  double tasa = 1;
  if (def.tipo == 3) {
    if (!::qz::LoadBrackets(r, **brackets, date.jd, &def).ok()) return nullptr;
    // The rate of the payroll's date, as the payroll was paid.
    ::qz::ColumnRequest dated = r;
    dated.historico = true;
    tasa = ::qz::ColumnRate(**rates, dated, def.moneda, date.jd);
  }
  slot = ::qz::MakeColumnValue(std::move(def), payroll_, tasa);
  return slot.get();
}

xb::Status History::LineTotals(const Business& b, const Department& d, Day date,
                               const ::qz::LineFacts& facts, std::vector<::qz::LineValue>* line,
                               std::vector<double>* totals) {
  const int per_month = ::qz::PayrollsInMonth(payroll_.tipo, date.jd);
  totals->assign(line->size(), 0);
  for (size_t i = 0; i < line->size(); ++i) {
    ::qz::ColumnValue* k = ValueClass(b, d, date, (*line)[i].columna);
    if (!k) continue;
    if (auto* tax = dynamic_cast<::qz::VAL_COMP*>(k); tax && k->definition().tipo_tabla == 1) {
      // Income tax on the month's income projected from this payroll's,
      // divided over the month's payrolls; its value is that base.
      (*line)[i].valor = facts.tot_sal * per_month;
      tax->PUT_2(true, per_month, false, 0);
    }
    k->PUT(::qz::LineInput(k->definition(), *line, (*line)[i], facts));
    (*totals)[i] = std::round(k->GET().total * 100) / 100;
  }
  return xb::Status::OK();
}

xb::Status History::CopyColumnType(const Department& d, Day date, xb::Table& type) {
  auto brackets = c_.OpenIndexed("DET_TIP");
  auto h_e_tip = c_.Open("H_E_TIP");
  auto h_d_tip = c_.Open("H_D_TIP");
  if (!brackets.ok()) return brackets.status();
  if (!h_e_tip.ok()) return h_e_tip.status();
  if (!h_d_tip.ok()) return h_d_tip.status();
  auto before = (*h_d_tip)->RecCount();
  if (!before.ok()) return before.status();
  XB_RETURN_IF_ERROR(::qz::CopyColumnTypeToHistory(type, **brackets, **h_e_tip, **h_d_tip,
                                                   Pad(d.code, 15), date.jd));
  auto after = (*h_d_tip)->RecCount();
  if (!after.ok()) return after.status();
  c_.Counted("H_E_TIP");
  c_.Counted("H_D_TIP", static_cast<int>(*after - *before));
  return xb::Status::OK();
}

xb::Status History::Employee(const Business& b, const Department& d, Day date, xb::Table& person) {
  const std::string n = Pad(b.code, 15), code = Text(person, "CODIGO");
  const double salary = Number(person, "TOT_SAL");
  XB_RETURN_IF_ERROR(Copy(person, "H_E_PERS", [&](Row& w) {
    w.Set("FECHA", date).Set("LIMITE", Day::Ymd(2090, 1, 1));
    w.Set("TOT_REBAJO", 0).Set("TOT_DEDUC", 0).Set("TOT_ING_ND", 0);
  }));
  // The line's values as entered (the base salary is the line's salary),
  // then what each column paid.
  std::vector<::qz::LineValue> line;
  XB_RETURN_IF_ERROR(ForEach("DET_PERS", "DET_PERS", n + code, [&](xb::Table& v) {
    std::string column = xb::ToUtf8(Text(v, "COD_COLUMN")).substr(0, 2);
    const ColumnType* t = c_.Column(column);
    line.push_back({column, t && t->base ? salary : Number(v, "VALOR_1"), Number(v, "FACTOR")});
    return xb::Status::OK();
  }));
  ::qz::LineFacts facts;
  facts.tot_sal = salary;
  facts.f_ingreso = person.Get("F_INGRESO").ok() ? person.Get("F_INGRESO")->date() : 0;
  facts.f_retiro = person.Get("F_RETIRO").ok() ? person.Get("F_RETIRO")->date() : 0;
  facts.sal_comple = static_cast<int>(Number(person, "SAL_COMPLE"));
  facts.inc_cont = static_cast<int>(Number(person, "INC_CONT"));
  const Schedule* schedule = c_.FindSchedule(xb::ToUtf8(Text(person, "COD_TIEMPO")).substr(0, 2));
  facts.schedule_factor = schedule ? schedule->hours : 0;
  std::vector<double> totals;
  XB_RETURN_IF_ERROR(LineTotals(b, d, date, facts, &line, &totals));
  size_t row = 0;
  XB_RETURN_IF_ERROR(ForEach("DET_PERS", "DET_PERS", n + code, [&](xb::Table& v) {
    const size_t i = row++;
    const ColumnType* t = c_.Column(line[i].columna);
    return Copy(v, "H_D_PERS", [&](Row& w) {
      w.Set("VALOR_1", line[i].valor).Set("FACTOR", line[i].factor).Set("TOTAL", totals[i]);
      w.Set("FECHA", date);
      if (t && t->vacation) w.Set("VACACION", "1");
    });
  }));
  XB_RETURN_IF_ERROR(ForEach("DET_PER3", "DET_PER_A", n + code, [&](xb::Table& s) {
    return Copy(s, "H_D_PER3", [&](Row& w) { w.Set("FECHA", date); });
  }));
  // The loan instalment taken by this payroll.
  if (loans_.empty())
    for (const auto& e : c_.employees)
      if (!e.loan.empty()) loans_[Pad(e.business, 15) + Pad(e.code, 15)] = &e;
  auto loan = loans_.find(n + code);
  if (loan != loans_.end()) {
    const demo::Employee& e = *loan->second;
    char movement[16];
    std::snprintf(movement, sizeof movement, "AB-%06d", ++movements_[b.code]);
    XB_RETURN_IF_ERROR(c_.Add("DET_DDA", [&](Row& w) {
      w.Set("NEGOCIO", b.code).Set("DEUDA", e.loan).Set("CODIGO", movement);
      w.Set("CONCEPTO", "01").Set("DEPTO", d.code);
    }));
  }
  return xb::Status::OK();
}

xb::Status History::Payroll(const Business& b, const Department& d, Day date) {
  const std::string n = Pad(b.code, 15), dept = Pad(d.code, 15);
  // The payroll as the value classes see it: its date and its payroll type.
  classes_.clear();
  payroll_ = ::qz::PayrollContext{};
  payroll_.fecha = date.jd;
  XB_RETURN_IF_ERROR(ForEach("TIP_PLA", "TIP_PLA", n + Pad(d.payroll_type, 2), [&](xb::Table& s) {
    return ::qz::ReadPayrollType(s, &payroll_.tipo);
  }));
  XB_RETURN_IF_ERROR(ForEach("ENC_DEPT", "ENC_DEPT", n + dept, [&](xb::Table& s) {
    payroll_.depto_hora = static_cast<int>(Number(s, "DEPTO_HORA"));
    return xb::Status::OK();
  }));
  auto dated = [&](Row& w) { w.Set("FECHA", date); };
  auto dated_dept = [&](Row& w) { w.Set("FECHA", date).Set("DEPTO", d.code); };
  XB_RETURN_IF_ERROR(ForEach("ENC_DEPT", "ENC_DEPT", n + dept,
                             [&](xb::Table& s) { return Copy(s, "H_E_DEPT", dated); }));
  XB_RETURN_IF_ERROR(ForEach("DET_DEPT", "DET_DEPT", n + dept, [&](xb::Table& col) {
    XB_RETURN_IF_ERROR(Copy(col, "H_D_DEPT", dated));
    std::string type = Text(col, "COD_COLUMN");
    return ForEach("ENC_TIP", "ENC_TIP", n + type,
                   [&](xb::Table& s) { return CopyColumnType(d, date, s); });
  }));
  XB_RETURN_IF_ERROR(ForEach("DET_DEP2", "DET_DEP2", n + dept,
                             [&](xb::Table& s) { return Copy(s, "H_D_DEP2", dated); }));
  XB_RETURN_IF_ERROR(ForEach("DET_DEP3", "DET_DEP3A", n + dept,
                             [&](xb::Table& s) { return Copy(s, "H_D_DEP3", dated); }));
  XB_RETURN_IF_ERROR(ForEach("TIP_PLA", "TIP_PLA", n + Pad(d.payroll_type, 2),
                             [&](xb::Table& s) { return Copy(s, "H_TIP_PL", dated_dept); }));
  XB_RETURN_IF_ERROR(ForEach("CONJ_COL", "CONJ_COL", n + dept,
                             [&](xb::Table& s) { return Copy(s, "H_CONJ_C", dated); }));
  XB_RETURN_IF_ERROR(ForEach("ENC_PERS", "ENC_PERS", n + dept, [&](xb::Table& p) {
    return Number(p, "ACTIVO") == 1 ? Employee(b, d, date, p) : xb::Status::OK();
  }));
  XB_RETURN_IF_ERROR(ForEach("TIEMPO_E", "TIEMPO_E", n,
                             [&](xb::Table& s) { return Copy(s, "H_TIEM_E", dated_dept); }));
  XB_RETURN_IF_ERROR(ForEach("TIP_TRAN", "TIP_TRAN", n,
                             [&](xb::Table& s) { return Copy(s, "H_TIP_TR", dated_dept); }));
  // Cost tables and column groups: once per business and date.
  if (costs_copied_.insert({b.code, date.jd}).second) {
    XB_RETURN_IF_ERROR(ForEach("E_COSTO", "E_COSTO", n, [&](xb::Table& s) {
      XB_RETURN_IF_ERROR(Copy(s, "H_E_COST", dated));
      return ForEach("D_COSTO", "D_COSTO1", n + Text(s, "CODIGO"),
                     [&](xb::Table& line) { return Copy(line, "H_D_COST", dated); });
    }));
    XB_RETURN_IF_ERROR(
        ForEach("GRP_CMP", "GRP_CMP", n, [&](xb::Table& s) { return Copy(s, "H_GRP_C", dated); }));
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status AddHistory(Context& c) {
  History h(c);
  for (const auto& b : c.businesses) {
    // Payrolls in date order, the departments of one date in their order.
    std::vector<std::pair<int32_t, std::string>> payrolls;
    for (const auto& code : b.departments) {
      const Department& d = c.departments.at(code);
      for (Day day : PayrollDates(c, *c.Type(d.payroll_type))) payrolls.push_back({day.jd, code});
    }
    std::stable_sort(payrolls.begin(), payrolls.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    for (const auto& [jd, code] : payrolls)
      XB_RETURN_IF_ERROR(h.Payroll(b, c.departments.at(code), Day{jd}));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo

// Writing a department back from its editor, in one transaction.
#include <algorithm>
#include <map>
#include <set>

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/errors/fault.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "payroll/departments/dept_data.h"
#include "payroll/departments/dept_rows.h"

namespace qz::dept {
namespace {

// The tables one save writes, opened once.
struct Tables {
  TablePtr det_dept = USE(nullptr, "DET_DEPT");
  TablePtr conj_col = USE(nullptr, "CONJ_COL");
  TablePtr det_dep2 = USE(nullptr, "DET_DEP2");
  TablePtr det_dep3 = USE(nullptr, "DET_DEP3");
  TablePtr det_pers = USE(nullptr, "DET_PERS");
  TablePtr det_per3 = USE(nullptr, "DET_PER3");
};

// Whether record `rec` of `t` is still a live row of department `depto`
// (another workstation may have deleted or moved it since it was loaded).
bool StillOurs(WDBTable& t, uint32_t rec, const std::string& negocio, const std::string& depto) {
  xb::Table& x = t.table();
  return rec != 0 && x.GoTo(rec).ok() && !x.Deleted() && FieldBytes(x, "NEGOCIO") == negocio &&
         FieldBytes(x, "DEPTO") == depto;
}

class Saver {
 public:
  explicit Saver(const SaveRequest& r)
      : r_(r),
        sc_(*r.scratch),
        neg_(PadRight(r.negocio, 15)),
        code_(PadRight(r.code, 15)),
        old_(r.mode == 1 ? PadRight(r.old_code, 15) : code_) {}

  bool Run();

 private:
  bool WriteHeader();
  void Columns();
  void Sets();
  void Provisions();
  void Centres();
  void NewValueRows(const std::string& column);
  void DropValueRows(const std::string& column);
  void Factors();

  const SaveRequest& r_;
  DeptScratch& sc_;
  std::string neg_, code_, old_;
  std::vector<std::string> employees_;  // the department's employees, read first
  std::string employees_dept_;          // the code they are under once renamed
  std::vector<std::string> new_dependents_;
  std::map<std::string, bool> dependent_;
  Tables t_;
};

bool Saver::Run() {
  for (const auto& ty : r_.types) dependent_[ty.code] = ty.dependent;
  if (!WriteHeader()) return false;
  if (r_.mode == 1) {
    TablePtr enc_pers = USE(nullptr, "ENC_PERS");
    xb::Table& p = enc_pers->table();
    for (uint32_t rec : RowsOf(p, "ENC_PERS", neg_ + old_)) {
      p.GoTo(rec);
      employees_.push_back(FieldBytes(p, "CODIGO"));
    }
    KILLTABLA(enc_pers);
  }
  Columns();
  Sets();
  Provisions();
  Centres();
  // The rename comes after this save's own rows carry the new code (rows a
  // handle changed stay locked to it until the transaction ends, so two
  // handles must not change the same row), and before the factors, which
  // find the employees and their payroll type under the department's code.
  employees_dept_ = old_;
  if (old_ != code_ && r_.rename) {
    r_.rename(old_, code_);
    employees_dept_ = code_;
  }
  Factors();
  return true;
}

bool Saver::WriteHeader() {
  WDBTable& enc = *r_.enc_dept;
  xb::Table& t = enc.table();
  if (r_.mode == 0) {
    ADD_NEW_REC(enc);
    PutBytes(t, "NEGOCIO", neg_);
  } else {
    // The record the window loaded; once locked (and so re-read) it must
    // still be that department.
    t.GoTo(r_.recno);
    LOCK_FOR_MODIFY(enc);
    const char* refused = t.Deleted() || FieldBytes(t, "NEGOCIO") != neg_ ? kRowDeletedMeanwhile
                          : FieldBytes(t, "CODIGO") != old_                 ? kRowRekeyedMeanwhile
                                                                            : nullptr;
    if (refused) {
      UNLOCK_FOR_MODIFY(enc);
      END_TRANSACTION();  // nothing was written
      MESSAGE_BOX(refused, "Error", kMbIconStop);
      return false;
    }
  }
  PutBytes(t, "CODIGO", code_);
  r_.write_header(t);
  if (r_.mode == 0) {
    UNLOCK_NEW_REC(enc);
  } else {
    UNLOCK_FOR_MODIFY(enc);
  }
  return true;
}

void Saver::Columns() {
  WDBTable& det = *t_.det_dept;
  xb::Table& d = det.table();
  DeptLayout& layout = sc_.layout;
  // Columns taken out: their rows go, and with them the employees' values
  // (a separator has none; a column only moved to another section keeps
  // them).
  for (const LayoutColumn& c : layout.removed()) {
    if (!StillOurs(det, c.recno, neg_, old_)) continue;
    DELETE_RECORD(det);
    if (!c.separator && !layout.Contains(c.column)) DropValueRows(c.column);
  }
  // Row numbers: add numbers the layout from 1 across the sections; modify
  // gives a new column the smallest number the department does not use.
  std::set<int> used;
  if (r_.mode == 1)
    for (int s = 0; s < kSections; ++s)
      for (const auto& c : layout.section(s).columns)
        if (c.recno != 0) used.insert(c.row);
  int next = 1;
  auto take_number = [&] {
    while (used.count(next)) ++next;
    used.insert(next);
    return next;
  };
  for (int s = 0; s < kSections; ++s) {
    // In print order, so an added department's numbers read as its layout.
    for (const LayoutColumn* c : layout.PrintOrder(s)) {
      const bool existing = r_.mode == 1 && StillOurs(det, c->recno, neg_, old_);
      if (existing) {
        LOCK_FOR_MODIFY(det);
      } else {
        ADD_NEW_REC(det);
        PutBytes(d, "NEGOCIO", neg_);
        PutBytes(d, "COD_COLUMN", c->column);
        PutNumber(d, "CODIGO", take_number());
      }
      PutBytes(d, "DEPTO", code_);
      PutBytes(d, "TIPO", SectionCode(s));
      PutNumber(d, "ORDEN", layout.OrdenOf(s, *c));
      PutBytes(d, "COD_CONJ", c->set.empty() ? kNoSet : c->set);
      PutBytes(d, "LIGA_CONTA", c->link);
      if (existing) {
        UNLOCK_FOR_MODIFY(det);
      } else {
        UNLOCK_NEW_REC(det);
        if (!c->separator) NewValueRows(c->column);
      }
    }
  }
}

void Saver::NewValueRows(const std::string& column) {
  if (employees_.empty()) return;
  WDBTable& v = *t_.det_pers;
  xb::Table& t = v.table();
  int added = 0;
  for (const std::string& e : employees_) {
    if (!RowsOf(t, "DET_PERS", neg_ + e + column).empty()) continue;  // already there
    ADD_NEW_REC(v);
    PutBytes(t, "NEGOCIO", neg_);
    PutBytes(t, "CODIGO", e);
    PutBytes(t, "COD_COLUMN", column);
    UNLOCK_NEW_REC(v);
    ++added;
  }
  if (added > 0 && dependent_[column]) new_dependents_.push_back(column);
}

void Saver::DropValueRows(const std::string& column) {
  WDBTable& v = *t_.det_pers;
  for (const std::string& e : employees_)
    for (uint32_t rec : RowsOf(v.table(), "DET_PERS", neg_ + e + column)) {
      v.table().GoTo(rec);
      DELETE_RECORD(v);
    }
}

void Saver::Factors() {
  for (const std::string& column : new_dependents_) {
    FactorRecalcScope scope;
    scope.negocio = neg_;
    scope.department = employees_dept_;
    scope.column_type = column;
    scope.base_is_sum = true;
    scope.det_pers = t_.det_pers.get();
    scope.pump = [] { MULTITASK(); };
    auto done = RecalcEmployeeFactors(scope);
    if (!done.ok()) ThrowFault(kGenRead, done.status().message(), "DET_PERS", "Factors");
  }
}

void Saver::Sets() {
  WDBTable& cj = *t_.conj_col;
  xb::Table& t = cj.table();
  for (uint32_t rec : sc_.layout.removed_sets())
    if (StillOurs(cj, rec, neg_, old_)) DELETE_RECORD(cj);
  for (int s = 0; s < kSections; ++s)
    for (const ColumnSet& set : sc_.layout.section(s).sets) {
      const bool existing = r_.mode == 1 && StillOurs(cj, set.recno, neg_, old_);
      if (existing) {
        LOCK_FOR_MODIFY(cj);
      } else {
        ADD_NEW_REC(cj);
        PutBytes(t, "NEGOCIO", neg_);
      }
      PutBytes(t, "DEPTO", code_);
      PutBytes(t, "TIPO", SectionCode(s));
      PutBytes(t, "CODIGO", set.code);
      PutText(t, "DESCRIP", set.descrip);
      PutText(t, "PICTURE", set.picture);
      PutText(t, "COD_TOTAL", set.total);
      PutNumber(t, "ORDEN", sc_.layout.OrdenOf(s, set));
      if (existing) {
        UNLOCK_FOR_MODIFY(cj);
      } else {
        UNLOCK_NEW_REC(cj);
      }
    }
}

void Saver::Provisions() {
  WDBTable& pv = *t_.det_dep2;
  xb::Table& t = pv.table();
  int top = 0;
  for (uint32_t rec : RowsOf(t, "DET_DEP2", neg_ + old_)) {
    t.GoTo(rec);
    top = std::max(top, IntField(t, "CODIGO"));
  }
  for (uint32_t rec : sc_.removed_provisions)
    if (StillOurs(pv, rec, neg_, old_)) DELETE_RECORD(pv);
  for (const Provision& p : sc_.provisions) {
    const bool existing = r_.mode == 1 && StillOurs(pv, p.recno, neg_, old_);
    // A new row without a percentage provides nothing and is not kept.
    if (!existing && p.porcentaje == 0) continue;
    if (existing) {
      LOCK_FOR_MODIFY(pv);
    } else {
      ADD_NEW_REC(pv);
      PutBytes(t, "NEGOCIO", neg_);
      PutNumber(t, "CODIGO", ++top);
    }
    PutBytes(t, "DEPTO", code_);
    PutBytes(t, "TIPO", p.tipo);
    PutNumber(t, "PORCENTAJE", p.porcentaje);
    PutBytes(t, "LIGA", p.liga);
    PutText(t, "DESCRIP", p.descrip);
    PutNumber(t, "TIPO_EMP", p.tipo_emp);
    if (existing) {
      UNLOCK_FOR_MODIFY(pv);
    } else {
      UNLOCK_NEW_REC(pv);
    }
  }
}

void Saver::Centres() {
  WDBTable& dc = *t_.det_dep3;
  WDBTable& ps = *t_.det_per3;
  xb::Table& t = dc.table();
  xb::Table& p = ps.table();
  // The employees' own splits of centre `centre`.
  auto employee_rows = [&](const std::string& centre) {
    std::vector<uint32_t> out;
    for (const std::string& e : employees_)
      for (uint32_t rec : RowsOf(p, "DET_PER3_C", neg_ + e + centre)) out.push_back(rec);
    return out;
  };
  for (const CentreShare& c : sc_.removed_centres) {
    // Renamed meanwhile by the rename step: the row is found by record.
    if (c.recno == 0 || !t.GoTo(c.recno).ok() || t.Deleted() ||
        FieldBytes(t, "NEGOCIO") != neg_)
      continue;
    DELETE_RECORD(dc);
    for (uint32_t rec : employee_rows(c.loaded_code)) {
      p.GoTo(rec);
      DELETE_RECORD(ps);
    }
  }
  for (const CentreShare& c : sc_.centres) {
    const bool existing = c.recno != 0 && t.GoTo(c.recno).ok() && !t.Deleted() &&
                          FieldBytes(t, "NEGOCIO") == neg_;
    if (existing) {
      if (c.code != c.loaded_code)
        for (uint32_t rec : employee_rows(c.loaded_code)) {
          p.GoTo(rec);
          LOCK_FOR_MODIFY(ps);
          PutBytes(p, "COD_CENTRO", c.code);
          UNLOCK_FOR_MODIFY(ps);
        }
      t.GoTo(c.recno);
      LOCK_FOR_MODIFY(dc);
    } else {
      ADD_NEW_REC(dc);
      PutBytes(t, "NEGOCIO", neg_);
    }
    PutBytes(t, "DEPTO", code_);
    PutBytes(t, "COD_CENTRO", c.code);
    PutNumber(t, "PORCENTAJE", c.porcentaje);
    if (existing) {
      UNLOCK_FOR_MODIFY(dc);
      continue;
    }
    UNLOCK_NEW_REC(dc);
    // A new centre joins the split of every column an employee splits on
    // its own.
    WDBTable& v = *t_.det_pers;
    for (const std::string& e : employees_)
      for (uint32_t rec : RowsOf(v.table(), "DET_PERS", neg_ + e)) {
        v.table().GoTo(rec);
        if (IntField(v.table(), "CENTRO_IND") != 1) continue;
        const std::string column = FieldBytes(v.table(), "COD_COLUMN");
        ADD_NEW_REC(ps);
        PutBytes(p, "NEGOCIO", neg_);
        PutBytes(p, "CODIGO", e);
        PutBytes(p, "COD_COLUMN", column);
        PutBytes(p, "COD_CENTRO", c.code);
        PutNumber(p, "PORCENTAJE", c.porcentaje);
        UNLOCK_NEW_REC(ps);
      }
  }
}

}  // namespace

bool SaveDepartment(const SaveRequest& r) {
  WAIT wait(r.owner, "Procesando Datos...");
  START_ATOMIC_TRANSACTION();
  Saver saver(r);
  if (!saver.Run()) return false;
  END_TRANSACTION();
  return true;
}

}  // namespace qz::dept

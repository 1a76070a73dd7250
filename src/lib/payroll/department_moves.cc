#include "lib/payroll/department_moves.h"

#include <cctype>
#include <iterator>
#include <vector>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "xbase/env.h"

namespace qz {
namespace {

constexpr int64_t kReportEvery = 256;

// A table that names the department in `field`, walked on `tag` (whose key
// starts with NEGOCIO + that field), or in record order when `tag` is empty.
struct Naming {
  const char* table;
  const char* tag;
  const char* field;
  bool suite = false;  // another program's table: an installation may lack it
};

// Employees and what else the department's code travels with.
const Naming kFollowers[] = {
    {"ENC_PERS", "ENC_PERS", "DEPTO"},
    {"ACCIONES", "ACCIONES9", "COD_DEPTO", true},
    {"ACCI_OLD", "", "COD_DEPTO", true},
    {"DET_DDA", "", "DEPTO", true},
    {"MAP_PLA", "MAP_PLA", "DEPTO", true},
};

// The payroll history, detail tables first and the headers last, so a
// rename stopped by a crash before the commit still finds every header
// under the old code with its rows (the journal puts them back anyway).
const Naming kHistory[] = {
    {"H_E_PERS", "H_E_PERS", "DEPTO"}, {"H_D_DEPT", "H_D_DEPT4", "DEPTO"},
    {"H_D_DEP2", "H_D_DEP2", "DEPTO"}, {"H_E_TIP", "H_E_TIP", "DEPTO"},
    {"H_D_TIP", "H_D_TIP", "DEPTO"},   {"H_TIP_PL", "H_TIP_PL", "DEPTO"},
    {"H_CONJ_C", "H_CONJ_C3", "DEPTO"}, {"H_TIEM_E", "H_TIEM_E2", "DEPTO"},
    {"H_TIP_TR", "H_TIP_TR2", "DEPTO"}, {"H_D_DEP3", "H_D_DEP3", "DEPTO"},
    {"H_E_DEPT", "H_E_DEPT2", "CODIGO"},
};

const Naming kCostCentres = {"DET_DEP3", "DET_DEP3A", "DEPTO"};

// The department's own definition rows.
const Naming kLayout[] = {
    {"DET_DEPT", "DET_DEPT", "DEPTO"},
    {"DET_DEP2", "DET_DEP2", "DEPTO"},
    {"CONJ_COL", "CONJ_COL", "DEPTO"},
};
const Naming kHeader = {"ENC_DEPT", "ENC_DEPT", "CODIGO"};
const Naming kLinks = {"MAP_PLA", "MAP_PLA", "DEPTO", true};

// Rows an employee owns, by the tag that starts with NEGOCIO + employee.
const Naming kEmployeeRows[] = {
    {"DET_PERS", "DET_PERS", "CODIGO"},
    {"DET_PER3", "DET_PER_A", "CODIGO"},
    {"DET_PER2", "DET_PER2", "COD_PER", true},
};

bool Installed(const Naming& n) {
  return !n.suite || xb::Env::Default()->Resolve(TablePath(n.table) + ".DBF").ok();
}

void Check(const xb::Status& s, const xb::Table& t, const char* operation) {
  if (!s.ok()) ThrowFault(kGenRead, s.message(), t.path(), operation);
}

size_t Width(const xb::Table& t, const char* field) {
  int i = t.FieldIndex(field);
  if (i < 0) ThrowFault(kGenNoField, std::string("No existe el campo ") + field, t.path(), "FIELD");
  return t.fields()[i].len;
}

std::string Raw(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

class Tally {
 public:
  explicit Tally(const DepartmentProgress& p) : progress_(p) {}
  void Start(const std::string& table) {
    table_ = table;
    if (progress_) progress_(table_, rows_);
  }
  void Row() {
    ++rows_;
    if (progress_ && rows_ % kReportEvery == 0) progress_(table_, rows_);
  }
  int64_t rows() const { return rows_; }

 private:
  const DepartmentProgress& progress_;
  std::string table_;
  int64_t rows_ = 0;
};

// An open table of the list, released however the operation leaves.
class Opened {
 public:
  explicit Opened(const char* name) : t_(USE(nullptr, name)) {}
  ~Opened() {
    if (t_) KILLTABLA(t_);
  }
  WDBTable& w() { return *t_; }
  xb::Table& t() { return t_->table(); }

 private:
  TablePtr t_;
};

// Visits the rows of `tag` whose key starts with `prefix`. The walk steps to
// the next row before `fn` runs, so `fn` may change the current row's key or
// delete it without the walk losing its place.
template <typename Fn>
void ForEachKeyed(xb::Table& t, const std::string& tag, const std::string& prefix, Fn fn) {
  Check(t.SetOrder(tag), t, "SET ORDER");
  const xb::Value key = xb::Value::Char(prefix);
  Check(t.SetScope(key, key), t, "SET SCOPE");
  Check(t.GoTop(), t, "GO TOP");
  while (!t.Eof()) {
    const uint32_t current = t.RecNo();
    Check(t.Skip(1), t, "SKIP");
    const uint32_t next = t.Eof() ? 0 : t.RecNo();
    fn(current);
    if (next == 0) break;
    Check(t.GoTo(next), t, "GOTO");
  }
  Check(t.ClearScope(), t, "SET SCOPE");
}

// Visits, in record order, the rows of the business whose `field` holds `code`.
template <typename Fn>
void ForEachScanned(xb::Table& t, const std::string& negocio, const char* field,
                    const std::string& code, Fn fn) {
  Check(t.SetOrder(""), t, "SET ORDER");
  for (Check(t.GoTop(), t, "GO TOP"); !t.Eof(); Check(t.Skip(1), t, "SKIP")) {
    if (Raw(t, "NEGOCIO") == negocio && Raw(t, field) == code) fn(t.RecNo());
  }
}

template <typename Fn>
void ForEachNaming(Opened& o, const Naming& n, const std::string& negocio, const std::string& code,
                   Fn fn) {
  xb::Table& t = o.t();
  const std::string padded = PadRight(code, Width(t, n.field));
  if (*n.tag) {
    ForEachKeyed(t, n.tag, negocio + padded, fn);
  } else {
    ForEachScanned(t, negocio, n.field, padded, fn);
  }
}

void PutCode(WDBTable& w, uint32_t recno, const char* field, const std::string& code) {
  xb::Table& t = w.table();
  Check(t.GoTo(recno), t, "GOTO");
  LOCK_FOR_MODIFY(w);
  xb::Status s = t.Put(field, xb::Value::Char(PadRight(code, Width(t, field))));
  if (!s.ok()) ThrowFault(kGenWrite, s.message(), t.path(), "REPLACE");
  UNLOCK_FOR_MODIFY(w);
}

void DeleteRow(WDBTable& w, uint32_t recno) {
  xb::Table& t = w.table();
  Check(t.GoTo(recno), t, "GOTO");
  DELETE_RECORD(w);
}

void Move(const Naming& n, const std::string& negocio, const std::string& from,
          const std::string& to, Tally& tally, RenameResult& result) {
  if (!Installed(n)) return;
  Opened o(n.table);
  tally.Start(n.table);
  const int64_t before = tally.rows();
  ForEachNaming(o, n, negocio, from, [&](uint32_t recno) {
    PutCode(o.w(), recno, n.field, to);
    tally.Row();
  });
  result.tables.push_back({n.table, tally.rows() - before});
}

int64_t CountOf(const Naming& n, const std::string& negocio, const std::string& code) {
  if (!Installed(n)) return 0;
  Opened o(n.table);
  xb::Table& t = o.t();
  const std::string padded = PadRight(code, Width(t, n.field));
  if (!*n.tag) {
    int64_t rows = 0;
    ForEachScanned(t, negocio, n.field, padded, [&](uint32_t) { ++rows; });
    return rows;
  }
  Check(t.SetOrder(n.tag), t, "SET ORDER");
  const xb::Value key = xb::Value::Char(negocio + padded);
  Check(t.SetScope(key, key), t, "SET SCOPE");
  auto count = t.KeyCount();
  Check(count.status(), t, "COUNT");
  return *count;
}

// The codes of the department's employees, read before any is touched.
std::vector<std::string> EmployeesOf(const std::string& negocio, const std::string& code) {
  std::vector<std::string> out;
  Opened o("ENC_PERS");
  ForEachNaming(o, kFollowers[0], negocio, code, [&](uint32_t recno) {
    Check(o.t().GoTo(recno), o.t(), "GOTO");
    out.push_back(Raw(o.t(), "CODIGO"));
  });
  return out;
}

void DeleteAll(const Naming& n, const std::string& negocio, const std::string& code,
               Tally& tally) {
  if (!Installed(n)) return;
  Opened o(n.table);
  tally.Start(n.table);
  ForEachNaming(o, n, negocio, code, [&](uint32_t recno) {
    DeleteRow(o.w(), recno);
    tally.Row();
  });
}

// A row's fields as stored, to be written again elsewhere.
std::vector<xb::Value> RowValues(const xb::Table& t) {
  std::vector<xb::Value> v;
  for (size_t i = 0; i < t.fields().size(); ++i) {
    auto f = t.Get(static_cast<int>(i));
    if (!f.ok()) ThrowFault(kGenRead, f.status().message(), t.path(), "FIELDGET");
    v.push_back(*f);
  }
  return v;
}

void AppendRow(WDBTable& w, const std::vector<xb::Value>& values, const char* field,
               const std::string& code, const char* descrip_field = nullptr,
               const std::string& descrip = "") {
  xb::Table& t = w.table();
  ADD_NEW_REC(w);
  for (size_t i = 0; i < values.size(); ++i) {
    xb::Status s = t.Put(static_cast<int>(i), values[i]);
    if (!s.ok()) ThrowFault(kGenWrite, s.message(), t.path(), "REPLACE");
  }
  auto put = [&](const char* f, const std::string& text) {
    xb::Status s = t.Put(f, xb::Value::Char(PadRight(text, Width(t, f))));
    if (!s.ok()) ThrowFault(kGenWrite, s.message(), t.path(), "REPLACE");
  };
  put(field, code);
  if (descrip_field) put(descrip_field, descrip);
  UNLOCK_NEW_REC(w);
}

}  // namespace

RenameResult RenameDepartment(const std::string& negocio_in, const std::string& old_code,
                              const std::string& new_code, const RenameOptions& options) {
  const std::string negocio = PadRight(negocio_in, 15);
  RenameResult result;
  // A deleted department leaves its payrolls under its code: renaming
  // another department to that code would mix the two histories, payroll
  // dates and all, beyond any later separation.
  const Naming& headers = kHistory[std::size(kHistory) - 1];
  if (CountOf(headers, negocio, new_code) > 0) {
    ThrowFault(kGenWrite, "El código nuevo ya tiene planillas históricas de otro departamento",
               TablePath(headers.table) + ".DBF", "RENAME");
  }
  Tally tally(options.progress);
  for (const Naming& n : kFollowers) Move(n, negocio, old_code, new_code, tally, result);
  for (const Naming& n : kHistory) Move(n, negocio, old_code, new_code, tally, result);
  Move(kCostCentres, negocio, old_code, new_code, tally, result);
  if (options.own_rows) {
    for (const Naming& n : kLayout) Move(n, negocio, old_code, new_code, tally, result);
    Move(kHeader, negocio, old_code, new_code, tally, result);
  }
  result.rows = tally.rows();
  return result;
}

DepartmentCounts CountDepartment(const std::string& negocio_in, const std::string& code) {
  const std::string negocio = PadRight(negocio_in, 15);
  DepartmentCounts c;
  for (const Naming& n : kLayout) c.layout_rows += CountOf(n, negocio, code);
  c.layout_rows += CountOf(kCostCentres, negocio, code) + CountOf(kLinks, negocio, code);
  const std::vector<std::string> employees = EmployeesOf(negocio, code);
  c.employees = static_cast<int64_t>(employees.size());
  for (const Naming& n : kEmployeeRows) {
    for (const std::string& e : employees) c.employee_rows += CountOf(n, negocio, e);
  }
  for (const Naming& n : kHistory) {
    const int64_t rows = CountOf(n, negocio, code);
    c.history_rows += rows;
    if (std::string(n.table) == "H_E_DEPT") c.payrolls = rows;
  }
  return c;
}

DepartmentCounts DeleteDepartment(const std::string& negocio_in, const std::string& code,
                                  const DepartmentProgress& progress) {
  const std::string negocio = PadRight(negocio_in, 15);
  DepartmentCounts c;
  Tally tally(progress);
  for (const Naming& n : kLayout) DeleteAll(n, negocio, code, tally);
  DeleteAll(kCostCentres, negocio, code, tally);
  DeleteAll(kLinks, negocio, code, tally);
  c.layout_rows = tally.rows();
  const std::vector<std::string> employees = EmployeesOf(negocio, code);
  for (const Naming& n : kEmployeeRows) {
    for (const std::string& e : employees) DeleteAll(n, negocio, e, tally);
  }
  c.employee_rows = tally.rows() - c.layout_rows;
  DeleteAll(kFollowers[0], negocio, code, tally);
  c.employees = static_cast<int64_t>(employees.size());
  DeleteAll(kHeader, negocio, code, tally);
  return c;
}

xb::Result<int64_t> DuplicateDepartment(const std::string& negocio_in, const std::string& source,
                                        const std::string& new_code, const std::string& descrip,
                                        const DepartmentProgress& progress) {
  const std::string negocio = PadRight(negocio_in, 15);
  Tally tally(progress);
  Opened dept(kHeader.table);
  xb::Table& d = dept.t();
  const size_t width = Width(d, "CODIGO");
  Check(d.SetOrder(kHeader.tag), d, "SET ORDER");
  Check(d.Seek(xb::Value::Char(negocio + PadRight(new_code, width))), d, "SEEK");
  if (d.Found()) return xb::Status::Exists("El código digitado para el departamento nuevo, ya existe ");
  Check(d.Seek(xb::Value::Char(negocio + PadRight(source, width))), d, "SEEK");
  if (!d.Found()) return xb::Status::NotFound("Falta seleccionar departamento(s) para Procesar ");
  const std::vector<xb::Value> header = RowValues(d);
  tally.Start(kHeader.table);
  AppendRow(dept.w(), header, "CODIGO", new_code, "DESCRIP", descrip);
  tally.Row();
  for (const Naming& n : kLayout) {
    Opened o(n.table);
    // Every row is read before the first copy goes in, so a copy is never
    // met again by the walk.
    std::vector<std::vector<xb::Value>> rows;
    ForEachNaming(o, n, negocio, source, [&](uint32_t recno) {
      Check(o.t().GoTo(recno), o.t(), "GOTO");
      rows.push_back(RowValues(o.t()));
    });
    tally.Start(n.table);
    for (const auto& r : rows) {
      AppendRow(o.w(), r, n.field, new_code);
      tally.Row();
    }
  }
  return tally.rows();
}

std::string FaultTable(const Fault& f) {
  std::string name = xb::BaseName(f.info().filename);
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return name;
}

}  // namespace qz

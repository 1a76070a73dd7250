#include "payroll/actions/eval_tests.h"

#include "lib/errors/fault.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/detail_rows.h"
#include "payroll/form_fields.h"
#include "payroll/lookup_lists.h"

namespace qz {
namespace {

const char* const kCopied[] = {"PRUEBA", "DESCRIP", "NOTA_INI", "NOTA_FIN", "OBLIGA"};

// The scratch copy is private: a failure to write it is a fault of the disk.
void Must(const xb::Status& st, const xb::Table& t, const char* op) {
  if (!st.ok()) ThrowFault(kGenWrite, st.message(), t.path(), op);
}

void Copy(const xb::Table& from, xb::Table& to) {
  for (const char* f : kCopied) {
    auto v = from.Get(f);
    if (v.ok()) Must(to.Put(f, *v), to, "REPLACE");
  }
}

}  // namespace

void EvalTests::Load(const std::string& business, const std::string& profile) {
  TablePtr det = OpenTable(nullptr, "PERF_EV2");
  if (!det) return;
  xb::Table& d = det->table();
  xb::Table& t = table();
  std::optional<xb::Value> scope = xb::Value::Char(business + profile);
  if (d.SetOrder("PERF_EV2").ok() && d.SetScope(scope, scope).ok()) {
    for (d.GoTop(); !d.Eof(); d.Skip(1)) {
      Must(t.Append(), t, "APPEND");
      Copy(d, t);
      Must(t.Put("POS", xb::Value::Number(d.RecNo())), t, "REPLACE");
    }
  }
  CloseTable(det);
  t.GoTop();
}

void EvalTests::Save(const std::string& business, const std::string& old_code,
                     const std::string& new_code) {
  TablePtr det = OpenTable(nullptr, "PERF_EV2");
  if (!det) return;
  DeleteDetailRows(*det, "PERF_EV2", business + old_code);
  if (new_code != old_code) DeleteDetailRows(*det, "PERF_EV2", business + new_code);
  xb::Table& t = table();
  xb::Table& d = det->table();
  for (t.GoTop(); !t.Eof(); t.Skip(1)) {
    if (!AddNewRec(*det)) break;  // told by the data layer; the transaction takes it back
    d.Put("NEGOCIO", xb::Value::Char(business));
    d.Put("PERFIL", xb::Value::Char(new_code));
    Copy(t, d);
    UnlockForModify(*det);
  }
  CloseTable(det);
}

int EvalTests::Count() const {
  xb::Table& t = table();
  int n = 0;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) ++n;
  return n;
}

void EvalTests::Remove(uint32_t recno) {
  xb::Table& t = table();
  if (recno == 0 || !t.GoTo(recno).ok() || t.Eof()) return;
  Must(t.Delete(), t, "DELETE");
}

bool EvalTests::Acceptable(WDIAG& dlg, uint32_t recno) {
  auto refuse = [&dlg](const std::string& message, int id) {
    MESSAGE_BOX(message, "Error", kMbIconStop);
    dlg.SetFocus(id);
    return false;
  };
  std::optional<std::string> test = CCOMBOBOX(dlg, kPrueba).CURCARGO();
  if (!test) return refuse(kNoTest, kPrueba);
  for (int id : {kNotaIni, kNotaFin})
    if (!ParseNumber(dlg.Text(id))) return refuse(NotANumberMessage(dlg.Text(id)), id);
  if (*ParseNumber(dlg.Text(kNotaIni)) > *ParseNumber(dlg.Text(kNotaFin)))
    return refuse(kRangeReversed, kNotaIni);
  // One row per test: a test counted twice would weigh double.
  xb::Table& t = table();
  const std::string code = ToField(*test, FieldWidth(t, "PRUEBA"));
  if (t.Seek(xb::Value::Char(code)).ok() && t.Found() && t.RecNo() != recno)
    return refuse(kTestTwice, kPrueba);
  return true;
}

void EvalTests::Write(WDIAG& dlg, uint32_t recno) {
  xb::Table& t = table();
  if (recno == 0) {
    Must(t.Append(), t, "APPEND");
  } else {
    t.GoTo(recno);
  }
  CCOMBOBOX combo(dlg, kPrueba);
  Must(t.Put("PRUEBA", xb::Value::Char(ToField(*combo.CURCARGO(), FieldWidth(t, "PRUEBA")))), t,
       "REPLACE");
  Must(t.Put("DESCRIP", xb::Value::Char(ToField(dlg.Text(kPrueba), FieldWidth(t, "DESCRIP")))), t,
       "REPLACE");
  for (auto [id, field] : {std::pair{kNotaIni, "NOTA_INI"}, std::pair{kNotaFin, "NOTA_FIN"}})
    Must(t.Put(field, xb::Value::Number(ParseNumber(dlg.Text(id)).value_or(0))), t, "REPLACE");
  Must(t.Put("OBLIGA", xb::Value::Number(dlg.Check(kObliga) ? 1 : 0)), t, "REPLACE");
}

bool EvalTests::Edit(WDIAG& owner, const std::string& business, uint32_t recno) {
  bool changed = false;
  DIALOG_BOX(owner.desktop(), "E_PER_E2", &owner, [&](WDIAG& dlg, int msg, int64_t w, int64_t) {
    if (msg == kWmInitDialog) {
      FillLookup(dlg, kPrueba, LookupSource("TIP_PRUE", "TIP_PRUE", business));
      xb::Table& t = table();
      if (recno != 0 && t.GoTo(recno).ok() && !t.Eof()) {
        CCOMBOBOX(dlg, kPrueba).SEEKCARGO(FieldText(t, "PRUEBA"));
        dlg.SetText(kNotaIni, NumberText(NumberField(t, "NOTA_INI"), "999.99"));
        dlg.SetText(kNotaFin, NumberText(NumberField(t, "NOTA_FIN"), "999.99"));
        dlg.SetCheck(kObliga, NumberField(t, "OBLIGA") == 1 ? 1 : 0);
      } else {
        dlg.SetText(kNotaIni, "0.00");
        dlg.SetText(kNotaFin, "100.00");
      }
      dlg.SetFocus(kPrueba);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == 2) dlg.ENDDIALOG(2);
    if (w == 1 && Acceptable(dlg, recno)) {
      Write(dlg, recno);
      changed = true;
      dlg.ENDDIALOG(1);
    }
    return 1;
  });
  return changed;
}

}  // namespace qz

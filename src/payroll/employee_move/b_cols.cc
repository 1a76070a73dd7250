#include "payroll/employee_move/b_cols.h"

#include <memory>

#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/browse.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

void PutText(xb::Table& t, const char* field, const std::string& bytes) {
  (void)t.Put(field, xb::Value::Char(bytes));
}

void Write(xb::Table& t, const ColumnMapping& m) {
  PutText(t, "COLUMN_1", m.source);
  PutText(t, "DESCRIP1", m.source_descrip);
  PutText(t, "COLUMN_2", m.target);
  PutText(t, "DESCRIP2", m.target_descrip);
  PutText(t, "NOTA", m.note);
}

ColumnMapping Read(const xb::Table& t) {
  return {FieldBytes(t, "COLUMN_1"), FieldBytes(t, "DESCRIP1"), FieldBytes(t, "COLUMN_2"), FieldBytes(t, "DESCRIP2"),
          TrimRight(FieldBytes(t, "NOTA"))};
}

std::vector<ColumnMapping> ReadAll(xb::Table& t) {
  std::vector<ColumnMapping> out;
  (void)t.SetOrder("TMP_1");
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) out.push_back(Read(t));
  return out;
}

std::string CodeList(const std::vector<std::string>& codes) {
  std::string out;
  for (const std::string& c : codes) out += (out.empty() ? "" : ", ") + Trim(c);
  return out;
}

}  // namespace

std::string B_COLS::DropQuestion(const std::vector<std::string>& dropped) {
  return "Las columnas " + CodeList(dropped) +
         " no tienen columna destino en el departamento escogido: sus valores se eliminarán "
         "de los empleados trasladados.\r\n¿Desea Continuar?";
}

std::string B_COLS::SharedText(const std::string& target) {
  return "La columna destino " + Trim(target) +
         " está asignada a más de una columna fuente";
}

bool B_COLS::Run(WDIAG* owner, const MoveColumns& columns, std::vector<ColumnMapping>& map) {
  // The scratch table is this dialog's own copy: no other user to wait for.
  TablePtr scratch = USE(nullptr, "T_COLS.DBF", "TMP_1");
  xb::Table& t = scratch->table();
  for (const ColumnMapping& m : map) {
    if (!t.Append().ok()) continue;
    Write(t, m);
    (void)t.WriteBack();
    (void)t.UnlockRecord(t.RecNo());
  }
  std::unique_ptr<WBLISTBOX> grid;
  const int result = DIALOG_BOX(owner->desktop(), kTemplate, owner,
                                [&](WDIAG& d, int msg, int64_t wp, int64_t) {
    if (msg == kWmInitDialog) {
      grid = std::make_unique<WBLISTBOX>(d, kGrid, &t);
      d.OnNCDestroy = [&grid] { grid.reset(); };
      WBLISTBOX& g = *grid;
      g.SHOWNUMBERS = false;
      g.AddColumn("Fuente", "COLUMN_1", "XX");
      g.AddColumn("Descripción", "DESCRIP1", std::string(40, 'X'));
      g.AddColumn("Destino", "COLUMN_2", "!!");
      g.AddColumn("Descripción", "DESCRIP2", std::string(40, 'X'));
      g.AddColumn("Observación", "NOTA", std::string(50, 'X'));
      g.SetEditable(kDestinoColumn, [&](const std::string& text) {
        if (t.Eof() || !t.LockRecord().ok()) return false;
        ColumnMapping m = Read(t);
        columns.Retarget(m, CodeField(text, "!!", 2));
        Write(t, m);
        (void)t.WriteBack();
        (void)t.UnlockRecord(t.RecNo());
        return true;
      });
      (void)g.BROWMARKS({{1, "TMP_1"}}, 1, "");
      d.SetFocus(kGrid);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wp == 2) {
      d.ENDDIALOG(2);
      return 1;
    }
    if (wp != 1) return 0;
    std::vector<ColumnMapping> edited = ReadAll(t);
    const std::string shared = SharedTarget(columns, edited);
    if (!shared.empty()) {
      MESSAGE_BOX(SharedText(shared), "Error", kMbIconStop);
      return 1;
    }
    const std::vector<std::string> dropped = DroppedColumns(columns, edited);
    if (!dropped.empty() &&
        MESSAGE_BOX(DropQuestion(dropped), "Advertencia", kMbOkCancel | kMbIconQuestion) != 1)
      return 1;  // back to the mapping, nothing lost
    map = std::move(edited);
    d.ENDDIALOG(1);
    return 1;
  });
  grid.reset();
  KILLTABLA(scratch);
  return result == 1;
}

}  // namespace qz

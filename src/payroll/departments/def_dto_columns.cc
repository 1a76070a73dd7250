// The department editor's column sections: choosing columns, their order,
// column sets and a set's members.
#include <cstdlib>

#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "payroll/departments/def_dto.h"

namespace qz {

using namespace def_dto;

namespace {
// Cargo of an order entry: "C" + row number, or "S" + set code.
std::string ColumnCargo(int row) {
  return "C" + std::to_string(row);
}
std::string SetCargo(const std::string& code) {
  return "S" + code;
}
}  // namespace

int DEF_DTO::SelectedIndex(int id) const {
  const ControlState* c = Control(id);
  if (!c) return -1;
  for (size_t i = 0; i < c->entries.size(); ++i)
    if (c->entries[i].selected) return static_cast<int>(i);
  return -1;
}

std::string DEF_DTO::SelectedCargo(int id) const {
  const int i = SelectedIndex(id);
  return i < 0 ? std::string() : Control(id)->entries[i].cargo;
}

void DEF_DTO::SelectOnly(int id, int index) {
  const ControlState* c = Control(id);
  if (!c) return;
  for (size_t i = 0; i < c->entries.size(); ++i)
    SetSelected(id, static_cast<int>(i), static_cast<int>(i) == index);
}

std::string DEF_DTO::TypeDescrip(const std::string& column) const {
  for (const auto& t : types_)
    if (t.code == column) return t.descrip;
  return TrimRight(column);
}

bool DEF_DTO::IsSeparator(const std::string& column) const {
  for (const auto& t : types_)
    if (t.code == column) return t.separator;
  return false;
}

void DEF_DTO::ShowSection(int s) {
  const int b = kSectionBase[s];
  const dept::Section& sec = scratch_.layout.section(s);
  const std::string keep_col = SelectedCargo(b + kColumnas), keep_ord = SelectedCargo(b + kOrden);
  // The columns as they print: a set's members at the set's place.
  ClearEntries(b + kColumnas);
  for (const dept::LayoutColumn* c : scratch_.layout.PrintOrder(s))
    AddEntry(b + kColumnas, TypeDescrip(c->column) + (c->set.empty() ? "" : " * "),
             ColumnCargo(c->row));
  ClearEntries(b + kOrden);
  for (const auto& item : sec.order) {
    if (item.is_set) {
      const dept::ColumnSet* set = scratch_.layout.FindSet(s, item.set);
      AddEntry(b + kOrden, "|" + (set ? set->descrip : TrimRight(item.set)), SetCargo(item.set));
    } else {
      const dept::LayoutColumn* c = scratch_.layout.FindRow(item.row);
      AddEntry(b + kOrden, c ? TypeDescrip(c->column) : "", ColumnCargo(item.row));
    }
  }
  auto reselect = [&](int id, const std::string& cargo) {
    const ControlState* c = Control(id);
    for (size_t i = 0; c && !cargo.empty() && i < c->entries.size(); ++i)
      if (c->entries[i].cargo == cargo) SetSelected(id, static_cast<int>(i), true);
  };
  reselect(b + kColumnas, keep_col);
  reselect(b + kOrden, keep_ord);
  ShowDetail(s);
  ShowLinks();
}

void DEF_DTO::ShowSets(int s, const std::string& select) {
  const int id = kSectionBase[s] + kConjuntos;
  const auto& sets = scratch_.layout.section(s).sets;
  std::string keep = select.empty() ? SelectedCargo(id) : SetCargo(select);
  // With none chosen the first set is, so its members show at once.
  if (keep.empty() && !sets.empty()) keep = SetCargo(sets.front().code);
  ClearEntries(id);
  for (const auto& set : sets) {
    AddEntry(id, set.code + "  " + set.descrip + "  " + set.total, SetCargo(set.code));
    if (SetCargo(set.code) == keep) SetSelected(id, static_cast<int>(Control(id)->entries.size()) - 1, true);
  }
  ShowDetail(s);
}

void DEF_DTO::ShowDetail(int s) {
  const int b = kSectionBase[s];
  ClearEntries(b + kDetalle);
  const std::string cargo = SelectedCargo(b + kConjuntos);
  if (cargo.empty()) return;
  for (const auto* c : scratch_.layout.Members(s, cargo.substr(1)))
    AddEntry(b + kDetalle, TypeDescrip(c->column), ColumnCargo(c->row));
}

void DEF_DTO::Incluir(int s) {
  const std::string column = SelectedCargo(kSectionBase[s] + kDisponibles);
  if (column.empty()) return;
  if (!scratch_.layout.Insert(s, column, IsSeparator(column))) {
    MESSAGE_BOX(kAlreadyIncluded, "Error", kMbIconStop);
    return;
  }
  ShowSection(s);
}

void DEF_DTO::Excluir(int s) {
  const std::string cargo = SelectedCargo(kSectionBase[s] + kColumnas);
  if (cargo.empty()) return;
  scratch_.layout.Remove(s, std::atoi(cargo.c_str() + 1));
  ShowSection(s);
}

void DEF_DTO::Up(int s) {
  const int id = kSectionBase[s] + kOrden;
  const int i = SelectedIndex(id);
  if (i < 0) return;
  const int to = scratch_.layout.MoveUp(s, i);
  ShowSection(s);
  SelectOnly(id, to);
}

void DEF_DTO::Down(int s) {
  const int id = kSectionBase[s] + kOrden;
  const int i = SelectedIndex(id);
  if (i < 0) return;
  const int to = scratch_.layout.MoveDown(s, i);
  ShowSection(s);
  SelectOnly(id, to);
}

bool DEF_DTO::SetDialog(dept::ColumnSet& set) {
  bool accepted = false;
  DIALOG_BOX(desktop(), "E_CONJUNTO", this, [&](WDIAG& d, int msg, int64_t w, int64_t) {
    if (msg == kWmInitDialog) {
      d.SetText(500, set.total);
      d.SetText(501, set.descrip);
      d.SetText(502, set.picture);
      d.SetFocus(500);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == 1) {
      set.total = TrimRight(d.Text(500));
      set.descrip = TrimRight(d.Text(501));
      set.picture = TrimRight(d.Text(502));
      accepted = true;
      d.ENDDIALOG(1);
    } else if (w == 2) {
      d.ENDDIALOG(2);
    }
    return 1;
  });
  return accepted;
}

void DEF_DTO::SetAdd(int s) {
  dept::ColumnSet set;
  set.picture = "999,999,999.99";
  if (!SetDialog(set)) return;
  const std::string code = scratch_.layout.AddSet(s, set.descrip, set.picture, set.total);
  ShowSection(s);
  ShowSets(s, code);
}

void DEF_DTO::SetDelete(int s) {
  const std::string cargo = SelectedCargo(kSectionBase[s] + kConjuntos);
  if (cargo.empty()) return;
  scratch_.layout.DeleteSet(s, cargo.substr(1));
  ShowSection(s);
  ShowSets(s, "");
}

void DEF_DTO::SetModify(int s) {
  const std::string cargo = SelectedCargo(kSectionBase[s] + kConjuntos);
  dept::ColumnSet* set = cargo.empty() ? nullptr : scratch_.layout.FindSet(s, cargo.substr(1));
  if (!set) return;
  dept::ColumnSet edited = *set;
  if (!SetDialog(edited)) return;
  set->descrip = edited.descrip;
  set->picture = edited.picture;
  set->total = edited.total;
  ShowSection(s);
  ShowSets(s, set->code);
}

void DEF_DTO::IntoSet(int s) {
  const int b = kSectionBase[s];
  const std::string set = SelectedCargo(b + kConjuntos);
  const std::string column = SelectedCargo(b + kColumnas);
  if (set.empty() || column.empty()) return;
  scratch_.layout.IntoSet(s, std::atoi(column.c_str() + 1), set.substr(1));
  ShowSection(s);
}

void DEF_DTO::OutOfSet(int s) {
  const std::string column = SelectedCargo(kSectionBase[s] + kDetalle);
  if (column.empty()) return;
  scratch_.layout.OutOfSet(s, std::atoi(column.c_str() + 1));
  ShowSection(s);
}

}  // namespace qz

// The bracket rows of a composite item (ED_TIP2, "Definición de Detalle",
// template "DEF_TIP3"): a grid over the column-type window's scratch table,
// edited in place (a row can be inserted before the current one or removed;
// one blank row always closes the list), the table kind, the pay weekday,
// the percentage subtracted first and the base column. "Aceptar" hands the
// four settings back to ED_TIP (the rows are already in the scratch table);
// "Cancelar" puts the rows back as they were.
// While it is open the column-type window is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"
#include "payroll/bracket_scratch.h"

namespace qz {

class ED_TIP;

class ED_TIP2 : public WDIAG {
 public:
  static constexpr int kCostaRica = 221, kNicaragua = 222, kValoresAbsolutos = 223;
  static constexpr int kDiaPago = 606, kColumnaBase = 607, kRestaComp = 550;
  static constexpr int kInsertar = 231, kBorrar = 232;
  static constexpr int kGrid = 700;

  ED_TIP2(ED_TIP& parent, const std::string& template_name);
  ~ED_TIP2() override;

  bool Init();
  void Aceptar();
  void Terminar(int result);
  void CerrarBases();
  // The column-type window closes first: the scratch table goes with it.
  void Orphan();

  // Insert: a blank row before the selected one. Delete: the selected row.
  void InsertRow();
  void DeleteRow();
  WBLISTBOX* oB() const { return grid_.get(); }

 private:
  bool Open();
  void FillCombos();
  void ApplyRules();
  int TableKind() const;
  bool EditAmount(const std::string& field, const std::string& text);
  void Reshow(uint32_t select);

  ED_TIP* parent_;
  std::unique_ptr<WBLISTBOX> grid_;
  std::unique_ptr<CCOMBOBOX> oDia_, oBase_;
  BracketScratch::Snapshot opened_;  // the rows as they were when it opened
  bool parent_disabled_ = false;
};

}  // namespace qz

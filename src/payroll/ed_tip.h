// The column-type window (ED_TIP, template "DEF_TIP2"): code, description
// and kind above five pages ("Características", "Captura de Datos",
// "Planilla y Comprob.", "Reportes", "Factores"). The kind decides which
// value, factor and print controls apply; a composite item keeps its bracket
// rows in a private scratch table while the window is open, edited in the
// detail window ED_TIP2. While it is open the catalog window is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"
#include "payroll/bracket_scratch.h"
#include "payroll/ed_tip_fields.h"

namespace qz {

class DEF_TIP;
class ED_TIP2;

// What the detail window sets for a composite item.
struct BracketTable {
  int tipo_tabla = 1;     // 1 "Costa Rica", 2 "Nicaragua", 3 "Tabla con Valores Absolutos"
  int dia_tabla = 0;      // table kind 2: pay weekday 1..7
  double resta_comp = 0;  // percentage subtracted from the base first
  std::string col_base;   // table kind 3: base column (UTF-8 code)
};

class ED_TIP : public WDIAG {
 public:
  static constexpr const char* kNinguna = "Ninguna";
  static constexpr const char* kNinguno = "Ninguno";
  static constexpr const char* kRecalcQuestion =
      "Los montos en las planillas se van a actualizar\r\n¿Desea Continuar?";
  static constexpr const char* kRecalcWait = "Recalculando campos ......";

  // `mode` 0 = add, 1 = modify record `recno` of the catalog's table.
  ED_TIP(DEF_TIP& parent, const std::string& template_name, int mode, uint32_t recno,
         const std::string& business);
  ~ED_TIP() override;

  // Disables the catalog, opens the lookups and the scratch table, shows
  // the window and loads it. False when it cannot open (the catalog is
  // enabled again).
  bool Init();
  void PROCESAR();
  void Terminar(int result);
  void CerrarBases();

  // The user picks kind 1..4 (clears the bracket rows when it changes).
  void ChooseKind(int kind);
  int kind() const { return kind_; }
  // "Detalle": the bracket rows of a composite item.
  void OpenDetail();
  // The detail window tells it is gone.
  void DetailClosed() { detail_ = nullptr; }
  const BracketTable& bracket_table() const { return table_; }
  void SetBracketTable(const BracketTable& t) { table_ = t; }
  BracketScratch* scratch() { return scratch_.get(); }
  const std::string& business() const { return negocio_; }

 private:
  bool Open();
  bool AbrirBases();
  void FillCombos();
  void LoadRow();
  void LoadDefaults();
  // Enables each control by the kind and by its enabling box.
  void ApplyRules();
  void FactorToggled();
  // Refuses what cannot be saved, telling the user; true when it can be.
  bool Valid();
  void WriteFields(const std::string& code);
  // Whether the employees' hourly-cost factors must follow this save: the
  // factors of this column (its multiplier changed, or it is new or newly
  // dependent), or of every dependent column (the base salary's make-up
  // changed).
  enum class Recalc { kNone, kThisColumn, kDependents };
  Recalc RecalcNeeded() const;
  // "" = every dependent column.
  void RecalcFactors(const std::string& column_type);
  double Number(int id) const;
  void SetNumber(int id, double n, const std::string& picture);

  DEF_TIP& parent_;
  std::string negocio_;
  int tipo_;
  uint32_t recno_;
  TablePtr monedas_, conceptd_, grp_cmp_, tmp_tip_;
  std::unique_ptr<BracketScratch> scratch_;
  std::unique_ptr<CCOMBOBOX> oMoneda_, oConcepto_, oMonedaInfo_, oGrupo_, oGrupo2_;
  ED_TIP2* detail_ = nullptr;
  int kind_ = 0;
  BracketTable table_;
  // The row as loaded (modify): its code and what decides the recalculation.
  std::string codigo_;  // table bytes, padded
  double valor3_ = 0;
  bool val_base_ = false, val_depend_ = false;
  bool parent_disabled_ = false;
};

}  // namespace qz

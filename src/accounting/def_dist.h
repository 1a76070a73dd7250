// Distribution tables (DEF_DIST, list "Tablas de Centros de Costos", editor
// "Tabla de Dist. Centros de Costos"): a 4-character code, a description and
// the lines that split an employee's cost over several centres. The lines
// are edited in the editor through "Asignar Centro de costo" (one centre
// once, with its percentage) and "Quitar Centro de costo". Saving writes the
// table, its lines, a new code into every employee that uses it, and the
// added and removed centres into those employees' column splits, all in one
// transaction.
#pragma once

#include <string>
#include <vector>

#include "accounting/dist_lines.h"
#include "lib/data/use.h"
#include "payroll/record_editor.h"

namespace qz {

class E_DIST : public RecordEditor {
 public:
  static constexpr int kLines = 600, kAsignar = 3, kQuitar = 4;
  // The "Asignar Centro de costo" form.
  static constexpr int kCentro = 601, kPorcentaje = 502;
  static constexpr const char* kNoCentre = "Falta seleccionar el centro de costo";
  static constexpr const char* kCentreTwice =
      "No es permitido duplicar centros de costos.\r\n"
      "El código de centros de costo seleccionado ya existe";

  E_DIST(CatalogScreen& parent, int mode);
  ~E_DIST() override;

  void PROCESAR() override;
  // "Asignar Centro de costo": the form; then AddLine with its choice.
  void Asignar();
  // Adds a line (centre as stored); false, after telling the user, for no
  // centre or one already in the table.
  bool AddLine(const std::string& centre, double percent);
  // "Quitar Centro de costo": takes the selected lines out.
  void Quitar();
  const std::vector<DistLine>& lines() const { return lines_; }

 protected:
  bool AbrirBases() override;
  void CloseOwnTables() override;
  void BuildControls() override;
  void LoadRow(const xb::Table& t) override;

 private:
  void ShowLines();
  std::string CentreName(const std::string& centre) const;
  int AssignDialog(WDIAG& dlg, int msg, int64_t wparam);

  TablePtr c_costos_;
  std::vector<DistLine> lines_;
};

class DEF_DIST : public EditedCatalog<E_DIST> {
 public:
  static constexpr int kMenuId = 3501;
  DEF_DIST(Desktop& desktop, const std::string& template_name, const std::string& business);
};

}  // namespace qz

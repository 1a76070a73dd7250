// The report-format editor (CREP_COL, template "CREP_COL"): the format's
// texts and print options, and its fields: the available list (column
// types, totals, provisions) and the report list, moved between with "-->"
// and "<--" and ordered with "Up" and "Down". Saving writes one DET_REPP row
// per report field in list order: rows of fields that stay are rewritten,
// rows of fields that left the list are deleted, new fields are appended.
#pragma once

#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/catalog_edit_window.h"
#include "payroll/report_fields.h"

namespace qz {

class CREP_COL : public CatalogEditWindow {
 public:
  static constexpr int kCodigo = 500, kDescrip = 501, kComentario = 502, kPie = 503;
  static constexpr int kMaxCol = 504, kHeader1 = 505;  // 505..507
  static constexpr int kLetraPequena = 510, kLetraMuyPequena = 511;
  static constexpr int kFirstImp = 520;  // 15 check boxes, IMP_COD .. IMP_F_FIN
  static constexpr int kExpVac = 535, kAcumulado = 540, kValor = 541;
  static constexpr int kDisponibles = 600, kReporte = 601;
  static constexpr int kAgregar = 610, kQuitar = 611, kSubir = 612, kBajar = 613;
  static constexpr int kTotalPicture = 800, kTotalRotulo = 810;  // + total 1..5

  CREP_COL(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

  // The list moves.
  void Agregar();  // "-->": the selected available fields to the end of the report
  void Quitar();   // "<--": the selected report fields back to the available list
  void Subir();    // "Up"
  void Bajar();    // "Down"
  // The report fields' keys in order.
  std::vector<std::string> ReportKeys() const;

 protected:
  bool AbrirLookups() override;
  void CerrarLookups() override;
  void Register() override;
  void Fill() override;
  void LoadNew() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;
  void WriteDetails(const std::string& code) override;

 private:
  // The available list again: every field not in the report, in catalog
  // order; `select` are selected.
  void RebuildAvailable(const std::vector<std::string>& select);
  void MoveSelected(int step);

  TablePtr enc_tip_, t_prov_;
  std::vector<ReportField> all_;
};

}  // namespace qz

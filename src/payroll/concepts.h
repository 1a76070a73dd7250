// Debt concepts: the concepts of payments on debts (CONCEPTD, edited in
// E_CONCD, "E_CONCEPTD") and the transaction concepts (CONCEPTT, edited in
// E_CONCT, "E_CONCEPTT"). Each has the serial that numbers its documents and
// its sign(s), chosen with "+"/"-" radio pairs stored as 1/0. A changed code
// is carried into the debt movements and column types (payment concepts)
// or the debt transactions (transaction concepts).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "payroll/record_editor.h"

namespace qz {

// The form both concept editors share: code, description, serial, and
// radio pairs ("+" id, "-" id) for 1/0 fields.
class ConceptEditor : public RecordEditor {
 public:
  static constexpr int kSerial = 601;
  struct Sign {
    const char* field;
    int plus, minus;
  };
  ConceptEditor(CatalogScreen& parent, const std::string& template_name, int mode,
                std::vector<Sign> signs)
      : RecordEditor(parent, template_name, mode), signs_(std::move(signs)) {}

 protected:
  void BuildControls() override;
  void Fill() override;
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override;
  void WriteFields(xb::Table& t) override;

 private:
  std::vector<Sign> signs_;
  std::unique_ptr<CCOMBOBOX> oSerial_;
};

class E_CONCD : public ConceptEditor {
 public:
  static constexpr int kAfectaMas = 510, kAfectaMenos = 511, kAplicaMas = 512, kAplicaMenos = 513;
  E_CONCD(CatalogScreen& parent, int mode)
      : ConceptEditor(parent, "E_CONCEPTD", mode,
                      {{"AFECTA", kAfectaMas, kAfectaMenos}, {"APLICA", kAplicaMas, kAplicaMenos}}) {}
};

class E_CONCT : public ConceptEditor {
 public:
  static constexpr int kTipoMas = 510, kTipoMenos = 511;
  E_CONCT(CatalogScreen& parent, int mode)
      : ConceptEditor(parent, "E_CONCEPTT", mode, {{"TIPO", kTipoMas, kTipoMenos}}) {}
};

class CONCEPTD : public EditedCatalog<E_CONCD> {
 public:
  static constexpr int kMenuId = 2666;
  CONCEPTD(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

class CONCEPTT : public EditedCatalog<E_CONCT> {
 public:
  static constexpr int kMenuId = 2702;
  CONCEPTT(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

}  // namespace qz

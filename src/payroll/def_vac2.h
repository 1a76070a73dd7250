// The days a vacation type grants (DEF_VAC2, window "DEF_VAC2"), opened by
// "Asignar Días" of the vacation types: the DET_VAC rows of the business and
// the type, one per number of months of service from which it applies, with
// the days per month and per year. Edited in MNT_VAC2. While it is open the
// vacation types window is disabled, so the type cannot change under it.
#pragma once

#include <string>

#include "payroll/record_editor.h"

namespace qz {

class MNT_VAC2 : public RecordEditor {
 public:
  static constexpr int kMes = 502, kDiaMes = 503, kDiaAnho = 504;
  static constexpr const char* kBlankFields = "No pueden definirse campos en blanco";
  static constexpr const char* kMonthTaken = "Ya están definidos los días para esos meses de inicio";
  MNT_VAC2(CatalogScreen& parent, int mode) : RecordEditor(parent, "MNT_VAC2", mode) {}

  void PROCESAR() override;

 protected:
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override;

 private:
  bool MonthTaken(double months);
};

class DEF_VAC2 : public EditedCatalog<MNT_VAC2> {
 public:
  static constexpr int kMenuId = 3941;
  // The days of `type` (code as stored) of `owner`'s business; the owner is
  // disabled until this window closes. Null when it could not open.
  static DEF_VAC2* Open(CatalogScreen& owner, const std::string& type, const std::string& descrip);

  DEF_VAC2(CatalogScreen& owner, const std::string& type);
  ~DEF_VAC2() override;
  static CatalogSetup Setup();

  void ConfigBrow() override;
  void CerrarBases() override;
  const std::string& type() const { return type_; }

 private:
  void ReleaseOwner();
  CatalogScreen& owner_;
  std::string type_;
  bool owner_disabled_ = false;
};

}  // namespace qz

// Evaluation profiles (PERF_EVA, window "PERF_EVA", table PERF_EVA) and
// their edit window E_PER_EV: the seniority, hours and tests criteria, the
// minimum mark and the raise, and the profile's tests (PERF_EV2) edited in a
// scratch copy and written back with the profile, all or nothing. A changed
// code reaches the tests and the positions that use the profile.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/actions/eval_tests.h"
#include "payroll/record_editor.h"

namespace qz {

class E_PER_EV : public RecordEditor {
 public:
  static constexpr int kAntIni = 510, kAntFinal = 511, kAntNota = 512, kObliAnt = 513,
                       kPerAnt = 514;
  static constexpr int kHorIni = 520, kHorFinal = 521, kHorNota = 522, kObliHor = 523,
                       kPerHor = 524, kHorDeta = 525;
  static constexpr int kPrueNota = 530, kObliPrue = 531, kPerPrue = 532;
  static constexpr int kNotaMini = 540, kAumento = 541, kMinPReg = 542, kMinOReg = 543;
  static constexpr int kSegunMinima = 550, kSegunCada = 551;
  static constexpr int kGrid = 700, kAgregar = 101, kModificar = 102, kBorrar = 103;

  E_PER_EV(CatalogScreen& parent, int mode) : RecordEditor(parent, "E_PER_EV", mode) {}
  ~E_PER_EV() override;
  void PROCESAR() override;

  EvalTests* tests() const { return tests_.get(); }
  WBLISTBOX* grid() const { return grid_.get(); }

 protected:
  bool AbrirBases() override;
  void CloseOwnTables() override;
  void BuildControls() override;
  void Fill() override;
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override;
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;
  void AfterSave(const std::string& code) override;

 private:
  void EditTest(bool add);
  void RemoveTest();
  TablePtr tmp_ev_;
  std::unique_ptr<EvalTests> tests_;
  std::unique_ptr<WBLISTBOX> grid_;
};

class PERF_EVA : public EditedCatalog<E_PER_EV> {
 public:
  static constexpr int kMenuId = 6473;
  PERF_EVA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
  void Delete() override;
};

}  // namespace qz

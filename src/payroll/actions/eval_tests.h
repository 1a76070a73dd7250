// The tests of an evaluation profile while its window is open: a private
// scratch copy (TMP_EV) the user edits freely through E_PER_E2 ("Tipo de
// Prueba"), written back into PERF_EV2 only when the profile is saved.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/wdiag.h"

namespace qz {

class EvalTests {
 public:
  static constexpr int kPrueba = 601, kNotaIni = 602, kNotaFin = 603, kObliga = 604;
  static constexpr const char* kNoTest = "Debe seleccionar una prueba";
  static constexpr const char* kTestTwice = "Esta prueba ya está incluida en el perfil";
  static constexpr const char* kRangeReversed =
      "La nota inicial no puede ser mayor que la nota final";

  // `scratch` is the private TMP_EV copy (empty), on its tag TMP_EV.
  explicit EvalTests(WDBTable* scratch) : t_(scratch) {}

  // Copies the PERF_EV2 rows of `business` + `profile` (table bytes).
  void Load(const std::string& business, const std::string& profile);
  // Replaces the PERF_EV2 rows of the profile loaded as `old_code`, now
  // `new_code` (table bytes), with the scratch rows; rows another profile
  // left under the new code go too. Runs inside the caller's transaction.
  void Save(const std::string& business, const std::string& old_code, const std::string& new_code);
  int Count() const;

  // E_PER_E2 over `owner`: a new test (recno 0) or the scratch row `recno`.
  // True when the scratch changed.
  bool Edit(WDIAG& owner, const std::string& business, uint32_t recno);
  void Remove(uint32_t recno);

  xb::Table& table() const { return t_->table(); }

 private:
  // Checks the dialog's values; false after telling the user.
  bool Acceptable(WDIAG& dlg, uint32_t recno);
  void Write(WDIAG& dlg, uint32_t recno);
  WDBTable* t_;
};

}  // namespace qz

// The department's time-clock options (DEF_DTO3): for each kind of hours the
// time clock records, the column type that receives them and whether it
// applies, plus the holiday and apply-hours switches. Written to the
// department's own row.
#include <array>

#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/wdiag.h"
#include "payroll/departments/department_ops.h"

namespace qz {
namespace {

constexpr int kDepartment = 500, kFirstColumn = 601, kFirstApply = 621;
constexpr int kFeriado = 640, kHorasApli = 641;

struct HoursKind {
  const char* column;  // ENC_DEPT field with the column type
  const char* apply;   // its apply flag
};

constexpr std::array<HoursKind, 9> kKinds = {{{"H_TRABAJA", "TRABA_APLI"},
                                              {"H_NOTRABA", "NOTRA_APLI"},
                                              {"H_EXTRA", "EXTRA_APLI"},
                                              {"H_DOBLES", "DOBLE_APLI"},
                                              {"H_MIX", "MIX_APLI"},
                                              {"H_SENCILLA", "SENC_APLI"},
                                              {"H_SGS", "SGS_APLI"},
                                              {"H_FERIADO", "FER_APLI"},
                                              {"H_NOC", "NOC_APLI"}}};

constexpr const char* kNone = "(Ninguna)";

class TimeClockOptions {
 public:
  TimeClockOptions(WDIAG& dlg, const std::string& negocio, const std::string& codigo)
      : dlg_(dlg), negocio_(PadRight(negocio, 15)), codigo_(codigo) {}
  ~TimeClockOptions() {
    if (dept_) CloseTable(dept_);
  }

  // False when the department is gone (another workstation deleted it).
  bool Load() {
    dept_ = OpenTable(&dlg_, "ENC_DEPT");
    dept_->SetOrder("ENC_DEPT");
    const std::string key = negocio_ + PadRight(codigo_, FieldWidth(dept_->table(), "CODIGO"));
    if (!dept_->Seek(key)) return false;
    recno_ = dept_->RecNo();
    const xb::Table& t = dept_->table();
    dlg_.SetText(kDepartment, "Departamento: " + FieldText(t, "CODIGO") + " - " +
                                  FieldText(t, "DESCRIP"));
    FillColumnTypes();
    for (size_t i = 0; i < kKinds.size(); ++i) {
      CCOMBOBOX combo(dlg_, kFirstColumn + static_cast<int>(i));
      const std::string code = FieldBytes(t, kKinds[i].column);
      if (TrimRight(code).empty()) {
        combo.SEEKCARGO("");
      } else if (!combo.SEEKCARGO(code)) {
        // A column type deleted since: kept as it is unless the user
        // chooses another, so opening and accepting loses nothing.
        combo.ADD(FieldText(t, kKinds[i].column) + " (no definida)", code);
        combo.SEEKCARGO(code);
      }
      dlg_.SetCheck(kFirstApply + static_cast<int>(i), FieldNumber(t, kKinds[i].apply) == 1);
    }
    dlg_.SetCheck(kFeriado, FieldNumber(t, "FERIADO") == 1);
    dlg_.SetCheck(kHorasApli, FieldNumber(t, "HORAS_APLI") == 1);
    return true;
  }

  void Save() {
    dept_->GoTo(recno_);
    if (!LockForModify(*dept_)) return;
    xb::Table& t = dept_->table();
    for (size_t i = 0; i < kKinds.size(); ++i) {
      CCOMBOBOX combo(dlg_, kFirstColumn + static_cast<int>(i));
      const std::string code = combo.CURCARGO().value_or("");
      t.Put(kKinds[i].column, xb::Value::Char(PadRight(code, FieldWidth(t, kKinds[i].column))));
      t.Put(kKinds[i].apply, xb::Value::Number(dlg_.Check(kFirstApply + static_cast<int>(i))));
    }
    t.Put("FERIADO", xb::Value::Number(dlg_.Check(kFeriado)));
    t.Put("HORAS_APLI", xb::Value::Number(dlg_.Check(kHorasApli)));
    UnlockForModify(*dept_);
  }

 private:
  // Every combo lists "(Ninguna)" and the business's column types.
  void FillColumnTypes() {
    TablePtr tipos = OpenTable(&dlg_, "ENC_TIP");
    xb::Table& t = tipos->table();
    const xb::Value scope = xb::Value::Char(negocio_);
    std::vector<std::pair<std::string, std::string>> entries = {{kNone, ""}};
    if (t.SetOrder("ENC_TIP").ok() && t.SetScope(scope, scope).ok()) {
      for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) {
        const std::string code = FieldBytes(t, "CODIGO");
        entries.push_back({FieldText(t, "CODIGO") + " - " + FieldText(t, "DESCRIP"), code});
      }
    }
    CloseTable(tipos);
    for (size_t i = 0; i < kKinds.size(); ++i) {
      CCOMBOBOX combo(dlg_, kFirstColumn + static_cast<int>(i));
      for (const auto& [text, cargo] : entries) combo.ADD(text, cargo);
    }
  }

  WDIAG& dlg_;
  std::string negocio_, codigo_;
  TablePtr dept_;
  uint32_t recno_ = 0;
};

}  // namespace

bool DEF_DTO3(Desktop& desktop, const std::string& negocio, const std::string& codigo,
              WDIAG* owner) {
  bool saved = false;
  std::unique_ptr<TimeClockOptions> options;
  DIALOG_BOX(desktop, "DEF_DEPTO_9", owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      options = std::make_unique<TimeClockOptions>(dlg, negocio, codigo);
      bool found = false;
      RunOperation([&] { found = options->Load(); });
      if (!found) {
        MESSAGE_BOX("El departamento ya no existe", "Error", kMbIconStop);
        dlg.ENDDIALOG(2);
      }
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 1) {
      if (RunOperation([&] { options->Save(); }) == OperationResult::kDone) {
        saved = true;
        dlg.ENDDIALOG(1);
      }
    } else if (wparam == 2) {
      dlg.ENDDIALOG(2);
    }
    return 1;
  });
  options.reset();
  return saved;
}

}  // namespace qz

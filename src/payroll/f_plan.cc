#include "payroll/f_plan.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "payroll/lookup_lists.h"
#include "payroll/param_window.h"

namespace qz {

// Sub-windows (f_plan_windows.cc).
std::unique_ptr<ParamWindow> MakeSubWindow(F_PLAN& screen, int button);
const char* SubWindowTemplate(int button);

namespace {

std::string Pad(const std::string& s, size_t n) {
  std::string out = s;
  out.resize(n, ' ');
  return out;
}

}  // namespace

F_PLAN::F_PLAN(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

F_PLAN::~F_PLAN() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool F_PLAN::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool F_PLAN::AbrirBases() {
  f_plan_ = OpenTable(this, "F_PLAN");
  f_plan7_ = OpenTable(this, "F_PLAN7");
  notice_.rows = OpenTable(this, "TMP_AVS.DBF");
  severance_.rows = OpenTable(this, "TMP_AVS.DBF");
  return f_plan_ && f_plan7_ && notice_.rows && severance_.rows;
}

void F_PLAN::CerrarBases() {
  CloseTable(f_plan_);
  CloseTable(f_plan7_);
  CloseTable(notice_.rows);
  CloseTable(severance_.rows);
}

bool F_PLAN::Open() {
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  OnNCDestroy = [this] { CerrarBases(); };
  ADD(1, [this] { Aceptar(); });
  ADD(2, [this] { Terminar(2); });
  for (int button : {kPreaviso, kConstancia, kCesantia, kPatrono, kLiquidacion, kEmpleados,
                     kAcciones, kAguinaldo})
    ADD(button, [this, button] { OpenSubWindow(button); });
  ADD(kProvTot, [this] { SupplierChosen(kProvTot, kNomProvTot); });
  ADD(kProvEle, [this] { SupplierChosen(kProvEle, kNomProvEle); });
  if (!CREATE().ok()) return false;
  LoadCopies();
  FillMain();
  ShowRecord(*this, MainBindings(), copy_);
  ShowColSeguro();
  SupplierChosen(kProvTot, kNomProvTot);
  SupplierChosen(kProvEle, kNomProvEle);
  return true;
}

void F_PLAN::LoadCopies() {
  xb::Table& plan = f_plan_->table();
  has_plan_ = plan.SetOrder("F_PLAN").ok() && plan.Seek(xb::Value::Char(negocio_)).ok() &&
              plan.Found() && !plan.Eof();
  if (!has_plan_) {
    plan.GoBottom();
    plan.Skip(1);
  }
  copy_ = ReadRecord(plan);
  // A business without parameters starts with the first name format.
  if (!has_plan_) copy_["TIP_NOMBRE"] = xb::Value::Number(1);
  xb::Table& plan7 = f_plan7_->table();
  if (!plan7.SetOrder("F_PLAN7").ok() || !plan7.Seek(xb::Value::Char(negocio_)).ok() ||
      !plan7.Found()) {
    plan7.GoBottom();
    plan7.Skip(1);
  }
  RecordCopy extra = ReadRecord(plan7);
  for (const auto& f : Plan7Fields()) copy_[f] = extra[f];
  loaded_ = copy_;
  CopyScale(notice_);
  CopyScale(severance_);
}

void F_PLAN::CopyScale(ScaleCopy& scale) {
  TablePtr source = OpenTable(this, scale.source);
  xb::Table& from = source->table();
  xb::Table& to = scale.rows->table();
  to.SetOrder("TMP_AVS");
  std::optional<xb::Value> scope = xb::Value::Char(negocio_);
  int orden = 0;
  if (from.SetOrder(scale.source).ok() && from.SetScope(scope, scope).ok()) {
    for (from.GoTop(); !from.Eof(); from.Skip(1)) {
      AddNewRec(*scale.rows);
      to.Put("ORDEN", xb::Value::Number(++orden));
      for (const char* f : {"RANGO_I", "RANGO_F", "DIAS", "CANT_SAL"}) {
        auto v = from.Get(f);
        if (v.ok() && v->is_numeric()) to.Put(f, *v);
      }
      to.Put("POS", xb::Value::Number(from.RecNo()));
      UnlockForModify(*scale.rows);
    }
  }
  CloseTable(source);
}

void F_PLAN::FillMain() {
  const std::string biz = Pad(negocio_, 15);
  TablePtr provee = OpenTable(this, "PROVEE");
  xb::Table& p = provee->table();
  std::optional<xb::Value> scope = xb::Value::Char(biz);
  if (p.SetOrder("PROVEE").ok() && p.SetScope(scope, scope).ok()) {
    for (p.GoTop(); !p.Eof(); p.Skip(1)) {
      std::string code = FieldText(p, "CODIGO"), name = FieldText(p, "NOMBRE");
      auto lee = p.Get("LEE_NOM");
      suppliers_[code] = {name, lee.ok() && lee->is_numeric() && lee->number() == 1};
      for (int id : {kProvTot, kProvInd, kProvEle}) AddEntry(id, name + " (" + code + ")", code);
    }
  }
  CloseTable(provee);
  FillLookup(*this, kLigAjuste, {"LIGAS", "LIGA3", biz + Pad("06", 9)});
  auto kind = [](int k) {
    return [k](const xb::Table& t) {
      auto v = t.Get("TIPO");
      return v.ok() && v->is_numeric() && v->number() == k;
    };
  };
  FillLookup(*this, kColPopu, {"ENC_TIP", "ENC_TIP", biz, "CODIGO", "DESCRIP", kind(2)});
  FillLookup(*this, kColSeguro, {"ENC_TIP", "ENC_TIP", biz});
  FillLookup(*this, kMapSap, {"ENC_MAPC", "ENC_MAPC", ""});
}

void F_PLAN::ShowColSeguro() {
  CLISTBOX list(*this, kColSeguro);
  std::string stored = CopyText(copy_, "COL_SEGURO");
  for (size_t open = stored.find('['); open != std::string::npos;
       open = stored.find('[', open + 1)) {
    size_t close = stored.find(']', open);
    if (close == std::string::npos) break;
    list.SELECTCARGO(TrimRight(stored.substr(open + 1, close - open - 1)));
  }
}

void F_PLAN::SupplierChosen(int combo, int name_field) {
  auto cargo = CCOMBOBOX(*this, combo).CURCARGO();
  if (!cargo) return;
  auto it = suppliers_.find(*cargo);
  const bool typed = it != suppliers_.end() && it->second.second;
  if (!typed) SetText(name_field, it == suppliers_.end() ? "" : it->second.first);
  EnableControl(name_field, typed);
}

bool F_PLAN::TakeMain() {
  RecordCopy work = copy_;
  if (!TakeRecord(*this, MainBindings(), &work)) return false;
  // "[code]" per selected column, whole codes only within the field.
  std::string columns;
  const ControlState* list = Control(kColSeguro);
  const size_t width = static_cast<size_t>(FieldWidth(f_plan_->table(), "COL_SEGURO"));
  for (size_t i = 0; list && i < list->entries.size(); ++i) {
    if (!list->entries[i].selected) continue;
    std::string item = "[" + list->entries[i].cargo + "]";
    if (width > 0 && columns.size() + item.size() > width) break;
    columns += item;
  }
  work["COL_SEGURO"] = xb::Value::Char(columns);
  copy_ = std::move(work);
  return true;
}

void F_PLAN::OpenSubWindow(int button) {
  auto sub = MakeSubWindow(*this, button);
  if (!sub) return;
  ParamWindow* raw = sub.get();
  desktop().Adopt(std::move(sub));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

bool F_PLAN::DoOperation(const std::string& name) {
  if (!window_enabled()) return true;
  for (int button : {kPreaviso, kConstancia, kCesantia, kPatrono, kLiquidacion, kEmpleados,
                     kAcciones, kAguinaldo}) {
    if (name == SubWindowTemplate(button)) {
      OpenSubWindow(button);
      return true;
    }
  }
  return false;
}

}  // namespace qz

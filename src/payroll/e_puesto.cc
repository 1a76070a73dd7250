#include "payroll/e_puesto.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

const char kDayChars[3] = {' ', '2', '3'};

double Num(const xb::Table* t, const std::string& field) {
  if (!t) return 0;
  auto v = t->Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

std::string NumberText(double n) {
  std::string s = FormatNumber(n, "9999999999");
  return s.substr(s.find_first_not_of(' ') == std::string::npos ? s.size()
                                                                : s.find_first_not_of(' '));
}

}  // namespace

bool E_PUESTO::AbrirLookups() {
  f_plan7_ = OpenTable(this, "F_PLAN7");
  clas_rom_ = OpenTable(this, "CLAS_ROM");
  perf_eva_ = OpenTable(this, "PERF_EVA");
  return f_plan7_ && clas_rom_ && perf_eva_;
}

void E_PUESTO::CerrarLookups() {
  CloseTable(f_plan7_);
  CloseTable(clas_rom_);
  CloseTable(perf_eva_);
}

void E_PUESTO::Register() {
  ADD(kPorOcupacion, [this] { Relabel(0); });
  ADD(kPorPax, [this] { Relabel(1); });
  oClases_ = std::make_unique<CLISTBOX>(*this, kClases);
  oPerfil_ = std::make_unique<CCOMBOBOX>(*this, kPerfil);
}

void E_PUESTO::LoadNew() {
  SetCheck(kPorOcupacion, 1);
  Relabel(0);
  for (int d = 0; d < 7; ++d) SetCheck(kFirstDay + 3 * d, 1);
}

void E_PUESTO::Fill() {
  std::optional<xb::Value> scope = xb::Value::Char(Negocio());
  xb::Table* clas_rom = &clas_rom_->table();
  xb::Table* perf_eva = &perf_eva_->table();
  xb::Table* f_plan7 = &f_plan7_->table();
  if (clas_rom->SetOrder(1).ok() && clas_rom->SetScope(scope, scope).ok()) {
    for (clas_rom->GoTop(); !clas_rom->Eof(); clas_rom->Skip(1)) {
      auto code = clas_rom->Get("CODIGO");
      oClases_->ADD(FieldText(*clas_rom, "DESCRIP"), code.ok() ? FromField(*code) : "");
    }
  }
  if (perf_eva->SetOrder(1).ok() && perf_eva->SetScope(scope, scope).ok()) {
    for (perf_eva->GoTop(); !perf_eva->Eof(); perf_eva->Skip(1)) {
      auto code = perf_eva->Get("CODIGO");
      oPerfil_->ADD(FieldText(*perf_eva, "DESCRIP"), code.ok() ? FromField(*code) : "");
    }
  }
  oPerfil_->ADD(kSinPerfil, "    ");
  // The business's hours-report parameters (one row) give the range bounds.
  if (!f_plan7->SetOrder(1).ok() || !f_plan7->Seek(xb::Value::Char(Negocio())).ok() ||
      !f_plan7->Found()) {
    f_plan7->GoBottom();
    f_plan7->Skip(1);  // no row: every bound reads 0
  }
}

void E_PUESTO::Relabel(int basis) {
  const char* prefix = basis == 1 ? "RANG_PAX" : "RANG_HOR";
  const xb::Table* p = f_plan7_ && !f_plan7_->Eof() ? &f_plan7_->table() : nullptr;
  double previous = 0;
  for (int n = 1; n <= kRows; ++n) {
    double bound = Num(p, prefix + std::to_string(n));
    std::string label;
    if (n == 1) {
      label = "   0 a " + FormatNumber(bound, "9999");
    } else if (bound > 0) {
      label = FormatNumber(previous + 1, "9999") + " a " + FormatNumber(bound, "9999");
    }
    SetText(kRangeLabel + n, label);
    previous = bound;
  }
}

void E_PUESTO::LoadRow() {
  xb::Table& t = table();
  SetText(kDescrip, FieldText(t, "DESCRIP"));
  double horas = Num(&t, "HORAS_DIA");
  std::string h = FormatNumber(horas, "99.99");
  SetText(kHorasDia, h.substr(h.find_first_not_of(' ')));
  int basis = static_cast<int>(Num(&t, "TIPO_PRES")) == 1 ? 1 : 0;
  SetCheck(basis == 1 ? kPorPax : kPorOcupacion, 1);
  Relabel(basis);
  for (int n = 1; n <= kRows; ++n) {
    SetText(kEmpleados + n, NumberText(Num(&t, "PRES_EMP" + std::to_string(n))));
    SetText(kExtras + n, NumberText(Num(&t, "PRES_EXT" + std::to_string(n))));
  }
  // "[code][code]..." -> the selected room classes.
  std::string classes = FieldText(t, "CLAS_ROM");
  for (size_t open = classes.find('['); open != std::string::npos;
       open = classes.find('[', open + 1)) {
    size_t close = classes.find(']', open);
    if (close == std::string::npos) break;
    std::string wanted = TrimRight(classes.substr(open + 1, close - open - 1));
    const ControlState* c = Control(kClases);
    for (size_t i = 0; c && i < c->entries.size(); ++i) {
      if (TrimRight(c->entries[i].cargo) == wanted) SetSelected(kClases, static_cast<int>(i), true);
    }
  }
  auto week = t.Get("SEMANA");
  std::string w = week.ok() && week->is_char() ? week->str() : std::string();
  w.resize(7, ' ');
  for (int d = 0; d < 7; ++d) {
    int choice = w[d] == '2' ? 1 : w[d] == '3' ? 2 : 0;
    SetCheck(kFirstDay + 3 * d + choice, 1);
  }
  auto perfil = t.Get("PERFIL_EVA");
  if (perfil.ok() && perfil->is_char()) oPerfil_->SEEKCARGO(FromField(*perfil));
}

std::string E_PUESTO::RoomClasses() const {
  int width = FieldWidth(table(), "CLAS_ROM");
  std::string out;
  const ControlState* c = Control(kClases);
  for (size_t i = 0; c && i < c->entries.size(); ++i) {
    if (!c->entries[i].selected) continue;
    std::string item = "[" + ToField(c->entries[i].cargo, 0) + "]";
    // A selection longer than the field keeps whole codes only: a cut
    // bracket would misread on the next load.
    if (width > 0 && out.size() + item.size() > static_cast<size_t>(width)) break;
    out += item;
  }
  return out;
}

std::string E_PUESTO::Week() const {
  std::string w(7, ' ');
  for (int d = 0; d < 7; ++d) {
    for (int k = 0; k < 3; ++k) {
      if (Check(kFirstDay + 3 * d + k)) w[d] = kDayChars[k];
    }
  }
  return w;
}

void E_PUESTO::WriteFields() {
  xb::Table& t = table();
  t.Put("DESCRIP", xb::Value::Char(ToField(Text(kDescrip), FieldWidth(t, "DESCRIP"))));
  t.Put("HORAS_DIA", xb::Value::Number(Number(kHorasDia)));
  if (auto cargo = oPerfil_->CURCARGO()) t.Put("PERFIL_EVA", xb::Value::Char(ToField(*cargo, 4)));
  for (int n = 1; n <= kRows; ++n) {
    t.Put("PRES_EMP" + std::to_string(n), xb::Value::Number(Number(kEmpleados + n)));
    t.Put("PRES_EXT" + std::to_string(n), xb::Value::Number(Number(kExtras + n)));
  }
  t.Put("TIPO_PRES", xb::Value::Number(Check(kPorPax) ? 1 : 0));
  t.Put("CLAS_ROM", xb::Value::Char(RoomClasses()));
  t.Put("SEMANA", xb::Value::Char(Week()));
}

double E_PUESTO::Number(int id) const {
  return ParseNumber(Text(id)).value_or(0);
}

bool E_PUESTO::NumbersValid() {
  std::vector<int> ids = {kHorasDia};
  for (int n = 1; n <= kRows; ++n) {
    ids.push_back(kEmpleados + n);
    ids.push_back(kExtras + n);
  }
  for (int id : ids) {
    if (ParseNumber(Text(id))) continue;
    MESSAGE_BOX(NotANumberMessage(Text(id)), "Error", kMbIconStop);
    SetFocus(id);
    return false;
  }
  return true;
}

bool E_PUESTO::Validate() {
  // Checked before anything is locked, so a refused value writes nothing.
  if (!NumbersValid()) return false;
  double horas = Number(kHorasDia);
  if (horas < 0 || horas > 99.99) {
    MESSAGE_BOX("Las horas por día deben estar entre 0 y 99.99", "Error", kMbIconStop);
    SetFocus(kHorasDia);
    return false;
  }
  return true;
}

}  // namespace qz

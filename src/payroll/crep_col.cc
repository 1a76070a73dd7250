#include "payroll/crep_col.h"

#include <algorithm>
#include <map>

#include "lib/ui/catalog_data.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

std::vector<BoundField> Fields() {
  std::vector<BoundField> f = {
      {CREP_COL::kDescrip, "DESCRIP", BoundField::kText, ""},
      {CREP_COL::kComentario, "COMENTARIO", BoundField::kText, ""},
      {CREP_COL::kPie, "PIE_PAGINA", BoundField::kText, ""},
      {CREP_COL::kMaxCol, "MAX_COL", BoundField::kNumber, "9999"},
      {CREP_COL::kHeader1, "HEADER_1", BoundField::kText, ""},
      {CREP_COL::kHeader1 + 1, "HEADER_2", BoundField::kText, ""},
      {CREP_COL::kHeader1 + 2, "HEADER_3", BoundField::kText, ""},
      {CREP_COL::kExpVac, "EXP_VAC", BoundField::kCheck, ""},
  };
  const char* imp[] = {"IMP_COD",   "IMP_CED",   "IMP_SEGURO", "IMP_SUMA",   "IMP_ID",
                       "IMP_PATRON", "IMP_TEL_1", "IMP_TEL_2",  "IMP_EMAIL",  "IMP_NACI",
                       "IMP_GAFETE", "IMP_PUESTO", "IMP_T_EMP", "IMP_F_INI", "IMP_F_FIN"};
  for (int i = 0; i < 15; ++i) f.push_back({CREP_COL::kFirstImp + i, imp[i], BoundField::kCheck, ""});
  return f;
}

const std::vector<int> kLetra = {CREP_COL::kLetraPequena, CREP_COL::kLetraMuyPequena};
const std::vector<int> kEval = {CREP_COL::kAcumulado, CREP_COL::kValor};
const char kDefaultPicture[] = "999,999,999.99";

int TotalIndex(const std::string& key) {  // "_3" -> 3, else 0
  const auto& totals = ReportTotals();
  for (size_t i = 0; i < totals.size(); ++i)
    if (key == totals[i].key) return static_cast<int>(i) + 1;
  return 0;
}

std::vector<ListEntry> Entries(const WDIAG& w, int id) {
  const ControlState* c = w.Control(id);
  return c ? c->entries : std::vector<ListEntry>{};
}

void SetEntries(WDIAG& w, int id, const std::vector<ListEntry>& entries) {
  w.ClearEntries(id);
  for (const auto& e : entries) w.AddEntry(id, e.text, e.cargo);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].selected) w.SetSelected(id, static_cast<int>(i), true);
}

}  // namespace

bool CREP_COL::AbrirLookups() {
  enc_tip_ = OpenTable(this, "ENC_TIP");
  t_prov_ = OpenTable(this, "T_PROV");
  return enc_tip_ && t_prov_;
}

void CREP_COL::CerrarLookups() {
  CloseTable(enc_tip_);
  CloseTable(t_prov_);
}

void CREP_COL::Register() {
  ADD(kAgregar, [this] { Agregar(); });
  ADD(kQuitar, [this] { Quitar(); });
  ADD(kSubir, [this] { Subir(); });
  ADD(kBajar, [this] { Bajar(); });
}

void CREP_COL::Fill() {
  all_ = AvailableReportFields(enc_tip_->table(), t_prov_->table(), Negocio());
  RebuildAvailable({});
}

void CREP_COL::LoadNew() {
  SetCheck(kLetraPequena, 1);
  SetCheck(kAcumulado, 1);
  const auto& totals = ReportTotals();
  for (size_t i = 0; i < totals.size(); ++i) {
    std::string label = totals[i].caption + 2;  // without "* "
    SetText(kTotalPicture + static_cast<int>(i) + 1, kDefaultPicture);
    SetText(kTotalRotulo + static_cast<int>(i) + 1, TrimRight(label));
  }
}

void CREP_COL::LoadRow() {
  LoadNew();
  LoadBound(*this, table(), Fields());
  LoadChoice(*this, table(), "TIP_LETRA", kLetra, {1, 2});
  LoadChoice(*this, table(), "EVAL_VAC", kEval, {1, 0});
  TablePtr det = OpenTable(this, "DET_REPP");
  if (!det) return;
  xb::Table& d = det->table();
  std::optional<xb::Value> scope = xb::Value::Char(Negocio() + codigo());
  if (d.SetOrder("DET_REPP").ok() && d.SetScope(scope, scope).ok()) {
    for (d.GoTop(); !d.Eof(); d.Skip(1)) {
      std::string key = ReportFieldKey(FieldText(d, "TIPO"), FieldText(d, "COD_COLUMN"));
      auto known = std::find_if(all_.begin(), all_.end(),
                                [&](const ReportField& f) { return f.key == key; });
      // A field whose column or provision is gone still shows, by its code.
      AddEntry(kReporte, known != all_.end() ? known->text : key, key);
      if (int total = TotalIndex(key)) {
        SetText(kTotalPicture + total, FieldText(d, "T_PICTURE"));
        SetText(kTotalRotulo + total, FieldText(d, "T_ROTULO"));
      }
    }
  }
  CloseTable(det);
  RebuildAvailable({});
}

std::vector<std::string> CREP_COL::ReportKeys() const {
  std::vector<std::string> keys;
  for (const auto& e : Entries(*this, kReporte)) keys.push_back(e.cargo);
  return keys;
}

void CREP_COL::RebuildAvailable(const std::vector<std::string>& select) {
  std::vector<std::string> chosen = ReportKeys();
  std::vector<ListEntry> available;
  for (const auto& f : all_) {
    if (std::find(chosen.begin(), chosen.end(), f.key) != chosen.end()) continue;
    bool selected = std::find(select.begin(), select.end(), f.key) != select.end();
    available.push_back({f.text, f.key, selected});
  }
  SetEntries(*this, kDisponibles, available);
}

void CREP_COL::Agregar() {
  std::vector<ListEntry> report = Entries(*this, kReporte);
  for (auto& e : report) e.selected = false;
  bool moved = false;
  for (auto e : Entries(*this, kDisponibles)) {
    if (!e.selected) continue;
    report.push_back(e);  // stays selected in its new list
    moved = true;
  }
  if (!moved) return;
  SetEntries(*this, kReporte, report);
  RebuildAvailable({});
}

void CREP_COL::Quitar() {
  std::vector<ListEntry> kept;
  std::vector<std::string> back;
  for (const auto& e : Entries(*this, kReporte)) {
    if (e.selected) {
      back.push_back(e.cargo);
    } else {
      kept.push_back(e);
    }
  }
  if (back.empty()) return;
  SetEntries(*this, kReporte, kept);
  RebuildAvailable(back);
}

void CREP_COL::MoveSelected(int step) {
  std::vector<ListEntry> e = Entries(*this, kReporte);
  const int n = static_cast<int>(e.size());
  // Each selected entry passes the unselected one next to it; a block
  // already at the edge stays.
  if (step < 0) {
    for (int i = 1; i < n; ++i)
      if (e[i].selected && !e[i - 1].selected) std::swap(e[i], e[i - 1]);
  } else {
    for (int i = n - 2; i >= 0; --i)
      if (e[i].selected && !e[i + 1].selected) std::swap(e[i], e[i + 1]);
  }
  SetEntries(*this, kReporte, e);
}

void CREP_COL::Subir() {
  MoveSelected(-1);
}

void CREP_COL::Bajar() {
  MoveSelected(1);
}

bool CREP_COL::Validate() {
  return BoundNumbersValid(*this, Fields());
}

void CREP_COL::WriteFields() {
  WriteBound(*this, table(), Fields());
  WriteChoice(*this, table(), "TIP_LETRA", kLetra, {1, 2});
  WriteChoice(*this, table(), "EVAL_VAC", kEval, {1, 0});
}

void CREP_COL::WriteDetails(const std::string& code) {
  TablePtr det = OpenTable(this, "DET_REPP");
  if (!det) return;
  xb::Table& d = det->table();
  // The format's rows as they are, by field. A column type and a provision
  // may share a code, so a row is known by its kind and code together.
  std::multimap<std::string, uint32_t> rows;
  std::optional<xb::Value> scope = xb::Value::Char(Negocio() + code);
  if (d.SetOrder("DET_REPP").ok() && d.SetScope(scope, scope).ok()) {
    for (d.GoTop(); !d.Eof(); d.Skip(1))
      rows.emplace(ReportFieldKey(FieldText(d, "TIPO"), FieldText(d, "COD_COLUMN")), d.RecNo());
  }
  d.SetScope(std::nullopt, std::nullopt);
  const std::vector<std::string> keys = ReportKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string& key = keys[i];
    auto it = rows.find(key);
    bool found = it != rows.end();
    if (found) {
      d.GoTo(it->second);
      rows.erase(it);
    }
    if (found ? !LockForModify(*det) : !AddNewRec(*det)) continue;
    if (!found) {
      d.Put("NEGOCIO", xb::Value::Char(Negocio()));
      d.Put("CODIGO", xb::Value::Char(code));
    }
    d.Put("COD_COLUMN", xb::Value::Char(ToField(ReportFieldColumn(key), FieldWidth(d, "COD_COLUMN"))));
    d.Put("TIPO", xb::Value::Char(ToField(ReportFieldTipo(key), FieldWidth(d, "TIPO"))));
    d.Put("ORDEN", xb::Value::Number(static_cast<double>(i + 1)));
    int total = TotalIndex(key);
    std::string picture = total ? Text(kTotalPicture + total) : "";
    std::string label = total ? Text(kTotalRotulo + total) : "";
    d.Put("T_PICTURE", xb::Value::Char(ToField(picture, FieldWidth(d, "T_PICTURE"))));
    d.Put("T_ROTULO", xb::Value::Char(ToField(label, FieldWidth(d, "T_ROTULO"))));
    UnlockForModify(*det);
  }
  // Fields that left the list (and any second row of one field).
  for (const auto& [key, recno] : rows) {
    d.GoTo(recno);
    if (LockForModify(*det)) {
      det->Delete();
      UnlockForModify(*det);
    }
  }
  CloseTable(det);
}

}  // namespace qz

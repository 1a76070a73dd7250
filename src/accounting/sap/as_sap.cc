#include "accounting/sap/as_sap.h"

#include <algorithm>

#include "lib/data/add_once.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/errors/error_handler.h"
#include "lib/payroll/definitions.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/print_document.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

// The business's column types, {code, description}, in code order.
std::vector<std::pair<std::string, std::string>> ColumnTypes(WDIAG* owner,
                                                             const std::string& negocio) {
  std::vector<std::pair<std::string, std::string>> out;
  TablePtr t = OpenTable(owner, "ENC_TIP");
  if (!t) return out;
  xb::Table& x = t->table();
  const xb::Value key = xb::Value::Char(negocio);
  if (x.SetOrder("ENC_TIP").ok() && x.SetScope(key, key).ok())
    for (xb::Status s = x.GoTop(); s.ok() && !x.Eof(); s = x.Skip(1))
      out.emplace_back(FieldText(x, "CODIGO"), FieldText(x, "DESCRIP"));
  CloseTable(t);
  return out;
}

bool Same(const SapMapRow& a, const SapMapRow& b) {
  return a.columna == b.columna && a.tipo == b.tipo && a.debito == b.debito &&
         a.aplica == b.aplica && a.cuenta == b.cuenta && a.cecos == b.cecos &&
         a.bloque == b.bloque && a.rotulo == b.rotulo && a.orden == b.orden &&
         a.factor == b.factor;
}

std::string Pad(std::string utf8, int width) {
  int n = TextColumns(utf8);
  if (n < width) utf8 += std::string(width - n, ' ');
  return utf8;
}

}  // namespace

AS_SAP::AS_SAP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name),
      negocio_(PadRight(business, 15)),
      editor_(ColumnTypes(this, PadRight(business, 15))) {}

AS_SAP::~AS_SAP() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool AS_SAP::Init() {
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(kAgregar, [this] { Agregar(); });
  ADD(kModificar, [this] { Modificar(); });
  ADD(kQuitar, [this] { Quitar(); });
  ADD(kAceptar, [this] {
    if (Aceptar()) ENDDIALOG(kAceptar);
  });
  ADD(kCancelar, [this] { ENDDIALOG(kCancelar); });
  OnNCDestroy = [this] { CerrarBases(); };
  if (!CREATE().ok()) return false;
  Fill();
  return true;
}

void AS_SAP::OnActivate() {
  desktop().MENUSET(0, this, negocio_);
}

bool AS_SAP::AbrirBases() {
  tmp_sap_ = USE(this, "TMP_SAP.DBF");
  f_as_sap_ = OpenTable(this, "F_AS_SAP");
  f_as_sa2_ = OpenTable(this, "F_AS_SA2");
  if (!tmp_sap_ || !f_as_sap_ || !f_as_sa2_) return false;
  // The business's rows, in the order they are processed, with where they
  // came from.
  xb::Table& src = f_as_sa2_->table();
  xb::Table& tmp = tmp_sap_->table();
  const xb::Value key = xb::Value::Char(negocio_);
  if (!src.SetOrder("F_AS_SA3").ok() || !src.SetScope(key, key).ok()) return false;
  for (xb::Status s = src.GoTop(); s.ok() && !src.Eof(); s = src.Skip(1)) {
    const SapMapRow row = ReadSapMapRow(src);
    const uint32_t pos = src.RecNo();
    opened_[pos] = row;
    ADD_NEW_REC(*tmp_sap_);
    WriteSapMapRow(tmp, row);
    tmp.Put("DESCRIP", xb::Value::Char(xb::FromUtf8(editor_.Describe(row.columna))));
    tmp.Put("POS", xb::Value::Number(pos));
    UNLOCK_FOR_MODIFY(*tmp_sap_);
  }
  (void)src.ClearScope();
  return true;
}

void AS_SAP::CerrarBases() {
  if (tmp_sap_) KILLTABLA(tmp_sap_);
  CloseTable(f_as_sap_);
  CloseTable(f_as_sa2_);
}

void AS_SAP::Fill() {
  const uint32_t keep = Selected();
  ClearEntries(kList);
  if (!tmp_sap_) return;
  xb::Table& t = tmp_sap_->table();
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) {
    if (IntField(t, "BORRADO") == 1) continue;
    AddEntry(kList, Pad(FieldText(t, "DESCRIP"), 38) + FieldText(t, "ROTULO"),
             std::to_string(t.RecNo()));
  }
  const ControlState* c = Control(kList);
  for (size_t i = 0; c && i < c->entries.size(); ++i)
    if (c->entries[i].cargo == std::to_string(keep)) SetSelected(kList, static_cast<int>(i), true);
}

std::vector<std::pair<std::string, std::string>> AS_SAP::Shown() const {
  std::vector<std::pair<std::string, std::string>> out;
  xb::Table& t = tmp_sap_->table();
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1))
    if (IntField(t, "BORRADO") != 1)
      out.emplace_back(FieldText(t, "DESCRIP"), FieldText(t, "ROTULO"));
  return out;
}

uint32_t AS_SAP::Selected() const {
  const ControlState* c = Control(kList);
  if (!c) return 0;
  for (const auto& e : c->entries)
    if (e.selected) return static_cast<uint32_t>(std::stoul(e.cargo));
  return 0;
}

void AS_SAP::Edit(uint32_t recno) {
  xb::Table& t = tmp_sap_->table();
  SapMapRow row;  // a new row: factor 1, "Todos", "Debito", "Departamento"
  if (recno) {
    t.GoTo(recno);
    row = ReadSapMapRow(t);
  }
  if (!editor_.Edit(this, &row)) return;
  if (recno) {
    t.GoTo(recno);
    LOCK_FOR_MODIFY(*tmp_sap_);
  } else {
    ADD_NEW_REC(*tmp_sap_);
  }
  WriteSapMapRow(t, row);
  t.Put("DESCRIP", xb::Value::Char(xb::FromUtf8(editor_.Describe(row.columna))));
  UNLOCK_FOR_MODIFY(*tmp_sap_);
  const uint32_t written = t.RecNo();
  Fill();
  const ControlState* c = Control(kList);
  for (size_t i = 0; c && i < c->entries.size(); ++i)
    SetSelected(kList, static_cast<int>(i), c->entries[i].cargo == std::to_string(written));
}

void AS_SAP::Agregar() {
  if (window_enabled()) Edit(0);
}

void AS_SAP::Modificar() {
  if (!window_enabled()) return;
  const uint32_t r = Selected();
  if (!r) {
    MESSAGE_BOX(kNoRow, "Error", kMbIconStop);
    return;
  }
  Edit(r);
}

void AS_SAP::Quitar() {
  if (!window_enabled()) return;
  const uint32_t r = Selected();
  if (!r) {
    MESSAGE_BOX(kNoRow, "Error", kMbIconStop);
    return;
  }
  if (MESSAGE_BOX(kAskDelete, "Advertencia", kMbOkCancel | kMbIconQuestion) != 1) return;
  tmp_sap_->GoTo(r);
  LOCK_FOR_MODIFY(*tmp_sap_);
  tmp_sap_->FieldPut("BORRADO", xb::Value::Number(1));
  UNLOCK_FOR_MODIFY(*tmp_sap_);
  Fill();
}

bool AS_SAP::Aceptar() {
  if (!window_enabled()) return false;
  bool saved = false;
  std::vector<std::string> conflicts;
  RunOperation([&] {
    START_ATOMIC_TRANSACTION();
    // The business's header row, added once even when two workstations
    // save their first mapping at the same moment.
    f_as_sap_->SetOrder("F_AS_SAP");
    AddRowOnce(*f_as_sap_, xb::Value::Char(negocio_),
               [&](WDBTable& head) { head.FieldPut("NEGOCIO", xb::Value::Char(negocio_)); });
    xb::Table& tmp = tmp_sap_->table();
    xb::Table& rows = f_as_sa2_->table();
    // What another workstation added since the window opened, so that the
    // same row added here as well is not stored twice.
    std::vector<SapMapRow> added_elsewhere;
    {
      const xb::Value key = xb::Value::Char(negocio_);
      if (rows.SetOrder("F_AS_SA3").ok() && rows.SetScope(key, key).ok())
        for (xb::Status s = rows.GoTop(); s.ok() && !rows.Eof(); s = rows.Skip(1))
          if (!opened_.count(rows.RecNo())) added_elsewhere.push_back(ReadSapMapRow(rows));
      (void)rows.ClearScope();
    }
    for (xb::Status s = tmp.GoTop(); s.ok() && !tmp.Eof(); s = tmp.Skip(1)) {
      const uint32_t pos = static_cast<uint32_t>(NumField(tmp, "POS"));
      const bool gone = IntField(tmp, "BORRADO") == 1;
      const SapMapRow row = ReadSapMapRow(tmp);
      if (pos) {
        const SapMapRow& before = opened_[pos];
        // Rows left as they were are not written: another workstation's
        // change to them stays.
        if (!gone && Same(row, before)) continue;
        f_as_sa2_->GoTo(pos);
        const bool there = !rows.Eof() && !rows.Deleted() &&
                           PadRight(StrField(rows, "NEGOCIO"), 15) == negocio_;
        if (!there) {
          // Removed meanwhile: a removal here agrees, a change does not.
          if (!gone) conflicts.push_back(FieldText(tmp, "DESCRIP"));
          continue;
        }
        LOCK_FOR_MODIFY(*f_as_sa2_);
        if (!Same(ReadSapMapRow(rows), before)) {
          UNLOCK_FOR_MODIFY(*f_as_sa2_);
          conflicts.push_back(FieldText(tmp, "DESCRIP"));
          continue;
        }
        if (gone) {
          UNLOCK_FOR_MODIFY(*f_as_sa2_);
          DELETE_RECORD(*f_as_sa2_);
          continue;
        }
      } else {
        if (gone) continue;
        auto twin = std::find_if(added_elsewhere.begin(), added_elsewhere.end(),
                                 [&](const SapMapRow& r) { return Same(r, row); });
        if (twin != added_elsewhere.end()) {
          added_elsewhere.erase(twin);
          continue;
        }
        ADD_NEW_REC(*f_as_sa2_);
        f_as_sa2_->FieldPut("NEGOCIO", xb::Value::Char(negocio_));
      }
      WriteSapMapRow(rows, row);
      UNLOCK_FOR_MODIFY(*f_as_sa2_);
    }
    if (!conflicts.empty()) {
      ROLLBACK_TRANSACTION();
      return;
    }
    END_TRANSACTION();
    saved = true;
  });
  if (!conflicts.empty()) {
    std::string text = kChangedElsewhere;
    for (const std::string& c : conflicts) text += "\r\n" + c;
    MESSAGE_BOX(text, "Error", kMbIconStop);
  }
  return saved;
}

}  // namespace qz

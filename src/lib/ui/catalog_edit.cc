#include "lib/ui/catalog_edit.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

std::string Bytes(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

}  // namespace

EditedRow CheckEditedRow(const CatalogSave& s) {
  xb::Table& t = s.table->table();
  if (s.recno == 0 || !t.GoTo(s.recno).ok() || t.Eof() || t.Deleted()) return EditedRow::kDeleted;
  if (Bytes(t, "NEGOCIO") != s.business || TrimRight(Bytes(t, "CODIGO")) != TrimRight(s.old_code))
    return EditedRow::kRekeyed;
  return EditedRow::kSame;
}

namespace {

// Tells the user why a modification cannot be saved; true when it can.
bool EditedRowStillThere(const CatalogSave& s) {
  switch (CheckEditedRow(s)) {
    case EditedRow::kSame:
      return true;
    case EditedRow::kDeleted:
      MESSAGE_BOX(kRowDeletedMeanwhile, "Atención", kMbIconWarning);
      break;
    case EditedRow::kRekeyed:
      MESSAGE_BOX(kRowRekeyedMeanwhile, "Atención", kMbIconWarning);
      break;
  }
  if (s.grid) s.grid->REFRESHALL();  // show the list as it now is
  return false;
}

}  // namespace

bool CatalogCodeTaken(const CatalogSave& s, const std::string& code) {
  xb::Table& t = s.table->table();
  uint32_t here = s.mode == 1 ? s.recno : (t.Eof() ? 0 : t.RecNo());
  bool taken = false;
  if (t.Seek(xb::Value::Char(s.business + code)).ok() && t.Found()) {
    // Modifying: the row finds itself; what counts is the row after it.
    if (s.mode == 1 && t.RecNo() == here) t.Skip(1);
    taken = !t.Eof() && Bytes(t, "CODIGO") == code && Bytes(t, "NEGOCIO") == s.business;
  }
  if (here) {
    t.GoTo(here);
  } else {
    t.GoBottom();
    t.Skip(1);
  }
  return taken;
}

bool BeginCatalogWrite(const CatalogSave& s, const std::string& code) {
  WDBTable& t = *s.table;
  if (TrimRight(code).empty()) {
    MESSAGE_BOX(kBlankCode, "Error", kMbIconStop);
    return false;
  }
  if (s.mode == 1 && !EditedRowStillThere(s)) return false;
  if (CatalogCodeTaken(s, code)) {
    MESSAGE_BOX(s.duplicate_message, "Error", kMbIconStop);
    return false;
  }
  if (s.mode == 1) {
    if (!t.table().GoTo(s.recno).ok() || !LockForModify(t)) return false;
    // The lock re-read the record: another user may have deleted or re-keyed
    // it between the test above and the lock.
    if (CheckEditedRow(s) != EditedRow::kSame) {
      UnlockForModify(t);
      EditedRowStillThere(s);
      return false;
    }
    if (code != s.old_code) {
      WAIT wait(s.owner, s.wait_text);
      for (const auto& ref : s.references) PropagateCode(ref, s.business, s.old_code, code);
      wait.TERMINAR();
    }
    return true;
  }
  if (!AddNewRec(t)) return false;
  t.FieldPut("NEGOCIO", xb::Value::Char(s.business));
  if (s.grid) s.grid->NMAXREC += 1;
  return true;
}

void FinishCatalogWrite(const CatalogSave& s) {
  uint32_t saved = s.table->table().RecNo();
  UnlockForModify(*s.table);
  if (s.grid) {
    s.grid->REFRESHALL();
    s.grid->SelectRecNo(saved);
  }
}

int PropagateCode(const CodeReference& ref, const std::string& business,
                  const std::string& old_code, const std::string& new_code) {
  TablePtr handle = OpenTable(nullptr, ref.table);
  if (!handle) return 0;
  xb::Table* t = &handle->table();
  int changed = 0;
  int width = FieldWidth(*t, ref.field);
  std::string old_value = old_code, new_value = new_code;
  if (width > 0) {
    old_value.resize(width, ' ');
    new_value.resize(width, ' ');
  }
  if (t->SetOrder(ref.tag).ok() && t->Seek(xb::Value::Char(business + old_value)).ok()) {
    while (!t->Eof() && Bytes(*t, "NEGOCIO") == business && Bytes(*t, ref.field) == old_value) {
      // The changed row leaves this part of the tag: remember the next one.
      uint32_t here = t->RecNo();
      t->Skip(1);
      uint32_t next = t->Eof() ? 0 : t->RecNo();
      t->GoTo(here);
      if (LockForModify(*handle)) {
        t->Put(ref.field, xb::Value::Char(new_value));
        UnlockForModify(*handle);
        ++changed;
      }
      MULTITASK();
      if (next == 0) break;
      t->GoTo(next);
    }
  }
  CloseTable(handle);
  return changed;
}

int DeleteCodeRows(const CodeReference& ref, const std::string& business,
                   const std::string& code) {
  TablePtr handle = OpenTable(nullptr, ref.table);
  if (!handle) return 0;
  xb::Table* t = &handle->table();
  int deleted = 0;
  std::string value = code;
  if (int width = FieldWidth(*t, ref.field); width > 0) value.resize(width, ' ');
  if (t->SetOrder(ref.tag).ok() && t->Seek(xb::Value::Char(business + value)).ok()) {
    while (!t->Eof() && Bytes(*t, "NEGOCIO") == business && Bytes(*t, ref.field) == value) {
      // A deleted row leaves the tag: remember the next one first.
      uint32_t here = t->RecNo();
      t->Skip(1);
      uint32_t next = t->Eof() ? 0 : t->RecNo();
      t->GoTo(here);
      if (LockForModify(*handle)) {
        handle->Delete();
        UnlockForModify(*handle);
        ++deleted;
      }
      MULTITASK();
      if (next == 0) break;
      t->GoTo(next);
    }
  }
  CloseTable(handle);
  return deleted;
}

}  // namespace qz

#include "lib/ui/catalog_edit.h"

#include <optional>

#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {

EditedRow CheckEditedRow(const CatalogSave& s) {
  xb::Table& t = s.table->table();
  if (s.recno == 0 || !t.GoTo(s.recno).ok() || t.Eof() || t.Deleted()) return EditedRow::kDeleted;
  if (FieldBytes(t, "NEGOCIO") != s.business ||
      TrimRight(FieldBytes(t, "CODIGO")) != TrimRight(s.old_code))
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
    taken = !t.Eof() && FieldBytes(t, "CODIGO") == code && FieldBytes(t, "NEGOCIO") == s.business;
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
  if (s.check_duplicates && CatalogCodeTaken(s, code)) {
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
      if (s.rekey) {
        s.rekey(s.old_code, code);
      } else {
        for (const auto& ref : s.references) PropagateCode(ref, s.business, s.old_code, code);
      }
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

std::string ReplaceCodeInList(const std::string& list, const std::string& old_code,
                              const std::string& new_code) {
  const std::string from = TrimRight(old_code), to = TrimRight(new_code);
  if (from.empty()) return list;
  auto separator = [](char c) {
    return c == '[' || c == ']' || c == ',' || c == ';' || c == ' ';
  };
  std::string out;
  size_t i = 0;
  while (i < list.size()) {
    if (separator(list[i])) {
      out += list[i++];
      continue;
    }
    size_t end = i;
    while (end < list.size() && !separator(list[end])) ++end;
    std::string token = list.substr(i, end - i);
    out += token == from ? to : token;
    i = end;
  }
  return out;
}

namespace {

// The value `ref.field` takes in the current row, or nothing when the row
// does not hold the old code.
std::optional<std::string> NewValue(const CodeReference& ref, const std::string& current,
                                    const std::string& old_value, const std::string& new_value) {
  if (ref.match != CodeReference::Match::kInList) {
    if (current != old_value) return std::nullopt;
    return new_value;
  }
  std::string replaced = ReplaceCodeInList(current, old_value, new_value);
  if (replaced == current) return std::nullopt;
  // A longer code must not push the list's last codes out of the field.
  if (TrimRight(replaced).size() > current.size()) return std::nullopt;
  replaced.resize(current.size(), ' ');
  return replaced;
}

}  // namespace

int PropagateCode(const CodeReference& ref, const std::string& business,
                  const std::string& old_code, const std::string& new_code) {
  TablePtr handle = OpenTable(nullptr, ref.table);
  if (!handle) return 0;
  xb::Table* t = &handle->table();
  int changed = 0;
  int width = FieldWidth(*t, ref.field);
  const bool by_key = ref.match == CodeReference::Match::kKeyPrefix;
  std::string old_value = old_code, new_value = new_code;
  if (width > 0 && ref.match != CodeReference::Match::kInList) {
    old_value.resize(width, ' ');
    new_value.resize(width, ' ');
  }
  std::string start = by_key ? business + old_value : business;
  if (t->SetOrder(ref.tag).ok() && t->Seek(xb::Value::Char(start)).ok()) {
    while (!t->Eof() && FieldBytes(*t, "NEGOCIO") == business) {
      auto value = NewValue(ref, FieldBytes(*t, ref.field), old_value, new_value);
      if (by_key && !value) break;  // past the rows of the old code
      // A changed row may leave this part of the tag: remember the next one.
      uint32_t here = t->RecNo();
      t->Skip(1);
      uint32_t next = t->Eof() ? 0 : t->RecNo();
      t->GoTo(here);
      if (value && LockForModify(*handle)) {
        // The lock re-read the row: another user may have changed it.
        if (auto now = NewValue(ref, FieldBytes(*t, ref.field), old_value, new_value)) {
          t->Put(ref.field, xb::Value::Char(*now));
          ++changed;
        }
        UnlockForModify(*handle);
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
    while (!t->Eof() && FieldBytes(*t, "NEGOCIO") == business && FieldBytes(*t, ref.field) == value) {
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

#include "payroll/bracket_scratch.h"

#include <set>
#include <vector>

#include "lib/errors/fault.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"

namespace qz {
namespace {

const char* const kAmounts[] = {"RANGO_I", "RANGO_F", "PORCENTAJE", "VALOR_2"};

double Num(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

std::string Bytes(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

// The scratch copy is private: a failure to write it is a fault of the disk.
void Must(const xb::Status& st, const xb::Table& t, const char* op) {
  if (!st.ok()) ThrowFault(kGenWrite, st.message(), t.path(), op);
}

void PutNumber(xb::Table& t, const std::string& field, double n) {
  Must(t.Put(field, xb::Value::Number(n)), t, "REPLACE");
}

}  // namespace

bool BracketScratch::Stored(const xb::Table& t) {
  return Num(t, "RANGO_I") != 0 || Num(t, "RANGO_F") != 0 || Num(t, "PORCENTAJE") != 0;
}

int BracketScratch::LastOrder() const {
  xb::Table& t = table();
  t.GoBottom();
  return t.Eof() ? 0 : static_cast<int>(Num(t, "ORDEN"));
}

void BracketScratch::Load(const std::string& business, const std::string& code) {
  TablePtr det = OpenTable(nullptr, "DET_TIP");
  xb::Table& d = det->table();
  xb::Table& t = table();
  int order = 0;
  if (d.SetOrder("DET_TIP").ok() && d.Seek(xb::Value::Char(business + code), true).ok()) {
    for (; !d.Eof() && Bytes(d, "NEGOCIO") == business && Bytes(d, "CODIGO") == code;
         d.Skip(1)) {
      Must(t.Append(), t, "APPEND");
      PutNumber(t, "ORDEN", ++order);
      PutNumber(t, "SERIE", Num(d, "SERIE"));
      for (const char* f : kAmounts) PutNumber(t, f, Num(d, f));
      PutNumber(t, "POS", d.RecNo());
    }
  }
  CloseTable(det);
  KeepBlankRowAtEnd();
}

void BracketScratch::KeepBlankRowAtEnd() {
  xb::Table& t = table();
  t.GoBottom();
  if (!t.Eof() && !Stored(t) && Num(t, "VALOR_2") == 0) return;
  int order = LastOrder() + 1;
  Must(t.Append(), t, "APPEND");
  PutNumber(t, "ORDEN", order);
  Must(t.Flush(), t, "COMMIT");
}

uint32_t BracketScratch::InsertBefore(uint32_t recno) {
  xb::Table& t = table();
  int order = LastOrder() + 1;
  if (recno != 0 && t.GoTo(recno).ok() && !t.Eof()) {
    order = static_cast<int>(Num(t, "ORDEN"));
    // Make room: every row from this one on moves down one place, the last
    // first (the tag is on ORDEN).
    std::vector<uint32_t> after;
    for (; !t.Eof(); t.Skip(1)) after.push_back(t.RecNo());
    for (auto it = after.rbegin(); it != after.rend(); ++it) {
      t.GoTo(*it);
      PutNumber(t, "ORDEN", Num(t, "ORDEN") + 1);
    }
  }
  Must(t.Append(), t, "APPEND");
  PutNumber(t, "ORDEN", order);
  uint32_t added = t.RecNo();
  Must(t.Flush(), t, "COMMIT");
  return added;
}

void BracketScratch::Remove(uint32_t recno) {
  xb::Table& t = table();
  if (!t.GoTo(recno).ok() || t.Eof() || t.Deleted()) return;
  PutNumber(t, "BORRADO", 1);
  Must(t.Delete(), t, "DELETE");
  Must(t.Flush(), t, "COMMIT");
}

void BracketScratch::RemoveAll() {
  xb::Table& t = table();
  std::vector<uint32_t> live;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) live.push_back(t.RecNo());
  for (uint32_t r : live) Remove(r);
}

int BracketScratch::StoredRows() const {
  xb::Table& t = table();
  int n = 0;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) n += Stored(t) ? 1 : 0;
  return n;
}

BracketScratch::Snapshot BracketScratch::Keep() const {
  xb::Table& t = table();
  Snapshot s;
  auto count = t.RecCount();
  const uint32_t last = count.ok() ? *count : 0;
  for (uint32_t r = 1; r <= last; ++r) {
    Snapshot::Row row;
    if (t.GoTo(r).ok() && !t.Eof()) {
      row.deleted = t.Deleted();
      for (size_t f = 0; f < t.fields().size(); ++f) {
        auto v = t.Get(static_cast<int>(f));
        row.values.push_back(v.ok() && v->is_numeric() ? v->number() : 0);
      }
    }
    s.rows.push_back(std::move(row));
  }
  return s;
}

void BracketScratch::PutBack(const Snapshot& s) {
  xb::Table& t = table();
  auto count = t.RecCount();
  const uint32_t last = count.ok() ? *count : 0;
  for (uint32_t r = 1; r <= last; ++r) {
    if (!t.GoTo(r).ok() || t.Eof()) continue;
    if (r > s.rows.size()) {
      // Added since: never came from DET_TIP, so it simply goes.
      if (!t.Deleted()) Must(t.Delete(), t, "DELETE");
      continue;
    }
    const Snapshot::Row& row = s.rows[r - 1];
    for (size_t f = 0; f < row.values.size(); ++f)
      Must(t.Put(static_cast<int>(f), xb::Value::Number(row.values[f])), t, "REPLACE");
    if (row.deleted && !t.Deleted()) Must(t.Delete(), t, "DELETE");
    if (!row.deleted && t.Deleted()) Must(t.Recall(), t, "RECALL");
  }
  Must(t.Flush(), t, "COMMIT");
}

void BracketScratch::Save(const std::string& business, const std::string& old_code,
                          const std::string& new_code) {
  xb::Table& t = table();
  TablePtr det = OpenTable(nullptr, "DET_TIP");
  xb::Table& d = det->table();
  // The DET_TIP record a scratch row came from, still the type's own row.
  auto source = [&](uint32_t pos) {
    return pos != 0 && d.GoTo(pos).ok() && !d.Eof() && !d.Deleted() &&
           Bytes(d, "NEGOCIO") == business && Bytes(d, "CODIGO") == old_code;
  };
  auto drop = [&](uint32_t pos) {
    if (!source(pos) || !LockForModify(*det)) return;
    det->Delete();
    UnlockForModify(*det);
  };
  // Removed rows first, so their row numbers are free for the new ones.
  auto count = t.RecCount();
  uint32_t last = count.ok() ? *count : 0;
  for (uint32_t r = 1; r <= last; ++r) {
    if (!t.GoTo(r).ok() || t.Eof()) continue;
    if (t.Deleted() || Num(t, "BORRADO") != 0) drop(static_cast<uint32_t>(Num(t, "POS")));
  }
  // Kept rows take the new code; a row emptied to zero is not kept.
  std::vector<uint32_t> fresh;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) {
    uint32_t pos = static_cast<uint32_t>(Num(t, "POS"));
    if (!Stored(t)) {
      drop(pos);
    } else if (source(pos) && LockForModify(*det)) {
      d.Put("CODIGO", xb::Value::Char(new_code));
      for (const char* f : kAmounts) d.Put(f, xb::Value::Number(Num(t, f)));
      UnlockForModify(*det);
    } else {
      fresh.push_back(t.RecNo());
    }
  }
  if (!fresh.empty()) {
    std::set<int> used;
    if (d.SetOrder("DET_TIP").ok() && d.Seek(xb::Value::Char(business + new_code), true).ok()) {
      for (; !d.Eof() && Bytes(d, "NEGOCIO") == business && Bytes(d, "CODIGO") == new_code;
           d.Skip(1))
        used.insert(static_cast<int>(Num(d, "SERIE")));
    }
    int serie = 0;
    for (uint32_t r : fresh) {
      do ++serie;
      while (used.count(serie));
      t.GoTo(r);
      if (!AddNewRec(*det)) continue;
      d.Put("NEGOCIO", xb::Value::Char(business));
      d.Put("CODIGO", xb::Value::Char(new_code));
      d.Put("SERIE", xb::Value::Number(serie));
      for (const char* f : kAmounts) d.Put(f, xb::Value::Number(Num(t, f)));
      UnlockForModify(*det);
      MULTITASK();
    }
  }
  CloseTable(det);
}

}  // namespace qz

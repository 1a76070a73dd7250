// The table object every screen holds: what USE returns and KILLTABLA
// releases. It names a work area (see work_areas.h) and offers one-line
// operations on that area's table. Engine failures inside these operations
// are runtime faults (errors/fault.h): they end the user's operation and
// reach the error handler, as they would in any xBase program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "xbase/table.h"

namespace qz {

class WTable {
 public:
  WTable() = default;
  virtual ~WTable();
  WTable(const WTable&) = delete;
  WTable& operator=(const WTable&) = delete;

  // Registers the table already open in `area`: derives Name and Alias from
  // `path`, records {area, Name} in XFILES_AREA and fills the area's
  // word-index slot.
  void Init(void* parent, const std::string& path, int area, const std::string& rdd,
            bool temporary);
  // Closes the area if it is in use, clears its word-index slot and removes
  // it from XFILES_AREA.
  void Axit();
  // Forgets the area without closing it (the table stays in the file bag).
  void Detach();

  std::string Cargo;  // "" normal; "BORRAR" or "BORRAR->" + index path for a temporary copy
  std::string Alias;
  int Area = 0;
  std::string Name;
  std::string RDD;
  int SEARCH_TXT = 0;
  void* oParent = nullptr;
};

// The alias of a table in an area: first 7 characters of the base name,
// padded with "0", then the area number in 3 digits (USUARIO012).
std::string AliasFor(const std::string& file_name, int area);

class WDBTable : public WTable {
 public:
  ~WDBTable() override;

  // The area's table; a fault when the area is closed.
  xb::Table& table() const;
  // Makes this object's area the selected one; returns the one selected before.
  int Select() const;

  void Append();
  void Commit();
  xb::FieldList DBStruct() const;
  void Delete();
  // EOF and BOF of the xBase object (EOF is a C macro, hence the spelling).
  bool Eof() const;
  bool Bof() const;
  int FCount() const;
  xb::Value FieldGet(int pos) const;  // 1-based, as xBase counts fields
  xb::Value FieldGet(const std::string& name) const;
  std::string FieldName(int pos) const;
  int FieldPos(const std::string& name) const;  // 0 when missing
  void FieldPut(int pos, const xb::Value& v);
  void FieldPut(const std::string& name, const xb::Value& v);
  bool FLock();
  bool Found() const;
  void GoBottom();
  void GoTo(uint32_t recno);
  void GoTop();
  uint32_t LastRec() const;
  uint32_t RecCount() const { return LastRec(); }
  uint32_t RecNo() const;
  void _RecNo(uint32_t recno) { GoTo(recno); }
  bool RLock();
  bool Seek(const xb::Value& key, bool soft = false);
  bool Seek(const std::string& key, bool soft = false) { return Seek(xb::Value::Char(key), soft); }
  void Skip(int64_t n = 1);
  void Unlock();
  bool Used() const;

  // Order and scope control the screens need.
  void SetOrder(const std::string& tag);
  void SetScope(const std::optional<xb::Value>& top, const std::optional<xb::Value>& bottom);
  void ClearScope();
  bool Deleted() const;
  // Trimmed text of a character field, as UTF-8 for messages and screens.
  std::string TextUtf8(const std::string& field) const;
};

}  // namespace qz

#include "xbase/new_record.h"

#include "xbase/dbf_header.h"
#include "xbase/field_codec.h"
#include "xbase/table_index.h"

namespace xb {

NewRecord::NewRecord(const Table& t) : table_(&t), rec_(t.record_length(), ' ') {
  for (const auto& f : t.fields()) BlankField(f, rec_.data());
}

bool NewRecord::Fits(const Table& t) {
  for (const auto& f : t.fields())
    if (IsMemoType(f.type)) return false;
  return true;
}

Status NewRecord::Put(int field, const Value& v) {
  const FieldList& fields = table_->fields();
  if (field < 0 || field >= static_cast<int>(fields.size()))
    return Status::InvalidArgument(table_->path() + ": no field number " + std::to_string(field + 1));
  const FieldDef& f = fields[field];
  if (IsMemoType(f.type))
    return Status::InvalidArgument(table_->path() + ": memo field " + f.name +
                                   " cannot be set before the record exists");
  return EncodeField(f, v, rec_.data(), table_->path());
}

Status NewRecord::Put(const std::string& field, const Value& v) {
  int i = table_->FieldIndex(field);
  if (i < 0) return Status::NotFound(table_->path() + ": no field " + field);
  return Put(i, v);
}

Status AppendRecord(Table& t, const NewRecord& rec) {
  if (&rec.table() != &t || rec.bytes().size() != t.record_length())
    return Status::InvalidArgument(t.path() + ": record built for another table");
  return t.AppendBytes(rec.bytes(), false);
}

}  // namespace xb

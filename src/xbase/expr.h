// Key and condition expressions: the small xBase expression language used in
// index tags (INDEX ON <expr> ... FOR <cond>). Compiled once against a table's
// structure, evaluated per record. docs/expressions.md describes the language.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "xbase/field.h"
#include "xbase/status.h"
#include "xbase/value.h"

namespace xb {

// How an expression reads the record it is evaluated on.
class FieldSource {
 public:
  virtual ~FieldSource() = default;
  // Value of field `index` (position in the FieldList the expression was
  // compiled with): character and memo fields as their bytes, numbers as their
  // value (a scaled I field gives its scaled value), dates as Julian days.
  virtual Value GetField(int index) const = 0;

  // Optional fast path for character (C) fields: the field's bytes inside the
  // record buffer, valid until the record changes. Index maintenance reads
  // these for every key, so a source that has the record at hand should give
  // them and spare the copy GetField makes. Returning false (the default)
  // makes the expression call GetField instead.
  virtual bool GetCharField(int /*index*/, std::string_view* /*bytes*/) const { return false; }

  // The record's deletion mark, for DELETED(). Sources that cannot tell say
  // "not deleted".
  virtual bool IsDeleted() const { return false; }

  // The record number, for RECNO(); 0 when the source does not know it.
  virtual uint32_t RecNo() const { return 0; }
};

class Expression {
 public:
  virtual ~Expression() = default;

  // Compiles `text` (bytes in the table's code page, as stored in the tag)
  // against `fields`. Field names and function names are case insensitive; a
  // field may be written ALIAS->FIELD or ALIAS.FIELD. Unknown fields or
  // functions, wrong argument counts, operands of the wrong type, syntax
  // errors and character results without a fixed length give
  // InvalidArgument with a message that quotes the expression.
  static Result<std::unique_ptr<Expression>> Compile(const std::string& text,
                                                     const FieldList& fields);

  virtual Result<Value> Evaluate(const FieldSource& record) const = 0;

  // Same as Evaluate, but writes the result into `*out` and reuses the
  // character buffer it already holds: the per-record loops of index
  // maintenance call this and do not allocate once warmed up.
  // Safe to call from several threads at once on one Expression.
  virtual Status EvaluateInto(const FieldSource& record, Value* out) const = 0;

  // Type of every result (kChar, kNumber, kDate, kLogical; kTimestamp for a
  // bare T field); numbers that come from I fields are reported as kNumber,
  // and Evaluate gives them as kNumber values too.
  virtual Value::Type result_type() const = 0;
  // For character results, the fixed width every result has (the key length):
  // results are padded with blanks to it. For other results, the length of
  // their FoxPro binary key (8 for numbers, dates and timestamps, 1 for
  // logicals).
  virtual int result_length() const = 0;
  virtual const std::string& text() const = 0;
};

}  // namespace xb

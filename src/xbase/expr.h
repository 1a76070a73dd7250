// Key and condition expressions: the small xBase expression language used in
// index tags (INDEX ON <expr> ... FOR <cond>). Compiled once against a table's
// structure, evaluated per record.
#pragma once

#include <memory>
#include <string>

#include "xbase/field.h"
#include "xbase/status.h"
#include "xbase/value.h"

namespace xb {

// How an expression reads the record it is evaluated on.
class FieldSource {
 public:
  virtual ~FieldSource() = default;
  // Value of field `index` (position in the FieldList the expression was compiled with).
  virtual Value GetField(int index) const = 0;
  // Deletion flag of the record (for DELETED() in FOR conditions).
  virtual bool IsDeleted() const { return false; }
};

class Expression {
 public:
  virtual ~Expression() = default;

  // Compiles `text` against `fields`. Field names and function names are case
  // insensitive; a field may be written ALIAS->FIELD. Unknown fields or
  // functions, wrong argument counts and syntax errors give InvalidArgument
  // with a message that quotes the expression.
  static Result<std::unique_ptr<Expression>> Compile(const std::string& text,
                                                     const FieldList& fields);

  virtual Result<Value> Evaluate(const FieldSource& record) const = 0;

  // Type of every result (kChar, kNumber, kDate, kLogical); numbers that come
  // from I fields are reported as kNumber.
  virtual Value::Type result_type() const = 0;
  // For character results, the fixed width every result has (the key length).
  virtual int result_length() const = 0;
  virtual const std::string& text() const = 0;
};

}  // namespace xb

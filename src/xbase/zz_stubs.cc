// TEMPORARY (not committed): stand-ins until the index and expression code lands.
#include "xbase/cdx.h"
#include "xbase/expr.h"
#include "xbase/key_encoding.h"
namespace xb {
Result<std::unique_ptr<CdxFile>> CdxFile::Open(Env*, const std::string&, OpenMode) { return Status::NotSupported("no cdx"); }
Result<std::unique_ptr<CdxFile>> CdxFile::Create(Env*, const std::string&, bool) { return Status::NotSupported("no cdx"); }
Result<std::unique_ptr<Expression>> Expression::Compile(const std::string&, const FieldList&) { return Status::NotSupported("no expr"); }
Result<std::string> EncodeKey(const Value&, KeyType, int) { return Status::NotSupported("x"); }
Value DecodeKey(const std::string&, KeyType) { return Value(); }
}

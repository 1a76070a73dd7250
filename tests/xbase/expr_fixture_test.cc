// Key and FOR expressions of the tags another engine (Harbour DBFCDX) wrote
// in the interop fixtures, evaluated on the manifests' records: the keys must
// be byte for byte the ones that engine stored, and sorting every record by
// our keys must give the tag's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "xbase/codepage.h"
#include "xbase/expr.h"

namespace xb {
namespace {

using nlohmann::json;

struct Record {
  uint32_t recno = 0;
  bool deleted = false;
  std::vector<Value> values;
};

struct Table {
  FieldList fields;
  std::vector<Record> records;  // records[recno - 1]
  json tags;
};

class RecordSource : public FieldSource {
 public:
  explicit RecordSource(const Record& r) : r_(r) {}
  Value GetField(int index) const override { return r_.values[index]; }
  bool IsDeleted() const override { return r_.deleted; }
  uint32_t RecNo() const override { return r_.recno; }

 private:
  const Record& r_;
};

Value ValueFromJson(const FieldDef& f, const json& v) {
  switch (f.type) {
    case 'C':
    case 'M':
      return Value::Char(FromUtf8(v.get<std::string>()));
    case 'D':
      return Value::Date(JulianFromDtos(v.get<std::string>()));
    case 'L':
      return Value::Logical(v.get<bool>());
    case 'I':
      if (f.dec == 0) return Value::Integer(v.get<int64_t>());
      return Value::Number(v.get<double>());
    case 'T':
    case '@': {
      std::string s = v.get<std::string>();  // YYYYMMDDhhmmssfff
      int ms = std::stoi(s.substr(8, 2)) * 3600000 + std::stoi(s.substr(10, 2)) * 60000 +
               std::stoi(s.substr(12, 2)) * 1000 + std::stoi(s.substr(14, 3));
      return Value::Stamp(Timestamp{JulianFromDtos(s.substr(0, 8)), ms});
    }
    default:
      return Value::Number(v.get<double>());
  }
}

// Each manifest is parsed once per test program (EMPLE's is ~10 MB).
const Table& LoadTable(const std::string& name) {
  static std::map<std::string, std::unique_ptr<Table>> cache;
  auto& slot = cache[name];
  if (slot) return *slot;
  std::ifstream in(std::string(QZ_FIXTURES_DIR) + "/xbase/" + name + ".json");
  EXPECT_TRUE(in.good()) << name;
  json m = json::parse(in);
  auto t = std::make_unique<Table>();
  for (const json& f : m["fields"]) {
    FieldDef d;
    d.name = f["name"].get<std::string>();
    d.type = f["type"].get<std::string>()[0];
    d.len = f["len"].get<int>();
    d.dec = f["dec"].get<int>();
    t->fields.push_back(d);
  }
  for (const json& r : m["records"]) {
    Record rec;
    rec.recno = r["recno"].get<uint32_t>();
    rec.deleted = r["deleted"].get<bool>();
    const json& vals = r["values"];
    for (size_t i = 0; i < t->fields.size(); ++i) {
      rec.values.push_back(ValueFromJson(t->fields[i], vals[i]));
    }
    EXPECT_EQ(rec.recno, t->records.size() + 1);
    t->records.push_back(std::move(rec));
  }
  t->tags = m["tags"];
  slot = std::move(t);
  return *slot;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : bytes) {
    h += kDigits[c >> 4];
    h += kDigits[c & 15];
  }
  return h;
}

Value Eval(const Expression& e, const Record& r) {
  auto v = e.Evaluate(RecordSource(r));
  EXPECT_TRUE(v.ok()) << v.status().ToString();
  return v.ok() ? v.value() : Value();
}

// Orders two keys of one tag as the index does: bytes, numbers, days.
bool KeyLess(const Value& a, const Value& b) {
  if (a.is_char()) return a.str() < b.str();  // char_traits compares unsigned
  if (a.is_numeric()) return a.number() < b.number();
  return a.date() < b.date();
}

void CheckTable(const std::string& name) {
  const Table& t = LoadTable(name);
  ASSERT_FALSE(t.tags.empty());
  for (const json& tag : t.tags) {
    std::string key_text = tag["key"].get<std::string>();
    std::string for_text = tag["for"].get<std::string>();
    SCOPED_TRACE(name + " tag " + tag["name"].get<std::string>() + ": " + key_text);
    auto key = Expression::Compile(key_text, t.fields);
    ASSERT_TRUE(key.ok()) << key.status().ToString();
    std::unique_ptr<Expression> cond;
    if (!for_text.empty()) {
      auto c = Expression::Compile(for_text, t.fields);
      ASSERT_TRUE(c.ok()) << c.status().ToString();
      ASSERT_EQ((*c)->result_type(), Value::Type::kLogical);
      cond = std::move(c.value());
    }

    for (const json& sample : tag["sample_keys"]) {
      const Record& r = t.records.at(sample["recno"].get<uint32_t>() - 1);
      SCOPED_TRACE("record " + std::to_string(r.recno));
      Value got = Eval(**key, r);
      const json& want = sample["key"];
      if (want.contains("hex")) {
        std::string hex = want["hex"].get<std::string>();
        ASSERT_EQ((*key)->result_type(), Value::Type::kChar);
        EXPECT_EQ((*key)->result_length(), static_cast<int>(hex.size() / 2));
        EXPECT_EQ(Hex(got.str()), hex);
      } else if (want["value"].is_number()) {
        ASSERT_EQ((*key)->result_type(), Value::Type::kNumber);
        EXPECT_EQ(got.number(), want["value"].get<double>());
      } else {
        ASSERT_EQ((*key)->result_type(), Value::Type::kDate);
        EXPECT_EQ(DtosFromJulian(got.date()), want["value"].get<std::string>());
      }
    }

    // Every record's key, through the order the other engine gave the tag.
    // Equal keys come in record order, reversed in a descending tag.
    struct Entry {
      Value key;
      uint32_t recno;
    };
    std::vector<Entry> entries;
    for (const Record& r : t.records) {
      if (cond && !Eval(*cond, r).logical()) continue;
      entries.push_back({Eval(**key, r), r.recno});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return KeyLess(a.key, b.key); });
    std::vector<uint32_t> order;
    for (const Entry& e : entries) order.push_back(e.recno);
    if (tag["descending"].get<bool>()) std::reverse(order.begin(), order.end());
    auto want_order = tag["order_all"].get<std::vector<uint32_t>>();
    EXPECT_EQ(order.size(), want_order.size()) << "records the FOR condition selects";
    EXPECT_TRUE(order == want_order) << "key order differs from the tag's";
  }
}

TEST(ExprFixture, EmpleTagsMatchTheOtherEngine) {
  CheckTable("EMPLE");
}
TEST(ExprFixture, PuestosTagsMatchTheOtherEngine) {
  CheckTable("PUESTOS");
}
TEST(ExprFixture, TiposTagsMatchTheOtherEngine) {
  CheckTable("TIPOS");
}
TEST(ExprFixture, VaciaTagCompiles) {
  CheckTable("VACIA");
}

TEST(ExprFixture, DeletedAndRecnoReadTheRecordState) {
  const Table& t = LoadTable("EMPLE");
  auto deleted = Expression::Compile("DELETED()", t.fields);
  auto recno = Expression::Compile("RECNO()", t.fields);
  ASSERT_TRUE(deleted.ok() && recno.ok());
  size_t count = 0;
  for (const Record& r : t.records) {
    bool d = Eval(**deleted, r).logical();
    EXPECT_EQ(d, r.deleted);
    count += d;
    EXPECT_EQ(Eval(**recno, r).number(), r.recno);
  }
  EXPECT_GT(count, 0u);
}

// The other engine upper-cased only the ASCII letters (EMPLE3's keys keep
// ó as 0xF3); a name with ñ and ó must keep both.
TEST(ExprFixture, UpperLeavesAccentedLettersAsTheOtherEngineDid) {
  const Table& t = LoadTable("EMPLE");
  auto e = Expression::Compile("Upper( NOMBRE )", t.fields);
  ASSERT_TRUE(e.ok());
  size_t seen = 0;
  for (const Record& r : t.records) {
    const std::string& name = r.values[2].str();
    if (name.find('\xF1') == std::string::npos) continue;
    std::string key = Eval(**e, r).str();
    EXPECT_NE(key.find('\xF1'), std::string::npos) << ToUtf8(name);
    EXPECT_EQ(key.find('\xD1'), std::string::npos) << ToUtf8(name);
    ++seen;
  }
  EXPECT_GT(seen, 100u);
}

}  // namespace
}  // namespace xb

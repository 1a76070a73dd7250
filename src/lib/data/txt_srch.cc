#include "lib/data/txt_srch.h"

#include <set>

#include "lib/data/locking.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

const std::string kFreeBusiness(TXT_SRCH::kBusinessLen, 'X');

std::string FieldText(WDBTable& t, const char* field) {
  return t.FieldGet(field).str();
}

}  // namespace

std::string UpperCp1252(std::string s) {
  for (char& c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') {
      c = static_cast<char>(u - 32);
    } else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) {
      c = static_cast<char>(u - 32);
    } else if (u == 0x9A || u == 0x9C || u == 0x9E) {
      c = static_cast<char>(u - 16);  // š œ ž
    } else if (u == 0xFF) {
      c = static_cast<char>(0x9F);  // ÿ
    }
  }
  return s;
}

std::vector<std::string> IndexWords(const std::string& text) {
  std::vector<std::string> words;
  std::string t = UpperCp1252(Trim(text));
  size_t start = 0;
  while (start <= t.size()) {
    size_t blank = t.find(' ', start);
    if (blank == std::string::npos) blank = t.size();
    std::string w = Trim(t.substr(start, blank - start));
    if (w.size() > 2) words.push_back(w);
    start = blank + 1;
  }
  return words;
}

TXT_SRCH::TXT_SRCH(void* parent) : TXT_SRCH_(USE(parent, "TXT_SRCH")), oParent(parent) {}

TXT_SRCH::~TXT_SRCH() {
  KILLTABLA(TXT_SRCH_, true);
}

void TXT_SRCH::SET_NEGOCIO(void* parent, const std::string& negocio) {
  oParent = parent;
  Negocio = PadRight(negocio, kBusinessLen);
}

bool TXT_SRCH::TakeFreeRow() {
  WDBTable& t = *TXT_SRCH_;
  t.SetOrder("TXT_SRCH4");
  constexpr int kTries = 32;  // past that, appending is cheaper than looking
  int tries = 0;
  for (t.Seek(kFreeBusiness); !t.Eof() && tries < kTries; t.Skip(), ++tries) {
    if (FieldText(t, "NEGOCIO") != kFreeBusiness) return false;
    if (!t.RLock()) continue;  // another user is reusing it
    // Re-read under the lock: another workstation may have taken it meanwhile.
    if (FieldText(t, "NEGOCIO") == kFreeBusiness) return true;
    t.table().UnlockRecord(t.RecNo());
  }
  return false;
}

void TXT_SRCH::AddWord(const std::string& table, const std::string& document,
                       const std::string& word) {
  WDBTable& t = *TXT_SRCH_;
  t.SetOrder("TXT_SRCH4");
  if (t.Seek(Negocio + table + document + word)) return;
  if (!TakeFreeRow()) ADD_WITHOUT_LOG(t);
  t.FieldPut("NEGOCIO", xb::Value::Char(Negocio));
  t.FieldPut("DOCUMENTO", xb::Value::Char(document));
  t.FieldPut("ID", xb::Value::Number(0));
  t.FieldPut("T_ITEM", xb::Value::Char(word));
  t.FieldPut("TABLA", xb::Value::Char(table));
  UNLOCK_WITHOUT_LOG(t);
}

void TXT_SRCH::FreeWord(const std::string& table, const std::string& document,
                        const std::string& word) {
  WDBTable& t = *TXT_SRCH_;
  t.SetOrder("TXT_SRCH4");
  const std::string prefix = Negocio + table + document + word;
  std::vector<uint32_t> rows;
  for (t.Seek(prefix); !t.Eof(); t.Skip()) {
    std::string key = FieldText(t, "NEGOCIO") + PadRight(FieldText(t, "TABLA"), kTableLen) +
                      PadRight(FieldText(t, "DOCUMENTO"), kDocumentLen) + FieldText(t, "T_ITEM");
    if (!StartsWith(key, prefix)) break;
    rows.push_back(t.RecNo());
  }
  for (uint32_t r : rows) {
    t.GoTo(r);
    LOCK_WITHOUT_LOG(t);
    t.FieldPut("NEGOCIO", xb::Value::Char(kFreeBusiness));
    UNLOCK_WITHOUT_LOG(t);
  }
}

void TXT_SRCH::ADD_TEXTO(const std::string& document, int, const std::string& text,
                         const std::string& table_name) {
  AreaSelection keep(Areas().Selected());
  std::string doc = PadRight(document, kDocumentLen);
  std::string table = PadRight(table_name, kTableLen);
  for (const auto& w : IndexWords(text)) AddWord(table, doc, w);
}

void TXT_SRCH::DEL_TEXTO(const std::string& document, int, const std::string& text,
                         const std::string& table_name) {
  AreaSelection keep(Areas().Selected());
  std::string doc = PadRight(document, kDocumentLen);
  std::string table = PadRight(table_name, kTableLen);
  for (const auto& w : IndexWords(text)) FreeWord(table, doc, w);
}

std::vector<std::pair<std::string, std::string>> TXT_SRCH::SEARCH(
    const std::vector<std::string>& raw_words, const std::vector<std::string>& tables) {
  std::vector<std::string> words;
  for (const auto& w : raw_words)
    if (!Trim(w).empty()) words.push_back(UpperCp1252(Trim(w)));
  std::vector<std::pair<std::string, std::string>> hits;
  if (words.empty()) return hits;
  AreaSelection keep(Areas().Selected());
  WDBTable& t = *TXT_SRCH_;
  t.SetOrder("TXT_SRCH5");
  int collected = 0;
  std::set<std::pair<std::string, std::string>> seen;
  for (const auto& raw_table : tables) {
    std::string table = PadRight(raw_table, kTableLen);
    for (t.Seek(Negocio + table + words[0]); !t.Eof() && collected < Max_Items; t.Skip()) {
      if (FieldText(t, "NEGOCIO") != Negocio ||
          PadRight(FieldText(t, "TABLA"), kTableLen) != table ||
          !StartsWith(FieldText(t, "T_ITEM"), words[0]))
        break;
      ++collected;
      std::string doc = PadRight(FieldText(t, "DOCUMENTO"), kDocumentLen);
      // A document with MESA and MESAS is one hit for MES.
      if (seen.insert({table, doc}).second) hits.push_back({table, doc});
    }
  }
  t.SetOrder("TXT_SRCH4");
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& h : hits) {
    bool all = true;
    for (size_t i = 1; i < words.size() && all; ++i)
      all = t.Seek(Negocio + h.first + h.second + words[i]);
    if (all) out.push_back(h);
  }
  return out;
}

void LoadWordIndexRegistry(void* parent) {
  Globals& g = G();
  if (!xb::Env::Default()->Resolve(g.PATH + "BASES/F_TXT_S.DBF").ok()) return;
  TablePtr reg = USE(parent, "F_TXT_S");
  g.XTXT_SRCH_FILES.clear();
  for (reg->GoTop(); !reg->Eof(); reg->Skip())
    g.XTXT_SRCH_FILES.push_back(
        {Trim(reg->FieldGet("TABLA").str()), Trim(reg->FieldGet("DOCUMENTO").str())});
  KILLTABLA(reg, true);
  g.XTXT_SRCH_OBJ = std::make_unique<TXT_SRCH>(parent);
}

RecordWords WordsOf(int area) {
  RecordWords w;
  w.area = area;
  Globals& g = G();
  if (area < 1 || area > static_cast<int>(g.XTXT_SRCH_VECTOR.size())) return w;
  const TextSearchSlot& slot = g.XTXT_SRCH_VECTOR[area - 1];
  xb::Table* table = Areas().TableOf(area);
  if (slot.registered != 1 || !g.XTXT_SRCH_OBJ || !table || table->Eof()) return w;
  w.registered = true;
  w.table = slot.file_name;
  w.recno = table->RecNo();
  w.deleted = table->Deleted();
  for (const auto& f : table->fields()) {
    if (f.type != 'C') continue;
    auto v = table->Get(f.name);
    if (!v.ok()) continue;
    if (f.name == "NEGOCIO") w.business = v->str();
    if (EqualsNoCase(f.name, slot.document_field)) w.document = v->str();
    if (v->str().size() >= 10 && !StartsWith(f.name, "INFO_U")) w.texts.push_back(v->str());
  }
  return w;
}

void ReplaceWords(const RecordWords* before, int area) {
  RecordWords now = WordsOf(area);
  TXT_SRCH* index = G().XTXT_SRCH_OBJ.get();
  if (!now.registered || !index) return;
  AreaSelection keep(Areas().Selected());
  const std::string& file_name = G().XTXT_SRCH_VECTOR[area - 1].file_name;
  if (before && before->registered && before->recno == now.recno && before->table == now.table &&
      !before->deleted) {
    index->SET_NEGOCIO(index->oParent, before->business);
    for (const auto& text : before->texts) index->DEL_TEXTO(before->document, 0, text, file_name);
  }
  index->SET_NEGOCIO(index->oParent, now.business);
  if (now.deleted) return;
  for (const auto& text : now.texts) index->ADD_TEXTO(now.document, 0, text, file_name);
}

}  // namespace qz

#include "xbase/table_index.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cctype>
#include <cstring>
#include <strings.h>

#include "xbase/field_codec.h"
#include "xbase/key_encoding.h"

namespace xb {
namespace {

// Reads fields straight out of a record buffer for expression evaluation,
// noting which bytes of the record the evaluation looked at (when asked to).
class RecordSource final : public FieldSource {
 public:
  RecordSource(const FieldList& fields, const std::string& rec, IndexSet::ReadFields* read)
      : fields_(fields), rec_(rec), read_(read) {}
  Value GetField(int index) const override {
    if (read_) read_->fields.set(static_cast<size_t>(index));
    return DecodeField(fields_[index], rec_.data());
  }
  bool GetCharField(int index, std::string_view* bytes) const override {
    const FieldDef& f = fields_[index];
    if (f.type != 'C') return false;
    if (read_) read_->fields.set(static_cast<size_t>(index));
    *bytes = std::string_view(rec_.data() + f.offset, f.len);
    return true;
  }
  bool IsDeleted() const override {
    if (read_) read_->deleted = true;
    return !rec_.empty() && rec_[0] == '*';
  }

 private:
  const FieldList& fields_;
  const std::string& rec_;
  IndexSet::ReadFields* read_;
};

KeyType KeyTypeOf(Value::Type t) {
  switch (t) {
    case Value::Type::kNumber: case Value::Type::kInteger: return KeyType::kNumber;
    case Value::Type::kDate: return KeyType::kDate;
    case Value::Type::kLogical: return KeyType::kLogical;
    default: return KeyType::kChar;
  }
}

int KeyLenOf(const Expression& e) {
  switch (KeyTypeOf(e.result_type())) {
    case KeyType::kNumber: case KeyType::kDate: return 8;
    case KeyType::kLogical: return 1;
    default: return e.result_length();
  }
}

std::string Describe(const std::string& table, const TagDef& t) {
  return table + ": tag " + t.name + " (\"" + t.key_expr + "\")";
}

}  // namespace

Result<std::unique_ptr<IndexSet>> IndexSet::Open(Table* t, const std::string& path, OpenMode mode) {
  auto cdx = CdxFile::Open(t->env_, path, mode);
  if (!cdx.ok()) return cdx.status();
  std::unique_ptr<IndexSet> ix(new IndexSet(t, std::move(*cdx)));
  ix->cdx_->BindTable(t->file_.get(), BaseName(t->path_));
  XB_RETURN_IF_ERROR(ix->BindTags());
  return ix;
}

Result<std::unique_ptr<IndexSet>> IndexSet::Create(Table* t, const std::string& path) {
  auto cdx = CdxFile::Create(t->env_, path, true);
  if (!cdx.ok()) return cdx.status();
  std::unique_ptr<IndexSet> ix(new IndexSet(t, std::move(*cdx)));
  ix->cdx_->BindTable(t->file_.get(), BaseName(t->path_));
  return ix;
}

Status IndexSet::BindTags() {
  tags_.clear();
  for (int i = 0; i < cdx_->tag_count(); ++i) {
    Tag tag;
    tag.cdx = cdx_->tag(i);
    const TagDef& tdef = tag.cdx->def();
    auto key = Expression::Compile(tdef.key_expr, table_->fields_);
    if (!key.ok()) return key.status().With(Describe(table_->path_, tdef));
    tag.key = std::move(*key);
    if (!tdef.for_expr.empty()) {
      auto cond = Expression::Compile(tdef.for_expr, table_->fields_);
      if (!cond.ok()) return cond.status().With(Describe(table_->path_, tdef) + " FOR");
      tag.cond = std::move(*cond);
    }
    tag.cdx->SetKeyType(KeyTypeOf(tag.key->result_type()));
    tag.plain_fields = PlainFields(tdef);
    NoteNamedFields(tdef, &tag);
    tags_.push_back(std::move(tag));
  }
  return Status::OK();
}

std::vector<int> IndexSet::PlainFields(const TagDef& tdef) const {
  std::vector<int> out;
  int len = 0;
  const std::string& e = tdef.key_expr;
  for (size_t at = 0; at <= e.size();) {
    size_t plus = e.find('+', at);
    if (plus == std::string::npos) plus = e.size();
    size_t a = e.find_first_not_of(" \t", at), b = e.find_last_not_of(" \t", plus - 1);
    if (a == std::string::npos || a >= plus || b < a) return {};
    int f = table_->FieldIndex(e.substr(a, b - a + 1));
    if (f < 0 || table_->fields_[f].type != 'C') return {};
    out.push_back(f);
    len += table_->fields_[f].len;
    at = plus + 1;
  }
  if (len != tdef.key_len) return {};  // a tag made on another structure
  return out;
}

void IndexSet::NoteNamedFields(const TagDef& tdef, Tag* tag) const {
  // Expressions reach a record only through field names (there is no macro
  // substitution) and DELETED(): every word of the text that names a field
  // counts, even inside a string or as an alias, which can only make the
  // set larger than the truth, never smaller.
  tag->reads_known = true;
  tag->reads.fields.reset();
  tag->reads.deleted = false;
  for (const std::string* text : {&tdef.key_expr, &tdef.for_expr}) {
    const std::string& e = *text;
    for (size_t at = 0; at < e.size();) {
      unsigned char c = static_cast<unsigned char>(e[at]);
      if (!std::isalpha(c) && c != '_') {
        ++at;
        continue;
      }
      size_t end = at;
      while (end < e.size() && (std::isalnum(static_cast<unsigned char>(e[end])) || e[end] == '_')) ++end;
      std::string word = e.substr(at, end - at);
      int f = table_->FieldIndex(word);
      if (f >= static_cast<int>(tag->reads.fields.size())) tag->reads_known = false;
      if (f >= 0 && tag->reads_known) tag->reads.fields.set(static_cast<size_t>(f));
      if (strcasecmp(word.c_str(), "DELETED") == 0) tag->reads.deleted = true;
      at = end;
    }
  }
}

std::vector<TagInfo> IndexSet::Infos() const {
  std::vector<TagInfo> out;
  for (const auto& t : tags_) {
    const TagDef& s = t.cdx->def();
    out.push_back(TagInfo{s.name, s.key_expr, s.for_expr, s.descending,
                          static_cast<char>(KeyTypeOf(t.key->result_type())), s.key_len});
  }
  return out;
}

int IndexSet::FindTag(const std::string& name) const {
  for (size_t i = 0; i < tags_.size(); ++i)
    if (strcasecmp(tags_[i].cdx->def().name.c_str(), name.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

IndexSet::ReadFields IndexSet::ChangedFields(const std::string& a, const std::string& b) const {
  ReadFields changed;
  changed.deleted = a[0] != b[0];
  const FieldList& fields = table_->fields_;
  const size_t n = std::min(fields.size(), changed.fields.size());
  for (size_t f = 0; f < n; ++f) {
    const FieldDef& fd = fields[f];
    if (std::memcmp(a.data() + fd.offset, b.data() + fd.offset, fd.len) != 0) changed.fields.set(f);
  }
  return changed;
}

namespace {

// Whether a change that touched `changed` reaches anything `read` names.
bool Touches(const IndexSet::ReadFields& read, const IndexSet::ReadFields& changed) {
  return (read.deleted && changed.deleted) || (read.fields & changed.fields).any();
}

}  // namespace

Status IndexSet::KeyFor(int i, const std::string& rec, std::string* key, bool* in_tag,
                        ReadFields* read) const {
  const Tag& t = tags_[i];
  *in_tag = true;
  if (t.cond) {
    RecordSource src(table_->fields_, rec, read);
    auto c = t.cond->Evaluate(src);
    if (!c.ok()) return c.status().With(Describe(table_->path_, t.cdx->def()) + " FOR");
    if (c->type() != Value::Type::kLogical)
      return Status::InvalidArgument(Describe(table_->path_, t.cdx->def()) +
                                     ": FOR condition is not logical");
    *in_tag = c->logical();
    if (!*in_tag) return Status::OK();
  }
  return KeyOf(i, rec, key, read);
}

bool IndexSet::PlainKeyIs(int i, const std::string& rec, const std::string& key) const {
  const Tag& t = tags_[i];
  if (t.plain_fields.empty() || t.cond) return false;
  size_t at = 0;
  for (int f : t.plain_fields) {
    const FieldDef& fd = table_->fields_[f];
    if (at + fd.len > key.size() || std::memcmp(rec.data() + fd.offset, key.data() + at, fd.len) != 0)
      return false;
    at += fd.len;
  }
  return at == key.size();
}

Status IndexSet::KeyOf(int i, const std::string& rec, std::string* key, ReadFields* read) const {
  const Tag& t = tags_[i];
  if (!t.plain_fields.empty()) {
    // What the expression would give: the fields' bytes, joined.
    key->clear();
    for (int f : t.plain_fields) {
      const FieldDef& fd = table_->fields_[f];
      key->append(rec, fd.offset, fd.len);
      if (read) read->fields.set(static_cast<size_t>(f));
    }
    return Status::OK();
  }
  RecordSource src(table_->fields_, rec, read);
  auto v = t.key->Evaluate(src);
  if (!v.ok()) return v.status().With(Describe(table_->path_, t.cdx->def()));
  const TagDef& tdef = t.cdx->def();
  if (v->is_char() && static_cast<int>(v->str().size()) > tdef.key_len)
    return Status::InvalidArgument(Describe(table_->path_, tdef) + ": key of " +
                                   std::to_string(v->str().size()) +
                                   " bytes is longer than the tag's " +
                                   std::to_string(tdef.key_len));
  auto k = EncodeKey(*v, KeyTypeOf(t.key->result_type()), tdef.key_len);
  if (!k.ok()) return k.status().With(Describe(table_->path_, tdef));
  *key = std::move(*k);
  return Status::OK();
}

Status IndexSet::Update(uint32_t recno, const std::string* old_rec, const std::string& new_rec,
                        std::initializer_list<TableWrite> writes, bool blank_keys_may_fail) {
  // The keys of every change are kept from call to call (their room is
  // reused): a record change allocates nothing once warmed up.
  if (changes_.size() < tags_.size()) changes_.resize(tags_.size());
  size_t used = 0;
  // Compared once for every tag: a tag is left alone when nothing its
  // expressions read has changed.
  const ReadFields changed = old_rec ? ChangedFields(*old_rec, new_rec) : ReadFields{};
  for (int i = 0; i < tag_count(); ++i) {
    Change& c = changes_[used];
    c.tag = i;
    bool old_in = false, new_in = false;
    const Tag& t = tags_[i];
    // Nothing the expressions name has changed: the tag stays as it is.
    if (old_rec && t.reads_known && !Touches(t.reads, changed)) continue;
    if (old_rec) {
      ReadFields read;
      Status s = KeyFor(i, *old_rec, &c.old_key, &old_in, &read);
      // An old key that cannot be computed cannot be in the tag either.
      if (!s.ok()) {
        old_in = false;
      } else if (!Touches(read, changed)) {
        // Nothing the key and FOR condition read has changed: neither have they.
        continue;
      }
    }
    Status s = KeyFor(i, new_rec, &c.new_key, &new_in);
    if (!s.ok() && blank_keys_may_fail) continue;
    if (!s.ok()) return s.With("record " + std::to_string(recno));
    if (old_in && new_in && c.old_key == c.new_key) continue;
    c.remove = old_in;
    c.insert = new_in;
    if (c.remove || c.insert) ++used;
  }
  XB_RETURN_IF_ERROR(Lock());
  Status s = cdx_->Refresh();
  for (size_t k = 0; k < used && s.ok(); ++k) {
    const Change& c = changes_[k];
    CdxTag* tag = tags_[c.tag].cdx;
    if (c.remove) {
      s = tag->Remove(c.old_key, recno);
      if (s.IsNotFound()) s = Status::OK();  // already gone: nothing to undo
    }
    if (s.ok() && c.insert) {
      s = tag->Insert(c.new_key, recno);
      // Already there (an undo after a crash between data and index): done.
      if (s.code() == Code::kExists) s = Status::OK();
    }
    if (!s.ok()) s = s.With(Describe(table_->path_, tag->def()) + " record " + std::to_string(recno));
  }
  // The record goes out even when a tag failed (the table is what counts;
  // `reindex` mends the tag), in the same commit as the entries.
  for (const auto& w : writes) cdx_->AddTableWrite(w.off, w.bytes, w.saved);
  Status u = cdx_->UnlockWrite();
  return s.ok() ? u : s;
}

Status IndexSet::Remove(uint32_t recno, const std::string& rec,
                        std::initializer_list<TableWrite> writes) {
  XB_RETURN_IF_ERROR(Lock());
  Status s = cdx_->Refresh();
  for (int i = 0; i < tag_count() && s.ok(); ++i) {
    std::string key;
    bool in = false;
    if (!KeyFor(i, rec, &key, &in).ok() || !in) continue;
    s = tags_[i].cdx->Remove(key, recno);
    if (s.IsNotFound()) s = Status::OK();
  }
  for (const auto& w : writes) cdx_->AddTableWrite(w.off, w.bytes, w.saved);
  Status u = cdx_->UnlockWrite();
  return s.ok() ? u : s;
}

Status IndexSet::Lock() {
  // Writers hold the index lock only while they update the tree (a few
  // hundred microseconds): waiting here is what every xBase engine does.
  for (int i = 0;; ++i) {
    Status s = cdx_->LockWrite();
    if (!s.IsBusy() || i >= 20000) return s;
    std::this_thread::sleep_for(std::chrono::microseconds(i < 100 ? 50 : 250));
  }
}

Status IndexSet::SetOrder(int i) {
  if (i < 0 || i >= tag_count()) {
    order_ = -1;
    cursor_.reset();
    return Status::OK();
  }
  order_ = i;
  cursor_ = tags_[i].cdx->NewCursor();
  between_ = false;
  scope_top_.reset();
  scope_bottom_.reset();
  return Status::OK();
}

Status IndexSet::SetScope(const std::optional<std::string>& top,
                          const std::optional<std::string>& bottom) {
  scope_top_ = top;
  scope_bottom_ = bottom;
  return Status::OK();
}

int IndexSet::ScopeSide(const std::string& key) const {
  bool desc = tags_[order_].cdx->def().descending;
  if (scope_top_) {
    int c = key.compare(0, scope_top_->size(), *scope_top_);
    if (desc ? c > 0 : c < 0) return -1;
  }
  if (scope_bottom_) {
    int c = key.compare(0, scope_bottom_->size(), *scope_bottom_);
    if (desc ? c < 0 : c > 0) return 1;
  }
  return 0;
}

Status IndexSet::Settle(bool forward, uint32_t* recno) {
  *recno = 0;
  if (!cursor_->Valid()) return Status::OK();
  // Moving towards the scope from outside it (from a record the scope leaves
  // out, or a soft seek below it) enters the scope at its near end; moving
  // away from it is the end of the walk.
  int side = ScopeSide(cursor_->key());
  if (side < 0 && forward) {
    XB_RETURN_IF_ERROR(SeekTop());
  } else if (side > 0 && !forward) {
    XB_RETURN_IF_ERROR(SeekBottom());
  } else if (side != 0) {
    return Status::OK();
  }
  if (cursor_->Valid() && ScopeSide(cursor_->key()) == 0) *recno = cursor_->recno();
  return Status::OK();
}

Status IndexSet::SeekTop() {
  between_ = false;
  walk_steps_ = 0;
  if (!scope_top_) return cursor_->First();
  bool found = false;
  return cursor_->Seek(*scope_top_, true, false, &found);
}

Status IndexSet::SeekBottom() {
  between_ = false;
  walk_steps_ = 0;
  if (!scope_bottom_) return cursor_->Last();
  bool found = false;
  XB_RETURN_IF_ERROR(cursor_->Seek(*scope_bottom_, true, true, &found));
  if (found) return Status::OK();
  return cursor_->Valid() ? cursor_->Prev() : cursor_->Last();
}

Status IndexSet::Top(uint32_t* recno) {
  XB_RETURN_IF_ERROR(cdx_->Refresh());
  XB_RETURN_IF_ERROR(SeekTop());
  return Settle(true, recno);
}

Status IndexSet::Bottom(uint32_t* recno) {
  XB_RETURN_IF_ERROR(cdx_->Refresh());
  XB_RETURN_IF_ERROR(SeekBottom());
  return Settle(false, recno);
}

Status IndexSet::Next(uint32_t* recno, bool fresh) {
  if (!fresh) XB_RETURN_IF_ERROR(cdx_->Refresh());
  if (between_) {
    // Sync left the cursor on the entry after the record: that is the step.
    between_ = false;
    return Settle(true, recno);
  }
  if (!cursor_->Valid()) { *recno = 0; return Status::OK(); }
  XB_RETURN_IF_ERROR(cursor_->Next());
  PrefetchAhead(true);
  return Settle(true, recno);
}

Status IndexSet::Prev(uint32_t* recno, bool fresh) {
  if (!fresh) XB_RETURN_IF_ERROR(cdx_->Refresh());
  if (between_) {
    // From the entry after the record (or past the end) one step back is
    // the entry before it.
    between_ = false;
    XB_RETURN_IF_ERROR(cursor_->Prev());
    return Settle(false, recno);
  }
  if (!cursor_->Valid()) { *recno = 0; return Status::OK(); }
  XB_RETURN_IF_ERROR(cursor_->Prev());
  PrefetchAhead(false);
  return Settle(false, recno);
}

void IndexSet::PrefetchAhead(bool forward) {
  // A walk in key order reads records scattered over the table; a large
  // table's records are far apart in memory, and each read would wait for
  // it: for the translation of its address first (the table spans many more
  // pages than the processor keeps translations for) and then for the
  // memory. Asked for a few steps early, one a step, each request still
  // waited for its translation before the step could go on, one after the
  // other. Asked for eight at a time, every eighth step, the translations
  // and reads of the eight overlap (a million records in key order: the
  // scans a sixth faster).
  constexpr int kAhead = 4, kBatch = 8;
  // A small table stays in the processor's caches: nothing to hide.
  if (uint64_t{table_->count_} * table_->record_len_ < (8u << 20)) return;
  if (walk_steps_++ % kBatch != 0) return;
  for (int k = kAhead; k < kAhead + kBatch; ++k) {
    uint32_t r = cursor_->Upcoming(forward ? k : -k);
    if (r != 0) table_->file_->Prefetch(table_->RecordOffset(r), table_->record_len_);
  }
}

Status IndexSet::Seek(const std::string& key, bool soft, bool last, uint32_t* recno, bool* found) {
  XB_RETURN_IF_ERROR(cdx_->Refresh());
  between_ = false;
  walk_steps_ = 0;
  XB_RETURN_IF_ERROR(cursor_->Seek(key, soft, last, found));
  // A seek for the last match walks the tag backwards.
  return Settle(!last, recno);
}

Status IndexSet::Sync(uint32_t recno, const std::string& rec, bool* present, bool* fresh) {
  *present = false;
  if (fresh) *fresh = false;
  between_ = false;
  if (order_ < 0) return Status::OK();
  if (cursor_->Valid() && cursor_->recno() == recno && PlainKeyIs(order_, rec, cursor_->key())) {
    // Standing on the record's entry and the record still has that key (the
    // usual case while skipping): the key need not be built to know it.
    XB_RETURN_IF_ERROR(cdx_->Refresh());
    if (fresh) *fresh = true;
    *present = true;
    return Status::OK();
  }
  std::string& key = sync_key_;  // runs at every step of a walk: no allocation
  bool in_tag = false;
  XB_RETURN_IF_ERROR(KeyFor(order_, rec, &key, &in_tag));
  // A record the FOR condition leaves out still has a key, and the key says
  // where a walk from it goes on. Without one the cursor stays put.
  if (!in_tag && !KeyOf(order_, rec, &key).ok()) return Status::OK();
  XB_RETURN_IF_ERROR(cdx_->Refresh());
  if (fresh) *fresh = true;
  if (cursor_->Valid() && cursor_->recno() == recno) {
    // Already standing on the record's entry (the usual case while skipping):
    // no need to search the tree again. A cursor whose pages another user
    // changed finds its place again by this same key and record on its next step.
    if (in_tag && cursor_->key() == key) {
      *present = true;
      return Status::OK();
    }
    // On an entry of this record under another key. When that entry is gone,
    // the record moved (our change or another user's) and the walk goes on
    // from its new key. When it is still there, the record disagrees with its
    // entry (a change stopped between the record and the index): it stays
    // where its entry is, so a walk neither repeats nor skips records.
    std::string entry_key = cursor_->key();
    Status s = cursor_->SeekEntry(entry_key, recno);
    if (s.ok()) {
      *present = true;
      return Status::OK();
    }
    if (!s.IsNotFound()) return s;
  }
  Status s = cursor_->SeekEntry(key, recno);
  if (s.IsNotFound()) {
    between_ = true;
    return Status::OK();
  }
  XB_RETURN_IF_ERROR(s);
  *present = true;
  return Status::OK();
}

Result<std::string> IndexSet::EncodeSeekKey(const Value& v) const {
  if (order_ < 0) return Status::InvalidArgument(table_->path_ + ": no controlling tag");
  const Tag& t = tags_[order_];
  KeyType type = KeyTypeOf(t.key->result_type());
  if (type == KeyType::kChar) {
    if (!v.is_char())
      return Status::InvalidArgument(Describe(table_->path_, t.cdx->def()) +
                                     ": seek needs a text key");
    std::string k = v.str();
    if (static_cast<int>(k.size()) > t.cdx->def().key_len) k.resize(t.cdx->def().key_len);
    return k;
  }
  Value val = v;
  if (type == KeyType::kNumber && !v.is_numeric())
    return Status::InvalidArgument(Describe(table_->path_, t.cdx->def()) + ": seek needs a number");
  if (type == KeyType::kDate && v.type() != Value::Type::kDate)
    return Status::InvalidArgument(Describe(table_->path_, t.cdx->def()) + ": seek needs a date");
  if (type == KeyType::kLogical && v.type() != Value::Type::kLogical)
    return Status::InvalidArgument(Describe(table_->path_, t.cdx->def()) + ": seek needs a logical");
  return EncodeKey(val, type, t.cdx->def().key_len);
}

Status IndexSet::AddEmptyTag(const TagDef& def_in, const Expression& key) {
  TagDef tdef = def_in;
  tdef.key_type = KeyTypeOf(key.result_type());
  tdef.key_len = KeyLenOf(key);
  if (tdef.key_len <= 0 || tdef.key_len > 240)
    return Status::InvalidArgument(Describe(table_->path_, tdef) + ": key length " +
                                   std::to_string(tdef.key_len) + " is not between 1 and 240");
  int existing = FindTag(tdef.name);
  if (existing >= 0) {
    if (order_ == existing) SetOrder(-1);
    tags_.erase(tags_.begin() + existing);
  }
  XB_RETURN_IF_ERROR(Lock());
  auto added = cdx_->AddTag(tdef);
  Status s = added.ok() ? Status::OK() : added.status();
  Status u = cdx_->UnlockWrite();
  XB_RETURN_IF_ERROR(s);
  XB_RETURN_IF_ERROR(u);
  // The directory may have been rewritten: rebind every tag pointer.
  std::string order_name = order_ >= 0 ? tags_[order_].cdx->def().name : "";
  XB_RETURN_IF_ERROR(BindTags());
  if (!order_name.empty()) SetOrder(FindTag(order_name));
  if (FindTag(tdef.name) < 0)
    return Status::Corrupt(Describe(table_->path_, tdef) + ": tag vanished after creation");
  return Status::OK();
}

Status IndexSet::AddTag(const TagDef& tdef, std::unique_ptr<Expression> key,
                        std::unique_ptr<Expression> cond) {
  (void)cond;
  XB_RETURN_IF_ERROR(AddEmptyTag(tdef, *key));
  std::string order_name = order_ >= 0 ? tags_[order_].cdx->def().name : "";
  XB_RETURN_IF_ERROR(BuildTag(FindTag(tdef.name), table_->file_.get(), table_->count_));
  if (!order_name.empty()) SetOrder(FindTag(order_name));
  return Status::OK();
}

std::vector<TagDef> IndexSet::Defs() const {
  std::vector<TagDef> out;
  for (const auto& t : tags_) out.push_back(t.cdx->def());
  return out;
}

Status IndexSet::BuildFile(Table* t, const std::string& path, const std::vector<TagDef>& defs,
                           File* records, uint32_t count) {
  auto cdx = CdxFile::Create(t->env_, path, true);
  if (!cdx.ok()) return cdx.status();
  IndexSet ix(t, std::move(*cdx));
  for (const TagDef& d : defs) {
    auto key = Expression::Compile(d.key_expr, t->fields_);
    if (!key.ok()) return key.status().With(Describe(t->path_, d));
    if (!d.for_expr.empty()) {
      auto cond = Expression::Compile(d.for_expr, t->fields_);
      if (!cond.ok()) return cond.status().With(Describe(t->path_, d) + " FOR");
    }
    XB_RETURN_IF_ERROR(ix.AddEmptyTag(d, **key));
    XB_RETURN_IF_ERROR(ix.BuildTag(ix.FindTag(d.name), records, count));
  }
  XB_RETURN_IF_ERROR(ix.cdx_->Sync());
  // Nobody else has seen the new file: the rollback journal its building
  // left beside it has nothing to protect.
  ix.cdx_.reset();
  std::string journal = path + "-journal";
  if (t->env_->Exists(journal)) (void)t->env_->Remove(journal);
  return Status::OK();
}

Status IndexSet::DeleteTag(int i) {
  std::string name = tags_[i].cdx->def().name;
  std::string order_name = order_ >= 0 ? tags_[order_].cdx->def().name : "";
  if (order_ == i) order_name.clear();
  SetOrder(-1);
  XB_RETURN_IF_ERROR(Lock());
  Status s = cdx_->DeleteTag(name);
  Status u = cdx_->UnlockWrite();
  XB_RETURN_IF_ERROR(s);
  XB_RETURN_IF_ERROR(u);
  XB_RETURN_IF_ERROR(BindTags());
  if (!order_name.empty()) SetOrder(FindTag(order_name));
  return Status::OK();
}

Status IndexSet::BuildTag(int i, File* records, uint32_t count) {
  std::vector<std::pair<std::string, uint32_t>> entries;
  const uint32_t n = count;
  entries.reserve(n);
  const uint16_t rl = table_->record_len_;
  const uint32_t chunk = std::max<uint32_t>(1, (1u << 20) / rl);
  std::string buf(static_cast<size_t>(chunk) * rl, '\0');
  std::string rec(rl, '\0');
  for (uint32_t first = 1; first <= n; first += chunk) {
    uint32_t m = std::min(chunk, n - first + 1);
    XB_RETURN_IF_ERROR(
        records->ReadExact(table_->RecordOffset(first), buf.data(), static_cast<size_t>(m) * rl));
    for (uint32_t j = 0; j < m; ++j) {
      rec.assign(buf.data() + static_cast<size_t>(j) * rl, rl);
      std::string key;
      bool in = false;
      Status s = KeyFor(i, rec, &key, &in);
      if (!s.ok()) return s.With("record " + std::to_string(first + j));
      if (in) entries.emplace_back(std::move(key), first + j);
    }
  }
  std::sort(entries.begin(), entries.end());
  XB_RETURN_IF_ERROR(Lock());
  Status s = tags_[i].cdx->Build(entries);
  Status u = cdx_->UnlockWrite();
  XB_RETURN_IF_ERROR(s);
  return u;
}

Status IndexSet::Rebuild() {
  for (int i = 0; i < tag_count(); ++i)
    XB_RETURN_IF_ERROR(BuildTag(i, table_->file_.get(), table_->count_));
  if (order_ >= 0) cursor_ = tags_[order_].cdx->NewCursor();
  between_ = false;
  return cdx_->Flush();
}

Status IndexSet::Reset() {
  XB_RETURN_IF_ERROR(Lock());
  Status s;
  for (auto& t : tags_) {
    s = t.cdx->Build({});
    if (!s.ok()) break;
  }
  Status u = cdx_->UnlockWrite();
  XB_RETURN_IF_ERROR(s);
  return u;
}

Status IndexSet::Flush() { return cdx_->Flush(); }

}  // namespace xb

// Index operations of a Table: controlling tag, seek, scope, tag management.
#include <strings.h>

#include "xbase/dbf_header.h"
#include "xbase/table.h"
#include "xbase/table_index.h"

namespace xb {

std::vector<TagInfo> Table::Tags() const { return index_ ? index_->Infos() : std::vector<TagInfo>{}; }

Status Table::SetOrder(const std::string& tag) {
  if (tag.empty()) return SetOrder(0);
  int i = index_ ? index_->FindTag(tag) : -1;
  if (i < 0) return Status::NotFound(path_ + ": no index tag " + tag);
  return SetOrder(i + 1);
}

Status Table::SetOrder(int n) {
  XB_RETURN_IF_ERROR(WriteBack());
  if (n == 0) {
    if (index_) index_->SetOrder(-1);
    return Status::OK();
  }
  if (!index_ || n < 0 || n > index_->tag_count())
    return Status::NotFound(path_ + ": no index tag number " + std::to_string(n));
  XB_RETURN_IF_ERROR(index_->SetOrder(n - 1));
  if (!eof_) {
    bool present = false;
    XB_RETURN_IF_ERROR(index_->Sync(recno_, rec_, &present));
  }
  return Status::OK();
}

std::string Table::Order() const {
  if (!index_ || index_->order() < 0) return "";
  return index_->tag(index_->order()).cdx->def().name;
}

Status Table::Seek(const Value& key, bool soft, bool last) {
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  if (!index_ || index_->order() < 0)
    return Status::InvalidArgument(path_ + ": seek needs a controlling tag");
  auto k = index_->EncodeSeekKey(key);
  if (!k.ok()) return k.status();
  uint32_t r = 0;
  bool found = false;
  XB_RETURN_IF_ERROR(index_->Seek(*k, soft, last, &r, &found));
  // Hidden (deleted) entries do not count: move on while they are in the way.
  while (r != 0) {
    XB_RETURN_IF_ERROR(LoadRecord(r));
    if (!eof_ && !Hidden()) break;
    XB_RETURN_IF_ERROR(last ? index_->Prev(&r) : index_->Next(&r));
  }
  if (r == 0) {
    XB_RETURN_IF_ERROR(RefreshCount());
    SetEof();
    return Status::OK();
  }
  if (found) {
    auto cur = CurrentKey();
    found = cur.ok() && cur->compare(0, k->size(), *k) == 0;
  }
  found_ = found;
  if (!found && !soft) {
    XB_RETURN_IF_ERROR(RefreshCount());
    SetEof();
  }
  return Status::OK();
}

Status Table::SetScope(const std::optional<Value>& top, const std::optional<Value>& bottom) {
  if (!index_ || index_->order() < 0)
    return Status::InvalidArgument(path_ + ": a scope needs a controlling tag");
  std::optional<std::string> t, b;
  if (top) {
    auto k = index_->EncodeSeekKey(*top);
    if (!k.ok()) return k.status();
    t = *k;
  }
  if (bottom) {
    auto k = index_->EncodeSeekKey(*bottom);
    if (!k.ok()) return k.status();
    b = *k;
  }
  return index_->SetScope(t, b);
}

Status Table::ClearScope() {
  if (index_ && index_->order() >= 0) return index_->SetScope(std::nullopt, std::nullopt);
  return Status::OK();
}

Table::ScopeKeys Table::SavedScope() const {
  if (!index_ || index_->order() < 0) return {};
  return ScopeKeys{index_->scope_top(), index_->scope_bottom()};
}

Status Table::RestoreScope(const ScopeKeys& s) {
  if (!index_ || index_->order() < 0) {
    if (s.top || s.bottom) return Status::InvalidArgument(path_ + ": a scope needs a controlling tag");
    return Status::OK();
  }
  return index_->SetScope(s.top, s.bottom);
}

Result<uint32_t> Table::KeyCount() {
  if (!index_ || index_->order() < 0) {
    // Record order: the visible records.
    XB_RETURN_IF_ERROR(RefreshCount());
    if (!DeletedHidden()) return count_;
  }
  XB_RETURN_IF_ERROR(WriteBack());
  uint32_t saved = eof_ ? 0 : recno_;
  uint32_t n = 0;
  XB_RETURN_IF_ERROR(GoTop());
  while (!eof_) {
    ++n;
    XB_RETURN_IF_ERROR(Skip(1));
  }
  if (saved) XB_RETURN_IF_ERROR(GoTo(saved));
  return n;
}

Result<std::string> Table::CurrentKey() {
  if (!index_ || index_->order() < 0)
    return Status::InvalidArgument(path_ + ": no controlling tag");
  std::string key;
  bool in = false;
  XB_RETURN_IF_ERROR(index_->KeyFor(index_->order(), rec_, &key, &in));
  if (!in) return std::string();
  return key;
}

Status Table::CreateTag(const std::string& name, const std::string& key_expr,
                        const std::string& for_expr, bool descending) {
  XB_RETURN_IF_ERROR(RequireWritable("create a tag"));
  if (!exclusive_ && !file_locked_)
    return Status::InvalidArgument(path_ + ": creating a tag needs the table exclusive or locked");
  if (name.empty() || name.size() > 10)
    return Status::InvalidArgument(path_ + ": tag names have 1 to 10 characters");
  XB_RETURN_IF_ERROR(WriteBack());
  auto key = Expression::Compile(key_expr, fields_);
  if (!key.ok()) return key.status().With(path_ + ": tag " + name);
  std::unique_ptr<Expression> cond;
  if (!for_expr.empty()) {
    auto c = Expression::Compile(for_expr, fields_);
    if (!c.ok()) return c.status().With(path_ + ": tag " + name + " FOR");
    if (c->get()->result_type() != Value::Type::kLogical)
      return Status::InvalidArgument(path_ + ": tag " + name + ": FOR \"" + for_expr +
                                     "\" is not a logical condition");
    cond = std::move(*c);
  }
  // A structural index left closed (open_index = false) still holds the
  // table's tags, and other users may have it open: add to it, never start
  // it over.
  if (!index_) XB_RETURN_IF_ERROR(OpenIndex(false));
  if (!index_) {
    auto ix = IndexSet::Create(this, ReplaceExtension(path_, ".CDX"));
    if (!ix.ok()) return ix.status();
    index_ = std::move(*ix);
    header_flags_ |= kHeaderFlagStructuralIndex;
    XB_RETURN_IF_ERROR(file_->WriteAt(28, &header_flags_, 1));
  }
  XB_RETURN_IF_ERROR(RefreshCount());
  TagDef tdef;
  tdef.name = name;
  for (char& c : tdef.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  tdef.key_expr = key_expr;
  tdef.for_expr = for_expr;
  tdef.descending = descending;
  return index_->AddTag(tdef, std::move(*key), std::move(cond));
}

Status Table::DeleteTag(const std::string& name) {
  XB_RETURN_IF_ERROR(RequireWritable("delete a tag"));
  if (!exclusive_ && !file_locked_)
    return Status::InvalidArgument(path_ + ": deleting a tag needs the table exclusive or locked");
  int i = index_ ? index_->FindTag(name) : -1;
  if (i < 0) return Status::NotFound(path_ + ": no index tag " + name);
  XB_RETURN_IF_ERROR(WriteBack());
  return index_->DeleteTag(i);
}

Status Table::Check(std::vector<std::string>* problems) {
  if (!index_) return Status::OK();
  XB_RETURN_IF_ERROR(WriteBack());
  XB_RETURN_IF_ERROR(RefreshCount());
  return index_->Check(problems);
}

}  // namespace xb

// CdxFile: the tag directory and tag headers (loading, adding, deleting
// tags), and opening or creating an index.
#include <algorithm>
#include <cctype>

#include "xbase/cdx_impl.h"

namespace xb {
namespace cdx {
namespace {

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

// The header of a new structural index: the tag directory with 10-byte tag
// names, written the way Harbour's DBFCDX writes it.
void DirectoryHeader(uint8_t* h, uint32_t root) {
  std::memset(h, 0, kHeaderSize);
  PutLE32(h + kHdrRoot, root);
  PutLE16(h + kHdrKeyLen, kMaxTagName);
  h[kHdrOptions] = kOptCompact | kOptCompound | kOptStructure;
  h[kHdrSignature] = 1;
  PutLE16(h + kHdrHeaderLen, kHeaderSize);
  PutLE16(h + kHdrPageLen, kPageSize);
  std::memcpy(h + kHdrCollation, "RCHB", 4);
  PutLE16(h + kHdrForPos, 1);
  PutLE16(h + kHdrForLen, 1);
  PutLE16(h + kHdrKeyPos, 0);
  PutLE16(h + kHdrKeyExprLen, 1);
}

void TagHeader(const TagDef& tdef, uint8_t* h) {
  std::memset(h, 0, kHeaderSize);
  PutLE16(h + kHdrKeyLen, static_cast<uint16_t>(tdef.key_len));
  h[kHdrOptions] =
      static_cast<uint8_t>(kOptCompact | kOptCompound | (tdef.unique ? kOptUnique : 0) |
                           (tdef.for_expr.empty() ? 0 : kOptFor));
  h[kHdrSignature] = 1;
  PutLE16(h + kHdrHeaderLen, kHeaderSize);
  PutLE16(h + kHdrPageLen, kPageSize);
  PutLE16(h + kHdrDescending, tdef.descending ? 1 : 0);
  size_t klen = tdef.key_expr.size() + 1, flen = tdef.for_expr.size() + 1;
  std::memcpy(h + kHdrPool, tdef.key_expr.data(), tdef.key_expr.size());
  std::memcpy(h + kHdrPool + klen, tdef.for_expr.data(), tdef.for_expr.size());
  PutLE16(h + kHdrKeyPos, 0);
  PutLE16(h + kHdrKeyExprLen, static_cast<uint16_t>(klen));
  PutLE16(h + kHdrForPos, static_cast<uint16_t>(klen));
  PutLE16(h + kHdrForLen, static_cast<uint16_t>(flen));
}

}  // namespace

CdxTag* FileImpl::FindTag(const std::string& name) {
  std::string u = Upper(name);
  for (auto& t : tags_) {
    if (t->def().name == u) return t.get();
  }
  return nullptr;
}

Status FileImpl::LoadTags() {
  DropCache();
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  if (size < kHeaderSize + kPageSize) {
    return Status::Corrupt(path() + ": too short for a compound index (" + std::to_string(size) +
                           " bytes)");
  }
  file_end_ = RoundUpToPage(size);
  uint8_t h[kHeaderSize];
  XB_RETURN_IF_ERROR(file_->ReadExact(0, h, kHeaderSize));
  free_head_ = GetLE32(h + kHdrFree);
  version_ = GetBE32(h + kHdrVersion);
  header_pages_ = {0, kPageSize};
  if (!dir_) {
    dir_ = std::make_unique<TagImpl>(this, 0, h);
  } else {
    dir_->ReplaceHeader(h);
  }
  dir_->mutable_spec().name = "";
  XB_RETURN_IF_ERROR(dir_->CheckUsable());

  // Walk the directory: tag names with the offsets of their headers.
  std::vector<std::pair<std::string, uint32_t>> found;
  Pos p;
  bool valid = false;
  XB_RETURN_IF_ERROR(dir_->Edge(false, &p));
  XB_RETURN_IF_ERROR(dir_->Normalize(&p, &valid));
  while (valid) {
    std::string name(p.leaf->key(p.idx), static_cast<size_t>(dir_->klen()));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    uint32_t off = p.leaf->recs[p.idx];
    if (name.empty() || off % kPageSize != 0 || off < kHeaderSize || off + kHeaderSize > size) {
      return Status::Corrupt(path() + ": tag directory: entry '" + name + "' points to " +
                             HexOffset(off) + ", not a tag header");
    }
    for (auto& f : found) {
      if (f.second == off) {
        return Status::Corrupt(path() + ": tag directory: two tags share the header at " +
                               HexOffset(off));
      }
    }
    found.emplace_back(Upper(name), off);
    XB_RETURN_IF_ERROR(dir_->Forward(&p, &valid));
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.second < b.second; });
  for (auto& f : found) {
    header_pages_.insert(f.second);
    header_pages_.insert(f.second + kPageSize);
  }

  // Reuse the tag objects callers may hold; tags gone from the file stay
  // alive but dropped.
  std::vector<std::unique_ptr<TagImpl>> old = std::move(tags_);
  tags_.clear();
  for (auto& f : found) {
    XB_RETURN_IF_ERROR(file_->ReadExact(f.second, h, kHeaderSize));
    std::unique_ptr<TagImpl> t;
    for (auto& o : old) {
      if (o && o->header_off() == f.second && o->def().name == f.first) {
        t = std::move(o);
        break;
      }
    }
    if (t) {
      t->ReplaceHeader(h);
    } else {
      t = std::make_unique<TagImpl>(this, f.second, h);
    }
    t->mutable_spec().name = f.first;
    Status s = t->CheckUsable();
    tags_.push_back(std::move(t));
    XB_RETURN_IF_ERROR(s);
  }
  for (auto& o : old) {
    if (o) {
      o->set_dropped();
      dropped_.push_back(std::move(o));
    }
  }
  return Status::OK();
}

Result<CdxTag*> FileImpl::AddTag(const TagDef& in) {
  TagDef tdef = in;
  tdef.name = Upper(tdef.name);
  if (tdef.name.empty() || tdef.name.size() > kMaxTagName) {
    return Status::InvalidArgument(path() + ": tag name '" + tdef.name +
                                   "' must have 1 to 10 characters");
  }
  for (char c : tdef.name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
      return Status::InvalidArgument(path() + ": bad tag name '" + tdef.name + "'");
    }
  }
  if (tdef.key_len < 1 || tdef.key_len > kMaxKeyLen) {
    return Status::InvalidArgument(path() + ": tag " + tdef.name + ": key length " +
                                   std::to_string(tdef.key_len) + " is not 1 to 240");
  }
  if (tdef.key_expr.size() + tdef.for_expr.size() + 2 > static_cast<size_t>(kExprPool)) {
    return Status::InvalidArgument(path() + ": tag " + tdef.name + ": expressions too long");
  }
  TagImpl* added = nullptr;
  Status s = Write([&]() -> Status {
    for (auto& t : tags_) {
      if (t->def().name == tdef.name) {
        XB_RETURN_IF_ERROR(DoDeleteTag(t.get()));
        break;
      }
    }
    auto hoff = AllocHeader();
    if (!hoff.ok()) return hoff.status();
    uint8_t h[kHeaderSize];
    TagHeader(tdef, h);
    auto t = std::make_unique<TagImpl>(this, *hoff, h);
    t->mutable_spec().name = tdef.name;
    t->SetKeyType(tdef.key_type);
    t->mark_header_dirty();
    XB_RETURN_IF_ERROR(t->InitEmpty());
    std::string dkey = tdef.name;
    dkey.resize(static_cast<size_t>(dir_->klen()), dir_->pad());
    XB_RETURN_IF_ERROR(dir_->DoInsert(dkey, *hoff));
    added = t.get();
    tags_.push_back(std::move(t));
    ++gen_;
    return Status::OK();
  });
  if (!s.ok()) return s;
  return static_cast<CdxTag*>(added);
}

Status FileImpl::DoDeleteTag(TagImpl* t) {
  std::string dkey = t->def().name;
  dkey.resize(static_cast<size_t>(dir_->klen()), dir_->pad());
  XB_RETURN_IF_ERROR(dir_->DoRemove(dkey, t->header_off()));
  std::vector<uint32_t> pages;
  Status s = t->CollectPages(&pages);
  if (s.ok()) {
    for (uint32_t p : pages) FreePage(p);
  }
  // A broken tree cannot be walked: leave its pages unused rather than
  // freeing pages that might belong to another tag.
  FreePage(t->header_off());
  FreePage(t->header_off() + kPageSize);
  t->set_dropped();
  for (auto it = tags_.begin(); it != tags_.end(); ++it) {
    if (it->get() == t) {
      dropped_.push_back(std::move(*it));
      tags_.erase(it);
      break;
    }
  }
  ++gen_;
  return Status::OK();
}

Status FileImpl::DeleteTag(const std::string& name) {
  std::string u = Upper(name);
  return Write([&]() -> Status {
    for (auto& t : tags_) {
      if (t->def().name == u) return DoDeleteTag(t.get());
    }
    return Status::NotFound(path() + ": no tag " + u);
  });
}

}  // namespace cdx

Result<std::unique_ptr<CdxFile>> CdxFile::Open(Env* env, const std::string& path, OpenMode mode) {
  auto f = env->Open(path, mode);
  if (!f.ok()) return f.status();
  auto impl =
      std::make_unique<cdx::FileImpl>(env, std::move(f.value()), mode == OpenMode::kReadOnly);
  XB_RETURN_IF_ERROR(impl->RecoverIfInterrupted());
  XB_RETURN_IF_ERROR(impl->Load());
  return std::unique_ptr<CdxFile>(std::move(impl));
}

Result<std::unique_ptr<CdxFile>> CdxFile::Create(Env* env, const std::string& path, bool truncate) {
  using namespace cdx;
  auto f = env->Create(path, truncate);
  if (!f.ok()) return f.status();
  File* file = f.value().get();
  XB_RETURN_IF_ERROR(file->Lock(kLockOffset, 1, true));
  uint8_t buf[kHeaderSize + kPageSize];
  DirectoryHeader(buf, kHeaderSize);
  Node root;
  root.attr = kAttrRoot | kAttrLeaf;
  root.klen = kMaxTagName;
  EncodeNode(root, ' ', buf + kHeaderSize);
  Status s = file->Truncate(0);
  if (s.ok()) s = file->WriteAt(0, buf, sizeof buf);
  (void)file->Unlock(kLockOffset, 1);
  XB_RETURN_IF_ERROR(s);
  auto impl = std::make_unique<FileImpl>(env, std::move(f.value()), false);
  XB_RETURN_IF_ERROR(impl->Load());
  return std::unique_ptr<CdxFile>(std::move(impl));
}

}  // namespace xb

// CdxCursor: walks a tag in its logical order. The cursor keeps the leaf it
// stands on; while the file's cache generation is unchanged a step is a
// move inside that leaf or to its sibling, with no system call. After a
// change (ours or, after Refresh, another process's) it finds its entry again
// by key and record number.
#include "xbase/cdx_impl.h"

namespace xb::cdx {

void CursorImpl::SetOn(const Pos& p) {
  pos_ = p;
  key_.assign(p.leaf->key(p.idx), static_cast<size_t>(tag_->klen()));
  rec_ = p.leaf->recs[p.idx];
  gen_ = tag_->file()->gen();
  state_ = kOn;
}

void CursorImpl::SetOff(State s) {
  state_ = s;
  pos_ = Pos();
}

uint32_t CursorImpl::Upcoming(int ahead) const {
  if (state_ != kOn || gen_ != tag_->file()->gen()) return 0;
  int i = pos_.idx + (tag_->def().descending ? -ahead : ahead);
  const Node* leaf = pos_.leaf.get();
  if (i >= 0 && i < leaf->n()) return leaf->recs[i];
  // Into the next leaf when it is cached (never read for this).
  uint32_t next = i < 0 ? leaf->left : leaf->right;
  const Node* sib = next == kNoPage ? nullptr : tag_->file()->PeekNode(next);
  if (!sib || sib->owner != tag_ || !sib->leaf()) return 0;
  i = i < 0 ? sib->n() + i : i - leaf->n();
  return i >= 0 && i < sib->n() ? sib->recs[i] : 0;
}

Status CursorImpl::Relocate(Pos* pos, bool* exact) {
  Target& t = target_;
  t.mode = Target::kEntry;
  t.rec = rec_;
  t.key = key_;
  XB_RETURN_IF_ERROR(tag_->Find(t, pos));
  Pos q = *pos;
  bool valid;
  XB_RETURN_IF_ERROR(tag_->Normalize(&q, &valid));
  *exact = valid && CompareEntry(q.leaf->key(q.idx), q.leaf->recs[q.idx], key_.data(), rec_,
                                 tag_->klen()) == 0;
  if (*exact) *pos = q;
  return Status::OK();
}

Status CursorImpl::First() {
  return tag_->file()->Read([&]() -> Status {
    Pos p;
    bool valid;
    bool desc = tag_->def().descending;
    XB_RETURN_IF_ERROR(tag_->Edge(desc, &p));
    XB_RETURN_IF_ERROR(desc ? tag_->Back(&p, &valid) : tag_->Normalize(&p, &valid));
    if (valid) {
      SetOn(p);
    } else {
      SetOff(kAfterLast);
    }
    return Status::OK();
  });
}

Status CursorImpl::Last() {
  return tag_->file()->Read([&]() -> Status {
    Pos p;
    bool valid;
    bool desc = tag_->def().descending;
    XB_RETURN_IF_ERROR(tag_->Edge(!desc, &p));
    XB_RETURN_IF_ERROR(desc ? tag_->Normalize(&p, &valid) : tag_->Back(&p, &valid));
    if (valid) {
      SetOn(p);
    } else {
      SetOff(kAfterLast);
    }
    return Status::OK();
  });
}

Status CursorImpl::Next() {
  return Step(true);
}
Status CursorImpl::Prev() {
  return Step(false);
}

Status CursorImpl::StepStorage(bool forward, Pos* pos, bool* valid) {
  if (gen_ != tag_->file()->gen()) {
    bool exact;
    XB_RETURN_IF_ERROR(Relocate(pos, &exact));
    // Not there any more: the lower bound already is the entry after it.
    if (!exact) return forward ? tag_->Normalize(pos, valid) : tag_->Back(pos, valid);
  } else {
    *pos = pos_;
  }
  return forward ? tag_->Forward(pos, valid) : tag_->Back(pos, valid);
}

Status CursorImpl::Step(bool logical_forward) {
  if (state_ == kOn && gen_ == tag_->file()->gen()) {
    // Nothing cached changed since we stood here (another process's commit,
    // once Refresh has seen it, changes the generation too), and the entry
    // we go to lies in the leaf in hand: a move in memory. The tag was
    // usable when we got here, and dropping it would have changed the
    // generation.
    const bool forward = logical_forward != tag_->def().descending;
    const int i = pos_.idx + (forward ? 1 : -1);
    const Node* leaf = pos_.leaf.get();
    if (i >= 0 && i < leaf->n()) {
      pos_.idx = i;
      key_.assign(leaf->key(i), static_cast<size_t>(tag_->klen()));
      rec_ = leaf->recs[i];
      return Status::OK();
    }
  }
  if (state_ == kBeforeFirst) return logical_forward ? First() : Status::OK();
  if (state_ == kAfterLast) return logical_forward ? Status::OK() : Last();
  return tag_->file()->Read([&]() -> Status {
    XB_RETURN_IF_ERROR(tag_->CheckUsable());
    bool forward = logical_forward != tag_->def().descending;
    Pos p;
    bool valid;
    XB_RETURN_IF_ERROR(StepStorage(forward, &p, &valid));
    if (valid) {
      SetOn(p);
    } else {
      SetOff(logical_forward ? kAfterLast : kBeforeFirst);
    }
    return Status::OK();
  });
}

Status CursorImpl::DoSeek(const std::string& key, bool soft, bool last, bool* found) {
  bool asc = !tag_->def().descending;
  // The first match in storage order is found from the low bound, the last
  // one from the high bound. The target's room is kept from seek to seek.
  Target& t = target_;
  t.mode = asc == !last ? Target::kPrefixLow : Target::kPrefixHigh;
  t.rec = 0;
  t.key.assign(key, 0, static_cast<size_t>(tag_->klen()));
  const std::string& k = t.key;
  auto matches = [&](const Pos& p) {
    return std::memcmp(p.leaf->key(p.idx), k.data(), k.size()) == 0;
  };
  Pos p;
  bool valid = false;
  *found = false;
  if (asc == !last) {
    // The first match in storage order: the low bound.
    XB_RETURN_IF_ERROR(tag_->Find(t, &p));
    Pos q = p;
    XB_RETURN_IF_ERROR(tag_->Normalize(&q, &valid));
    if (valid && matches(q)) {
      *found = true;
      p = q;
    } else if (asc) {
      p = q;  // soft: the next key up
    } else {
      XB_RETURN_IF_ERROR(tag_->Back(&p, &valid));  // soft: the next key down
    }
  } else {
    // The last match in storage order: just before the high bound.
    XB_RETURN_IF_ERROR(tag_->Find(t, &p));
    Pos q = p;
    XB_RETURN_IF_ERROR(tag_->Back(&q, &valid));
    if (valid && matches(q)) {
      *found = true;
      p = q;
    } else if (asc) {
      XB_RETURN_IF_ERROR(tag_->Normalize(&p, &valid));
    } else {
      p = q;
    }
  }
  if (*found || (soft && valid)) {
    SetOn(p);
  } else {
    SetOff(kAfterLast);
  }
  return Status::OK();
}

Status CursorImpl::Seek(const std::string& key, bool soft, bool last, bool* found) {
  bool f = false;
  Status s = tag_->file()->Read([&] { return DoSeek(key, soft, last, &f); });
  if (found) *found = f;
  return s;
}

Status CursorImpl::SeekEntry(const std::string& key, uint32_t recno) {
  return tag_->file()->Read([&]() -> Status {
    if (key.size() > static_cast<size_t>(tag_->klen())) {
      return Status::InvalidArgument(tag_->file()->path() + ": key longer than tag " +
                                     tag_->def().name + " holds");
    }
    Target& t = target_;
    t.mode = Target::kEntry;
    t.rec = recno;
    t.key = key;
    t.key.resize(static_cast<size_t>(tag_->klen()), tag_->pad());
    const std::string& k = t.key;
    Pos p;
    bool valid;
    XB_RETURN_IF_ERROR(tag_->Find(t, &p));
    Pos q = p;
    XB_RETURN_IF_ERROR(tag_->Normalize(&q, &valid));
    if (valid &&
        CompareEntry(q.leaf->key(q.idx), q.leaf->recs[q.idx], k.data(), recno, tag_->klen()) == 0) {
      SetOn(q);
      return Status::OK();
    }
    // Stand where the entry would be, so that a walk from a record the tag
    // leaves out goes on from its key and not from wherever we stood before.
    if (tag_->def().descending) XB_RETURN_IF_ERROR(tag_->Back(&p, &valid));
    if (valid) {
      SetOn(tag_->def().descending ? p : q);
    } else {
      SetOff(kAfterLast);
    }
    return Status::NotFound(tag_->file()->path() + ": tag " + tag_->def().name +
                            " has no entry for record " + std::to_string(recno));
  });
}

}  // namespace xb::cdx

// Encoding and decoding of CDX pages: interior nodes (whole keys, big-endian
// record numbers and child pointers) and compressed leaves (bit-packed
// recno/duplicate/trailing counts from the front, key remainders from the
// back of the page).
#include "xbase/cdx_format.h"

#include <algorithm>

namespace xb::cdx {

// Stored bytes of `key` when it follows `prev` (null for a leaf's first key).
static int StoredPair(const char* prev, const char* key, int klen, char pad);
static void AdoptImage(const uint8_t* page, Node* node);

namespace {

// Room for `add` more elements, grown by a quarter rather than doubled: a
// leaf filled by inserts then holds at most a quarter more than it uses.
template <class V>
void GrowFor(V& v, size_t add) {
  if (v.size() + add <= v.capacity()) return;
  v.reserve(v.size() + std::max(4 * add, v.size() / 4));
}

// Gives back the room beyond a quarter more than `v` uses (what growing by
// a quarter leaves at most), so that a node read into a reused one with a
// little more room keeps it and allocates nothing.
template <class V>
void Trim(V& v) {
  if (v.capacity() > v.size() + v.size() / 4 + 16) V(v.begin(), v.end()).swap(v);
}

}  // namespace

void Node::Fit() {
  Trim(keys);
  Trim(recs);
  Trim(kids);
  if (image.empty() && image.capacity() > 0) std::string().swap(image);
}

void Node::Insert(int i, const char* k, uint32_t rec, uint32_t kid) {
  int removed = 0;
  // With a kept page the splice counts the key bytes (it packs them anyway).
  bool track = leaf() && key_bytes >= 0 && image.empty();
  if (track && i < n()) removed = StoredPair(i > 0 ? key(i - 1) : nullptr, key(i), klen, pad);
  GrowFor(keys, static_cast<size_t>(klen));
  GrowFor(recs, 1);
  keys.insert(keys.begin() + static_cast<ptrdiff_t>(i) * klen, k, k + klen);
  recs.insert(recs.begin() + i, rec);
  recs_max = std::max(recs_max, rec);
  if (!leaf()) {
    GrowFor(kids, 1);
    kids.insert(kids.begin() + i, kid);
  }
  if (track) {
    int added = StoredPair(i > 0 ? key(i - 1) : nullptr, key(i), klen, pad);
    if (i + 1 < n()) added += StoredPair(key(i), key(i + 1), klen, pad);
    key_bytes += added - removed;
  }
  if (!image.empty()) i + 1 < n() ? Splice(i, 1, 2) : Splice(i, 0, 1);
}

void Node::Erase(int i) {
  if (leaf() && key_bytes >= 0 && image.empty()) {
    const char* prev = i > 0 ? key(i - 1) : nullptr;
    const char* next = i + 1 < n() ? key(i + 1) : nullptr;
    int removed = StoredPair(prev, key(i), klen, pad);
    int added = 0;
    if (next) {
      removed += StoredPair(key(i), next, klen, pad);
      added = StoredPair(prev, next, klen, pad);
    }
    key_bytes += added - removed;
  }
  if (recs[i] == recs_max) recs_max_known = false;
  keys.erase(keys.begin() + static_cast<ptrdiff_t>(i) * klen,
             keys.begin() + static_cast<ptrdiff_t>(i + 1) * klen);
  recs.erase(recs.begin() + i);
  if (!leaf()) kids.erase(kids.begin() + i);
  if (!image.empty()) i < n() ? Splice(i, 2, 1) : Splice(i, 1, 0);
}

void Node::SetKey(int i, const char* k, uint32_t rec) {
  bool track = leaf() && key_bytes >= 0 && image.empty();
  auto around = [&] {
    int b = StoredPair(i > 0 ? key(i - 1) : nullptr, key(i), klen, pad);
    if (i + 1 < n()) b += StoredPair(key(i), key(i + 1), klen, pad);
    return b;
  };
  int before = track ? around() : 0;
  std::memcpy(keys.data() + static_cast<size_t>(i) * klen, k, static_cast<size_t>(klen));
  if (recs[i] == recs_max && rec < recs_max) recs_max_known = false;
  recs[i] = rec;
  recs_max = std::max(recs_max, rec);
  if (track) key_bytes += around() - before;
  if (!image.empty()) i + 1 < n() ? Splice(i, 2, 2) : Splice(i, 1, 1);
}

void Node::MoveTail(int from, Node* dst) {
  dst->keys.insert(dst->keys.end(), keys.begin() + static_cast<ptrdiff_t>(from) * klen, keys.end());
  dst->recs.insert(dst->recs.end(), recs.begin() + from, recs.end());
  keys.resize(static_cast<size_t>(from) * klen);
  recs.resize(from);
  if (!leaf()) {
    dst->kids.insert(dst->kids.end(), kids.begin() + from, kids.end());
    kids.resize(from);
  }
  // This half keeps the room of the whole; a reused node may bring more.
  Fit();
  dst->Fit();
  key_bytes = -1;
  dst->key_bytes = -1;
  image.clear();
  dst->image.clear();
  recs_max_known = dst->recs_max_known = false;
}

static int BitLength(int v) {
  return v > 0 ? 32 - __builtin_clz(static_cast<unsigned>(v)) : 0;
}

static uint64_t Mask(int bits) {
  return bits >= 64 ? ~0ull : ((1ull << bits) - 1);
}

LeafLayout ChooseLayout(int klen, uint32_t max_rec) {
  LeafLayout l;
  l.dup_bits = BitLength(klen);
  l.bytes = 3;
  l.rec_bits = 24 - 2 * l.dup_bits;
  while (l.rec_bits < 32 && max_rec > Mask(l.rec_bits)) {
    l.bytes++;
    l.rec_bits += 8;
  }
  return l;
}

// Duplicate count as FoxPro writes it: the common prefix with the previous
// key, but never reaching into either key's trailing padding.
static int DupCount(const char* prev, int prev_trail, const char* key, int trail, int klen) {
  return CommonPrefix(prev, key, klen - std::max(trail, prev_trail));
}

int LeafSizer::Stored(const char* key, int* trail) const {
  *trail = TrailCount(key, klen_, pad_);
  int dup = prev_ ? DupCount(prev_, prev_trail_, key, *trail, klen_) : 0;
  return klen_ - dup - *trail;
}

int LeafSizer::SizeWith(const char* key, uint32_t rec) const {
  int trail;
  int stored = Stored(key, &trail);
  int bytes = ChooseLayout(klen_, std::max(max_rec_, rec)).bytes;
  return (count_ + 1) * bytes + key_bytes_ + stored;
}

void LeafSizer::Add(const char* key, uint32_t rec) {
  int trail;
  key_bytes_ += Stored(key, &trail);
  max_rec_ = std::max(max_rec_, rec);
  layout_bytes_ = ChooseLayout(klen_, max_rec_).bytes;
  ++count_;
  prev_ = key;
  prev_trail_ = trail;
}

static int StoredPair(const char* prev, const char* key, int klen, char pad) {
  int trail = TrailCount(key, klen, pad);
  int dup = prev ? DupCount(prev, TrailCount(prev, klen, pad), key, trail, klen) : 0;
  return klen - dup - trail;
}

int LeafBytes(const Node& n, int a, int b, char pad) {
  bool whole = a == 0 && b == n.n();
  if (whole && n.key_bytes >= 0 && n.pad == pad)
    return n.n() * ChooseLayout(n.klen, n.LayoutRec()).bytes + n.key_bytes;
  LeafSizer s(n.klen, pad, n.min_rec);
  for (int i = a; i < b; ++i) s.Add(n.key(i), n.recs[i]);
  if (whole && n.leaf() && n.pad == pad) n.key_bytes = s.key_bytes();
  return s.size();
}

int MergedLeafBytes(const Node& a, const Node& b, char pad) {
  const int klen = a.klen;
  auto key_bytes = [&](const Node& n) {
    return LeafBytes(n, 0, n.n(), pad) - n.n() * ChooseLayout(klen, n.LayoutRec()).bytes;
  };
  int bytes = key_bytes(a) + key_bytes(b);
  // b's first key was stored whole (a page's first key shares nothing);
  // after a's last key it shares their common prefix.
  if (a.n() > 0 && b.n() > 0) {
    const char* last = a.last_key();
    const char* first = b.key(0);
    bytes -= DupCount(last, TrailCount(last, klen, pad), first, TrailCount(first, klen, pad), klen);
  }
  const uint32_t rec = std::max(a.LayoutRec(), b.LayoutRec());
  return (a.n() + b.n()) * ChooseLayout(klen, rec).bytes + bytes;
}

Status DecodeNode(const uint8_t* page, int klen, char pad, Node* out, bool keep_image) {
  out->attr = GetLE16(page);
  out->pad = pad;
  out->key_bytes = -1;
  int n = GetLE16(page + 2);
  out->left = GetLE32(page + 4);
  out->right = GetLE32(page + 8);
  out->klen = klen;
  out->keys.clear();
  out->recs.clear();
  out->kids.clear();
  out->image.clear();
  out->recs_max_known = false;
  if (out->attr > 3) return Status::Corrupt("bad node attribute " + std::to_string(out->attr));
  if (!out->leaf()) {
    if (n == 0 || n > InteriorCapacity(klen)) {
      return Status::Corrupt("interior node with " + std::to_string(n) + " keys");
    }
    out->keys.resize(static_cast<size_t>(n) * klen);
    out->recs.resize(n);
    out->kids.resize(n);
    const uint8_t* p = page + 12;
    for (int i = 0; i < n; ++i, p += klen + 8) {
      std::memcpy(&out->keys[static_cast<size_t>(i) * klen], p, static_cast<size_t>(klen));
      out->recs[i] = GetBE32(p + klen);
      out->kids[i] = GetBE32(p + klen + 4);
    }
    return Status::OK();
  }
  uint32_t rec_mask = GetLE32(page + 14);
  int dup_mask = page[18], trail_mask = page[19];
  int rec_bits = page[20], dup_bits = page[21], trail_bits = page[22], bytes = page[23];
  if (bytes < 1 || bytes > 8 || rec_bits > 32 || dup_bits > 8 || trail_bits > 8 ||
      rec_bits + dup_bits + trail_bits > bytes * 8) {
    return Status::Corrupt("leaf bit widths " + std::to_string(rec_bits) + "/" +
                           std::to_string(dup_bits) + "/" + std::to_string(trail_bits) +
                           " do not fit " + std::to_string(bytes) + " bytes");
  }
  if (rec_mask != Mask(rec_bits) || dup_mask != static_cast<int>(Mask(dup_bits)) ||
      trail_mask != static_cast<int>(Mask(trail_bits))) {
    return Status::Corrupt("leaf masks do not match their bit widths");
  }
  if (n * bytes > kLeafArea) {
    return Status::Corrupt("leaf with " + std::to_string(n) + " keys cannot fit a page");
  }
  // Room for one more entry: most leaves are read by the descent of a
  // change, and the first insert would otherwise copy every key of the node
  // to a new buffer. One key is well inside the quarter Fit() lets a node
  // keep, so the room survives the trim and costs the budget one key.
  out->keys.reserve(static_cast<size_t>(n + 1) * klen);
  out->recs.reserve(static_cast<size_t>(n) + 1);
  out->keys.resize(static_cast<size_t>(n) * klen);
  out->recs.resize(n);
  out->min_rec = rec_mask;
  const uint8_t* area = page + 24;
  int key_end = kLeafArea;  // key bytes grow down from the end of the page
  int entries_end = n * bytes;
  // The packed size the edits keep up to date is known at once when the page
  // was packed as tightly as we pack (always, for pages we wrote): a check of
  // one byte per count instead of comparing every key with the one before
  // at the first edit. Another engine's looser packing leaves it unknown.
  bool tight = true;
  int prev_trail = 0;
  uint32_t recs_max = 0;
  for (int i = 0; i < n; ++i) {
    uint64_t v = 0;
    if (24 + i * bytes + 8 <= static_cast<int>(kPageSize)) {
      // One load for the entry and whatever follows it inside the page.
      std::memcpy(&v, area + i * bytes, 8);
      if constexpr (std::endian::native != std::endian::little) v = __builtin_bswap64(v);
    } else {
      for (int b = bytes - 1; b >= 0; --b) v = (v << 8) | area[i * bytes + b];
    }
    uint32_t rec = static_cast<uint32_t>(v & rec_mask);
    int dup = static_cast<int>((v >> rec_bits) & static_cast<uint64_t>(dup_mask));
    int trail = static_cast<int>((v >> (rec_bits + dup_bits)) & static_cast<uint64_t>(trail_mask));
    if (i == 0) dup = 0;
    if (dup + trail > klen) {
      return Status::Corrupt("leaf key " + std::to_string(i) + " has duplicate " +
                             std::to_string(dup) + " + trailing " + std::to_string(trail) +
                             " bytes beyond the key length");
    }
    int stored = klen - dup - trail;
    key_end -= stored;
    if (key_end < entries_end) return Status::Corrupt("leaf keys overlap the entry table");
    char* k = &out->keys[static_cast<size_t>(i) * klen];
    if (dup) std::memcpy(k, k - klen, static_cast<size_t>(dup));
    std::memcpy(k + dup, area + key_end, static_cast<size_t>(stored));
    std::memset(k + klen - trail, pad, static_cast<size_t>(trail));
    out->recs[i] = rec;
    if (i > 0 && std::memcmp(k - klen, k, static_cast<size_t>(klen)) > 0) {
      return Status::Corrupt("leaf keys out of order at key " + std::to_string(i));
    }
    recs_max = std::max(recs_max, rec);
    if (tight) {
      // All the padding at the end counted as trailing, and the duplicate
      // count the whole common prefix short of either key's padding.
      const int limit = klen - std::max(trail, prev_trail);
      tight = (trail == klen || k[klen - trail - 1] != pad) &&
              (i == 0 || dup == limit || (dup < limit && k[dup] != k[dup - klen]));
      prev_trail = trail;
    }
  }
  out->recs_max = recs_max;
  out->recs_max_known = true;
  if (tight) {
    out->key_bytes = kLeafArea - key_end;
    if (keep_image) AdoptImage(page, out);
  }
  return Status::OK();
}

void EncodeNode(const Node& node, char pad, uint8_t* page) {
  std::memset(page, 0, kPageSize);
  int n = node.n();
  int klen = node.klen;
  PutLE16(page, node.attr);
  PutLE16(page + 2, static_cast<uint16_t>(n));
  PutLE32(page + 4, node.left);
  PutLE32(page + 8, node.right);
  if (!node.leaf()) {
    uint8_t* p = page + 12;
    for (int i = 0; i < n; ++i, p += klen + 8) {
      std::memcpy(p, node.key(i), static_cast<size_t>(klen));
      PutBE32(p + klen, node.recs[i]);
      PutBE32(p + klen + 4, node.kids[i]);
    }
    return;
  }
  LeafLayout l = ChooseLayout(klen, node.LayoutRec());
  if (node.image.size() == kImageSize && pad == node.pad && l.bytes == node.image_entry_bytes) {
    std::memcpy(page + 12, node.image.data() + 12, kPageSize - 12);
    return;
  }
  uint8_t* area = page + 24;
  int key_end = kLeafArea;
  int prev_trail = 0;
  // Entries are packed with whole 8-byte stores into a scratch copy (each
  // store spills into the next entry's place, and the last one would spill
  // into the key bytes), then copied in once.
  uint8_t entries[kLeafArea + 8];
  for (int i = 0; i < n; ++i) {
    const char* k = node.key(i);
    int trail = TrailCount(k, klen, pad);
    int dup = i ? DupCount(node.key(i - 1), prev_trail, k, trail, klen) : 0;
    int stored = klen - dup - trail;
    key_end -= stored;
    std::memcpy(area + key_end, k + dup, static_cast<size_t>(stored));
    uint64_t v = node.recs[i] | (static_cast<uint64_t>(dup) << l.rec_bits) |
                 (static_cast<uint64_t>(trail) << (l.rec_bits + l.dup_bits));
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(entries + i * l.bytes, &v, 8);
    } else {
      for (int b = 0; b < l.bytes; ++b) entries[i * l.bytes + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    prev_trail = trail;
  }
  std::memcpy(area, entries, static_cast<size_t>(n * l.bytes));
  PutLE16(page + 12, static_cast<uint16_t>(key_end - n * l.bytes));
  PutLE32(page + 14, static_cast<uint32_t>(Mask(l.rec_bits)));
  page[18] = page[19] = static_cast<uint8_t>(Mask(l.dup_bits));
  page[20] = static_cast<uint8_t>(l.rec_bits);
  page[21] = page[22] = static_cast<uint8_t>(l.dup_bits);
  page[23] = static_cast<uint8_t>(l.bytes);
  if (pad == node.pad) {
    node.image.assign(kImageSize, '\0');  // one allocation of just this size
    std::memcpy(node.image.data(), page, kPageSize);
    node.image_entry_bytes = l.bytes;
  }
}

// The image of a leaf just decoded from `page` with its packed size known
// (the page was packed as tightly as we pack), when the rest of the page is
// what packing writes too.
static void AdoptImage(const uint8_t* page, Node* node) {
  Node& n = *node;
  const int klen = n.klen, key_bytes = n.key_bytes;
  const LeafLayout l = ChooseLayout(klen, n.LayoutRec());
  const int count = n.n();
  const int key_end = kLeafArea - key_bytes;
  const int entries_end = count * l.bytes;
  if (key_end < entries_end) return;
  // The header fields past the sibling pointers, as packing writes them.
  if (GetLE16(page + 12) != key_end - entries_end ||
      GetLE32(page + 14) != static_cast<uint32_t>(Mask(l.rec_bits)) ||
      page[18] != Mask(l.dup_bits) || page[19] != Mask(l.dup_bits) ||
      page[20] != l.rec_bits || page[21] != l.dup_bits || page[22] != l.dup_bits ||
      page[23] != l.bytes) {
    return;
  }
  // No duplicate count on the first entry (decoding ignores it) and nothing
  // between the entries and the key bytes. (The layouts we choose use every
  // bit of an entry: there are no spare bits to look at.)
  const uint8_t* area = page + 24;
  if (count > 0) {
    uint64_t v = 0;
    for (int b = l.bytes - 1; b >= 0; --b) v = (v << 8) | area[b];
    if (((v >> l.rec_bits) & Mask(l.dup_bits)) != 0) return;
  }
  for (int i = entries_end; i < key_end; ++i) {
    if (area[i] != 0) return;
  }
  n.image.assign(kImageSize, '\0');
  std::memcpy(n.image.data(), page, kPageSize);
  n.image_entry_bytes = l.bytes;
}

void Node::Splice(int i, int removed, int added) {
  const int count = n(), old_count = count - added + removed;
  const LeafLayout l = ChooseLayout(klen, LayoutRec());
  auto* page = reinterpret_cast<uint8_t*>(image.data());
  if (!leaf() || l.bytes != image_entry_bytes || l.rec_bits != page[20]) {
    image.clear();
    key_bytes = -1;  // not counted by the edit: counted again when asked
    return;
  }
  uint8_t* area = page + 24;
  const uint64_t dup_mask = Mask(l.dup_bits);
  const uint64_t entry_mask = Mask(8 * l.bytes);
  auto entry = [&](int j) {  // stored key bytes of entry j
    uint64_t v;
    std::memcpy(&v, area + j * l.bytes, 8);  // the image has room past its end
    if constexpr (std::endian::native != std::endian::little) v = __builtin_bswap64(v);
    v &= entry_mask;
    int dup = j ? static_cast<int>((v >> l.rec_bits) & dup_mask) : 0;
    int trail = static_cast<int>((v >> (l.rec_bits + l.dup_bits)) & dup_mask);
    return klen - dup - trail;
  };
  const int old_end = old_count * l.bytes + GetLE16(page + 12);  // lowest key byte
  // Where entry i's key bytes end (they grow down from the page end),
  // counted from whichever end of the leaf is nearer.
  int at;
  if (i <= old_count / 2) {
    at = kLeafArea;
    for (int j = 0; j < i; ++j) at -= entry(j);
  } else {
    at = old_end;
    for (int j = i; j < old_count; ++j) at += entry(j);
  }
  int old_len = 0;
  for (int j = i; j < i + removed; ++j) old_len += entry(j);
  // The new entries, packed as EncodeNode packs them.
  uint8_t packed[3 * 8 + 8];
  int stored[3], dups[3], new_len = 0;
  int prev_trail = i ? TrailCount(key(i - 1), klen, pad) : 0;
  for (int j = 0; j < added; ++j) {
    const char* k = key(i + j);
    int trail = TrailCount(k, klen, pad);
    dups[j] = i + j ? DupCount(key(i + j - 1), prev_trail, k, trail, klen) : 0;
    stored[j] = klen - dups[j] - trail;
    new_len += stored[j];
    uint64_t v = recs[i + j] | (static_cast<uint64_t>(dups[j]) << l.rec_bits) |
                 (static_cast<uint64_t>(trail) << (l.rec_bits + l.dup_bits));
    for (int b = 0; b < l.bytes; ++b) packed[j * l.bytes + b] = static_cast<uint8_t>(v >> (8 * b));
    prev_trail = trail;
  }
  const int new_end = old_end - (new_len - old_len);
  if (new_end < count * l.bytes) {  // overfull: the leaf is about to split
    image.clear();
    key_bytes = -1;
    return;
  }
  // Entries and key bytes after the spliced ones move as two blocks, the
  // new ones go between, and the gap between the two areas is zero. Either
  // block may move into the other's old place, so the order matters: a
  // growing entry table may reach the keys' old bytes (the keys move
  // first, to new_end, which is past the table), a shrinking one frees
  // bytes the keys may move into (the entries move first).
  auto move_keys = [&] {
    std::memmove(area + new_end, area + old_end, static_cast<size_t>(at - old_len - old_end));
  };
  auto move_entries = [&] {
    std::memmove(area + (i + added) * l.bytes, area + (i + removed) * l.bytes,
                 static_cast<size_t>((old_count - i - removed) * l.bytes));
  };
  if (count >= old_count) {
    move_keys();
    move_entries();
  } else {
    move_entries();
    move_keys();
  }
  int pos = at;
  for (int j = 0; j < added; ++j) {
    pos -= stored[j];
    std::memcpy(area + pos, key(i + j) + dups[j], static_cast<size_t>(stored[j]));
  }
  std::memcpy(area + i * l.bytes, packed, static_cast<size_t>(added * l.bytes));
  std::memset(area + count * l.bytes, 0, static_cast<size_t>(new_end - count * l.bytes));
  PutLE16(page + 2, static_cast<uint16_t>(count));
  PutLE16(page + 12, static_cast<uint16_t>(new_end - count * l.bytes));
  key_bytes = kLeafArea - new_end;
}

}  // namespace xb::cdx

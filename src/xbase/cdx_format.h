// Private to the CDX layer: the byte layout of compact compound index pages
// (see docs/cdx-format.md) and the decoded form the tree code works on.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "xbase/status.h"

namespace xb::cdx {

constexpr int kPageSize = 512;
constexpr int kHeaderSize = 1024;              // a tag header takes two pages
constexpr int kLeafArea = kPageSize - 24;      // 488 bytes of packed entries and keys
constexpr int kInteriorArea = kPageSize - 12;  // 500 bytes of key/recno/child
constexpr int kMaxKeyLen = 240;
constexpr int kMaxTagName = 10;
constexpr int kExprPool = 512;  // expression text area of a header
constexpr uint32_t kNoPage = 0xFFFFFFFFu;
constexpr uint64_t kLockOffset = 0x7FFFFFFEull;
// A leaf's kept page, with room for whole-word reads of its last entry.
constexpr size_t kImageSize = kPageSize + 8;

constexpr uint16_t kAttrRoot = 1;
constexpr uint16_t kAttrLeaf = 2;

// Index options byte (header offset 14).
constexpr uint8_t kOptUnique = 0x01;
constexpr uint8_t kOptFor = 0x08;
constexpr uint8_t kOptCompact = 0x20;
constexpr uint8_t kOptCompound = 0x40;
constexpr uint8_t kOptStructure = 0x80;

// Field offsets inside a 1024-byte header.
constexpr int kHdrRoot = 0;
constexpr int kHdrFree = 4;
constexpr int kHdrVersion = 8;  // big-endian change counter (file header only)
constexpr int kHdrKeyLen = 12;
constexpr int kHdrOptions = 14;
constexpr int kHdrSignature = 15;
constexpr int kHdrHeaderLen = 16;
constexpr int kHdrPageLen = 18;
constexpr int kHdrCollation = 20;
constexpr int kHdrDescending = 502;
constexpr int kHdrForPos = 504;
constexpr int kHdrForLen = 506;
constexpr int kHdrKeyPos = 508;
constexpr int kHdrKeyExprLen = 510;
constexpr int kHdrPool = 512;

inline uint16_t GetLE16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t GetLE32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t GetBE32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void PutLE16(uint8_t* p, uint16_t v) {
  p[0] = v & 0xFF;
  p[1] = v >> 8;
}
inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline std::string HexOffset(uint64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
  return buf;
}
inline uint64_t RoundUpToPage(uint64_t v) {
  return (v + kPageSize - 1) / kPageSize * kPageSize;
}

// Key bytes are compared eight at a time: keys of one tag share long
// prefixes (business, department), and these loops run for every step of
// every descent, split and page encoding.
inline uint64_t Load64(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline uint64_t BigEndian64(uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(v);
  return v;
}

// memcmp's sign for n bytes compared unsigned.
inline int CompareKeys(const char* a, const char* b, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x = Load64(a + i), y = Load64(b + i);
    if (x != y) return BigEndian64(x) < BigEndian64(y) ? -1 : 1;
  }
  for (; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<uint8_t>(a[i]) < static_cast<uint8_t>(b[i]) ? -1 : 1;
  }
  return 0;
}

// Length of the common prefix of a and b, at most n bytes.
inline int CommonPrefix(const char* a, const char* b, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t d = BigEndian64(Load64(a + i)) ^ BigEndian64(Load64(b + i));
    if (d) return i + (__builtin_clzll(d) >> 3);
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Compares (key a, rec ra) with (key b, rec rb): key bytes unsigned, then recno.
inline int CompareEntry(const char* a, uint32_t ra, const char* b, uint32_t rb, int klen) {
  int c = CompareKeys(a, b, static_cast<size_t>(klen));
  if (c != 0) return c;
  return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

// One page decoded. Keys are kept whole (trailing padding restored) in one
// flat buffer; interior nodes also carry child page offsets. The buffers are
// vectors grown in small steps and trimmed after a split or a read (see
// Fit): the page cache's budget counts their room, and room a page does not
// use is room another page cannot have.
struct Node {
  uint32_t off = 0;
  uint16_t attr = 0;
  uint32_t left = kNoPage;
  uint32_t right = kNoPage;
  int klen = 0;
  const void* owner = nullptr;  // the tag the page belongs to
  bool dirty = false;
  // Leaves: the record number the entry layout must hold even when no entry
  // needs it (a layout read from disk, or the largest recno of a bulk build,
  // as the other engines size it); the layout never shrinks below it.
  uint32_t min_rec = 0;
  // Leaves: the padding of the tag's keys and the packed size of the stored
  // key parts (-1 = not known), kept up to date by the edits below so that
  // deciding whether a leaf still fits does not re-pack it every time.
  char pad = ' ';
  mutable int key_bytes = -1;
  std::vector<char> keys;  // n * klen bytes
  std::vector<uint32_t> recs;
  std::vector<uint32_t> kids;  // interior only
  // Leaves: the page as last encoded, patched by every edit since, so that
  // writing a leaf after a few changes does not pack all its entries again
  // (empty = none; a split, a merge or a change of entry layout drops it).
  mutable std::string image;  // kImageSize bytes when there is one
  mutable int image_entry_bytes = 0;
  // Largest record number of the entries (valid when known), kept by the
  // edits: the entry layout depends on it and is asked for at every edit.
  mutable uint32_t recs_max = 0;
  mutable bool recs_max_known = false;

  // Back to a fresh node, keeping the room of its buffers (a node taken
  // from the cache's spares for another page).
  void Reset() {
    off = 0;
    attr = 0;
    left = right = kNoPage;
    klen = 0;
    owner = nullptr;
    dirty = false;
    min_rec = 0;
    pad = ' ';
    key_bytes = -1;
    keys.clear();
    recs.clear();
    kids.clear();
    image.clear();
    image_entry_bytes = 0;
    recs_max = 0;
    recs_max_known = false;
  }

  bool leaf() const { return (attr & kAttrLeaf) != 0; }
  bool root() const { return (attr & kAttrRoot) != 0; }
  int n() const { return static_cast<int>(recs.size()); }
  const char* key(int i) const { return keys.data() + static_cast<size_t>(i) * klen; }
  std::string key_str(int i) const { return std::string(key(i), static_cast<size_t>(klen)); }
  const char* last_key() const { return key(n() - 1); }
  // The record number the entry layout must hold: min_rec or a larger entry.
  uint32_t LayoutRec() const {
    if (!recs_max_known) {
      recs_max = 0;
      for (uint32_t r : recs) recs_max = std::max(recs_max, r);
      recs_max_known = true;
    }
    return std::max(min_rec, recs_max);
  }
  uint32_t last_rec() const { return recs.back(); }

  // Gives back the room of buffers much larger than their entries need (a
  // node reused for a page with fewer or shorter keys, the half of a split
  // that kept the whole page's room) and of an empty kept image.
  void Fit();
  // Forgets the kept page image (the next write packs the leaf whole): a
  // clean leaf nobody has changed for a while gives back its 520 bytes.
  // The packed size the image kept up to date stays right without it.
  void DropImage() { std::string().swap(image); }

  void Insert(int i, const char* k, uint32_t rec, uint32_t kid);
  void Erase(int i);
  void SetKey(int i, const char* k, uint32_t rec);
  // Moves entries [from, n) to the end of `dst`.
  void MoveTail(int from, Node* dst);

 private:
  // Entries [i, i + removed) of the leaf as `image` holds it became entries
  // [i, i + added) of the node: the image follows (or is dropped).
  void Splice(int i, int removed, int added);
};

// Bit layout of the packed entries of one leaf.
struct LeafLayout {
  int bytes = 3;  // bytes per entry
  int rec_bits = 0;
  int dup_bits = 0;  // == trail bits
};
// The layout FoxPro and Harbour choose: dup/trail counts wide enough for the
// key length, recno in the rest of 3 bytes, growing by whole bytes as needed.
LeafLayout ChooseLayout(int klen, uint32_t max_rec);

// Number of padding bytes at the end of a key.
inline int TrailCount(const char* key, int klen, char pad) {
  const uint64_t pads = 0x0101010101010101ull * static_cast<uint8_t>(pad);
  int t = 0;
  for (; t + 8 <= klen; t += 8) {
    // The last byte of the eight is the most significant one read big-endian.
    uint64_t d = BigEndian64(Load64(key + klen - t - 8)) ^ pads;
    if (d) return t + (__builtin_ctzll(d) >> 3);
  }
  while (t < klen && key[klen - 1 - t] == pad) ++t;
  return t;
}

// Incremental size of a leaf's packed area (entries + stored key bytes), for
// deciding where a leaf ends without encoding it.
class LeafSizer {
 public:
  LeafSizer(int klen, char pad, uint32_t min_rec = 0)
      : klen_(klen),
        pad_(pad),
        max_rec_(min_rec),
        layout_bytes_(ChooseLayout(klen, min_rec).bytes) {}
  // Bytes the leaf would use with one more entry appended.
  int SizeWith(const char* key, uint32_t rec) const;
  void Add(const char* key, uint32_t rec);
  int size() const { return count_ * layout_bytes_ + key_bytes_; }
  int key_bytes() const { return key_bytes_; }
  int count() const { return count_; }
  void Reset(uint32_t min_rec = 0) { *this = LeafSizer(klen_, pad_, min_rec); }

 private:
  int Stored(const char* key, int* trail) const;
  int klen_;
  char pad_;
  int count_ = 0;
  int key_bytes_ = 0;
  uint32_t max_rec_ = 0;
  int layout_bytes_ = 3;
  const char* prev_ = nullptr;
  int prev_trail_ = 0;
};

// Bytes entries [a, b) of leaf `n` take when packed.
int LeafBytes(const Node& n, int a, int b, char pad);
// Bytes leaf `a` followed by all of leaf `b` would take packed as one leaf
// (the layout wide enough for both): from the two leaves' own sizes, without
// packing either again.
int MergedLeafBytes(const Node& a, const Node& b, char pad);
inline int InteriorCapacity(int klen) {
  return kInteriorArea / (klen + 8);
}

// Decodes a page. Errors are Corrupt with a message naming what is wrong (the
// caller adds file, tag and page).
// With `keep_image`, a leaf keeps the page as its image when the page is byte
// for byte the one we would pack (always so for pages we wrote): the edits
// then patch it and the write copies it instead of packing every entry
// again. Any other page is left to be packed anew.
Status DecodeNode(const uint8_t* page, int klen, char pad, Node* out, bool keep_image = false);
void EncodeNode(const Node& n, char pad, uint8_t* page);

}  // namespace xb::cdx

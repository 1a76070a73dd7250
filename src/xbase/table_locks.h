// Lock offsets of the Visual FoxPro scheme for tables with a structural
// index, shared with the other xBase programs of the suite.
#pragma once

#include <cstdint>

namespace xb {

constexpr uint64_t kHeaderLockOffset = 0x7FFFFFFE;  // append / header lock
constexpr uint64_t kFileLockSize = 0x07FFFFFF;      // file lock: the range below the header lock
constexpr uint64_t kFileLockOffset = kHeaderLockOffset - kFileLockSize;
// Emulates the share modes of the Windows open: shared users hold this byte
// shared, an exclusive user holds it exclusively.
constexpr uint64_t kShareLockOffset = 0x7FFFFFFF;

inline uint64_t RecordLockOffset(uint32_t recno) { return kHeaderLockOffset - recno; }

}  // namespace xb

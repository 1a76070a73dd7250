// The limit on mapped file pages a process keeps resident (env_posix.cc).
#pragma once

#include <cstdint>

namespace xb {

// Limit on the mapped file pages the process keeps resident, all files
// together (bytes, 0 = none; the default comes from QZ_MAP_RESIDENT_MB). Past
// it, files read and write the rest with plain system calls. Applies to files
// mapped (or remapped) after the call.
void SetMappedResidency(uint64_t bytes);
// Bytes of mapping windows admitted now by files mapped under a limit.
uint64_t MappedResidentBytes();

}  // namespace xb

// The limit on mapped file pages a process keeps resident (env_posix.cc).
#pragma once

#include <cstdint>

namespace xb {

// Limit on the mapped file pages the process keeps resident, all files
// together (bytes, 0 = none; the default comes from QZ_MAP_RESIDENT_MB, 64 MB
// when unset). Past it, the windows of the mappings used least recently are
// given back to the file cache (the next access maps them again). Files
// mapped (or remapped) after the call keep to it.
void SetMappedResidency(uint64_t bytes);
// Bytes of mapping windows resident now in files mapped under a limit.
uint64_t MappedResidentBytes();

}  // namespace xb

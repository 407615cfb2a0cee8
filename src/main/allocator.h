#pragma once

// The program's memory comes from mimalloc (linked into the program and the
// benchmarks, not into the sanitizer and fuzz builds, which keep their own
// allocator), asked to take it in 2 MB pages. A conversion touches hundreds
// of megabytes of small objects once; with 4 KB pages the faults and the
// address translations cost about half of the process's time on a virtual
// machine.

#if defined(TOLVANE_WITH_MIMALLOC)
#include <mimalloc.h>
#endif

namespace tolvane {

// Called first thing in main, before the run allocates its models.
inline void SetUpAllocator() {
#if defined(TOLVANE_WITH_MIMALLOC)
  mi_option_set(mi_option_large_os_pages, 1);
#endif
}

}  // namespace tolvane

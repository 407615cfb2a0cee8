#include "platform/large_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace tolvane {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

void AdviseHugePages(const void* AData, size_t ASize) {
  if (ASize < 2 * kHugePage) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(AData) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(AData) + ASize) & ~(kHugePage - 1);
  if (end <= start) return;
  // Only advice: a kernel without transparent huge pages refuses it, and the
  // buffer works as before.
  (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace tolvane

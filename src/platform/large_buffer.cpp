#include "platform/large_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace tolvane {
namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

// ASize bytes of fresh memory on a 2 MB boundary: a mapping one huge page
// larger, trimmed at both ends.
char* MapAligned(size_t ASize) {
  void* mapped = ::mmap(nullptr, ASize + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  const uintptr_t tail = start + ASize + kHugePage - (aligned + ASize);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + ASize), tail);
  return reinterpret_cast<char*>(aligned);
}

}  // namespace

void AdviseHugePages(const void* AData, size_t ASize) {
  if (ASize < 2 * kHugePage) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(AData) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(AData) + ASize) & ~(kHugePage - 1);
  if (end <= start) return;
  // Only advice: a kernel without transparent huge pages refuses it, and the
  // buffer works as before.
  (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

TLargeBuffer::~TLargeBuffer() {
  if (FData != nullptr) ::munmap(FData, FCapacity);
}

void TLargeBuffer::Reserve(size_t ACapacity) {
  if (ACapacity <= FCapacity) return;
  // Whole huge pages, so that the end of the mapping is a boundary too.
  const size_t capacity = (ACapacity + kHugePage - 1) & ~(kHugePage - 1);
  if (FData == nullptr) {
    FData = MapAligned(capacity);
  } else {
    void* moved = ::mremap(FData, FCapacity, capacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) throw std::bad_alloc();
    FData = static_cast<char*>(moved);
  }
  FCapacity = capacity;
  (void)::madvise(FData, FCapacity, MADV_HUGEPAGE);
}

}  // namespace tolvane

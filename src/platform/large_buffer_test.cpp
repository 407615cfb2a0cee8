#include "platform/large_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace tolvane {
namespace {

TEST(LargeBufferTest, StartsOnAHugePageAndKeepsItsBytesWhileGrowing) {
  TLargeBuffer buffer;
  EXPECT_EQ(buffer.Capacity(), 0u);
  buffer.Reserve(100);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Data()) % (2u << 20), 0u);
  EXPECT_GE(buffer.Capacity(), 100u);
  std::memset(buffer.Data(), 'a', buffer.Capacity());
  const size_t first = buffer.Capacity();
  buffer.Reserve(first * 3);
  ASSERT_GE(buffer.Capacity(), first * 3);
  EXPECT_EQ(buffer.Data()[0], 'a');
  EXPECT_EQ(buffer.Data()[first - 1], 'a');
  buffer.Data()[buffer.Capacity() - 1] = 'z';  // the new part is writable
  buffer.Reserve(10);                           // never shrinks
  EXPECT_GE(buffer.Capacity(), first * 3);
}

}  // namespace
}  // namespace tolvane

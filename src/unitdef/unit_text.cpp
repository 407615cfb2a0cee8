#include "unitdef/unit_text.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/byte_scan.h"
#include "platform/code_page.h"

namespace tolvane {

namespace {

// Without a file the buffer grows to hold the unit.
constexpr size_t kFirstCapacity = size_t{64} << 20;
// Given a file, it holds the bytes that go to the file together and the line
// that takes them past kFlushSize; a longer line makes it grow.
constexpr size_t kFileCapacity = TUnitText::kFlushSize + TUnitText::kFlushSize / 4;

}  // namespace

bool TUnitText::PrintableLine(std::span<const std::string_view> APieces) {
  const size_t length = CopyPieces(APieces);
  if (!IsPrintableAscii(std::string_view(FData.get() + FSize - length, length))) {
    FSize -= length;
    return false;
  }
  EndLine();
  return true;
}

void TUnitText::Line(std::span<const std::string_view> APieces) {
  // The common case: the line is ASCII, the same in UTF-8 and in
  // Windows-1252, and stays as it is copied. The copy is tested as a whole,
  // not piece by piece.
  const size_t start = FSize;
  CopyPieces(APieces);
  if (!IsAsciiText(std::string_view(FData.get() + start, FSize - start))) {
    // Each piece holds whole characters, so encoding piece by piece gives
    // the same bytes as encoding the whole line.
    FSize = start;
    for (const std::string_view piece : APieces) {
      if (IsAsciiText(piece)) {
        Append(piece);
      } else {
        Append(Utf8ToWindows1252(piece));
      }
    }
    Reserve(2);
  }
  EndLine();
}

void TUnitText::Flush() {
  if (FFile == nullptr) return;
  FFile->Write(Bytes());
  FSize = 0;
}

void TUnitText::Grow(size_t AMore) {
  size_t capacity = FCapacity * 2;
  if (FCapacity == 0) capacity = FFile != nullptr ? kFileCapacity : kFirstCapacity;
  while (capacity < FSize + AMore) capacity *= 2;
  std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(capacity);
  if (FSize > 0) std::memcpy(data.get(), FData.get(), FSize);
  FData = std::move(data);
  FCapacity = capacity;
}

void TUnitText::Append(std::string_view ABytes) {
  Reserve(ABytes.size());
  CopyBytes(FData.get() + FSize, ABytes);
  FSize += ABytes.size();
}

}  // namespace tolvane

#include "unitdef/unit_text.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/code_page.h"

namespace tolvane {

namespace {

// True when every byte is below 0x80; such a text is the same in UTF-8 and
// in Windows-1252. Looks at eight bytes at a time.
bool IsAscii(std::string_view text) {
  size_t pos = 0;
  for (; pos + 8 <= text.size(); pos += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + pos, 8);
    if ((word & 0x8080808080808080ull) != 0) return false;
  }
  for (; pos < text.size(); ++pos) {
    if (static_cast<unsigned char>(text[pos]) >= 0x80) return false;
  }
  return true;
}

// Without a file the buffer grows to hold the unit.
constexpr size_t kFirstCapacity = size_t{64} << 20;
// Given a file, it holds the bytes that go to the file together and the line
// that takes them past kFlushSize; a longer line makes it grow.
constexpr size_t kFileCapacity = TUnitText::kFlushSize + TUnitText::kFlushSize / 4;

}  // namespace

void TUnitText::Line(std::span<const std::string_view> APieces) {
  size_t length = 2;
  bool ascii = true;
  for (const std::string_view piece : APieces) {
    length += piece.size();
    ascii = ascii && IsAscii(piece);
  }
  if (ascii) {
    // The common case, copied as it is: such a text is the same in UTF-8
    // and in Windows-1252.
    Reserve(length);
    for (const std::string_view piece : APieces) {
      if (!piece.empty()) std::memcpy(FData.get() + FSize, piece.data(), piece.size());
      FSize += piece.size();
    }
  } else {
    // Each piece holds whole characters, so encoding piece by piece gives
    // the same bytes as encoding the whole line.
    for (const std::string_view piece : APieces) {
      if (IsAscii(piece)) {
        Append(piece);
      } else {
        Append(Utf8ToWindows1252(piece));
      }
    }
    Reserve(2);
  }
  FData.get()[FSize++] = '\r';
  FData.get()[FSize++] = '\n';
  ++FLineCount;
  if (FFile != nullptr && FSize >= kFlushSize) Flush();
}

void TUnitText::Flush() {
  if (FFile == nullptr) return;
  FFile->Write(Bytes());
  FSize = 0;
}

void TUnitText::Reserve(size_t AMore) {
  if (FSize + AMore <= FCapacity) return;
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
  if (!ABytes.empty()) std::memcpy(FData.get() + FSize, ABytes.data(), ABytes.size());
  FSize += ABytes.size();
}

}  // namespace tolvane

#pragma once

// The unit's file as its lines arrive: each line in Windows-1252 followed by
// CR LF, appended to one buffer, so the unit is never held twice (as lines
// and as bytes). Given a file, the buffer goes on to it whenever it holds
// kFlushSize bytes, and Flush writes the rest: then the unit is never held
// whole either.

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/byte_scan.h"
#include "platform/file_system.h"
#include "unitdef/code_printer.h"

namespace tolvane {

class TUnitText final : public TLineSink {
 public:
  static constexpr size_t kFlushSize = size_t{1} << 18;

  TUnitText() = default;
  explicit TUnitText(TAtomicFile& AFile) : FFile(&AFile) {}
  TUnitText(const TUnitText&) = delete;
  TUnitText& operator=(const TUnitText&) = delete;

  using TLineSink::Line;
  void Line(std::span<const std::string_view> APieces) override;
  bool PrintableLine(std::span<const std::string_view> APieces) override;

  size_t LineCount() const { return FLineCount; }
  // The bytes not yet written to the file: all of them without a file.
  std::string_view Bytes() const { return {FData.get(), FSize}; }
  // Writes the bytes held to the file.
  void Flush();

 private:
  void Append(std::string_view ABytes);
  // The pieces copied after the bytes written, without a line end; their
  // number of bytes.
  [[gnu::always_inline]] size_t CopyPieces(std::span<const std::string_view> APieces) {
    size_t length = 2;
    for (const std::string_view piece : APieces) length += piece.size();
    Reserve(length);
    for (const std::string_view piece : APieces) {
      CopyBytes(FData.get() + FSize, piece);
      FSize += piece.size();
    }
    return length - 2;
  }
  [[gnu::always_inline]] void EndLine() {
    FData.get()[FSize++] = '\r';
    FData.get()[FSize++] = '\n';
    ++FLineCount;
    if (FFile != nullptr && FSize >= kFlushSize) Flush();
  }
  // Room for AMore bytes after the ones written.
  void Reserve(size_t AMore) {
    if (FSize + AMore > FCapacity) Grow(AMore);
  }
  void Grow(size_t AMore);

  // On the heap. Given a file it holds no more than kFlushSize bytes and a
  // line, and its pages come from the allocator with the models', so a small
  // unit costs no pages of its own; without a file it grows by doubling.
  std::unique_ptr<char[]> FData;
  size_t FCapacity = 0;
  TAtomicFile* FFile = nullptr;
  size_t FSize = 0;
  size_t FLineCount = 0;
};

}  // namespace tolvane

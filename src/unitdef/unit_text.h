#pragma once

// The unit's file as its lines arrive: each line in Windows-1252 followed by
// CR LF, appended to one buffer, so the unit is never held twice (as lines
// and as bytes).

#include <cstddef>
#include <string_view>

#include "platform/large_buffer.h"
#include "unitdef/code_printer.h"

namespace tolvane {

class TUnitText final : public TLineSink {
 public:
  TUnitText() = default;
  TUnitText(const TUnitText&) = delete;
  TUnitText& operator=(const TUnitText&) = delete;

  using TLineSink::Line;
  void Line(std::span<const std::string_view> APieces) override;

  size_t LineCount() const { return FLineCount; }
  std::string_view Bytes() const { return {FBuffer.Data(), FSize}; }

 private:
  void Append(std::string_view ABytes);
  // Room for AMore bytes after the ones written.
  void Reserve(size_t AMore);

  // Grown by remapping its pages, not by copying them, so the unit's bytes
  // are not held twice while they grow either.
  TLargeBuffer FBuffer;
  size_t FSize = 0;
  size_t FLineCount = 0;
};

}  // namespace tolvane

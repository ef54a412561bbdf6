#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// Converts text between UTF-8 and code page 932 in one direction, each text
// as a whole, for ShiftJis.cpp. Each platform has its file: ShiftJisPosix.cpp
// (iconv) and ShiftJisWindows.cpp (the Windows code page); both give the same
// bytes for every text the program writes.
class ShiftJisCodec {
 public:
  enum class Direction { kToShiftJis, kToUtf8 };

  explicit ShiftJisCodec(Direction direction);
  ShiftJisCodec(const ShiftJisCodec&) = delete;
  ShiftJisCodec& operator=(const ShiftJisCodec&) = delete;
  ~ShiftJisCodec();

  // Whether the system can convert at all.
  bool available() const;
  // Fails when a character has no code on the other side, or when `text` is
  // not valid in its own encoding.
  Result<std::string> Convert(std::string_view text);

 private:
  // The iconv handle keeps the direction in itself; Windows converts by it.
  [[maybe_unused]] Direction direction_;
  void* state_ = nullptr;  // the iconv handle, where there is one
};

// The failure of a text that cannot be converted.
Status UnconvertibleTextFailure();

}  // namespace kitebar

#include <iconv.h>

#include <cerrno>

#include "common/ShiftJisCodec.h"

namespace kitebar {
namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

}  // namespace

ShiftJisCodec::ShiftJisCodec(Direction direction)
    : direction_(direction),
      state_(direction == Direction::kToShiftJis ? ::iconv_open("CP932", "UTF-8")
                                                 : ::iconv_open("UTF-8", "CP932")) {}

ShiftJisCodec::~ShiftJisCodec() {
  if (available())
    ::iconv_close(state_);
}

bool ShiftJisCodec::available() const {
  return state_ != kNoHandle;
}

Result<std::string> ShiftJisCodec::Convert(std::string_view text) {
  std::string output;
  output.resize(text.size() * 2 + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  std::size_t produced = 0;
  while (inLeft > 0) {
    char* out = output.data() + produced;
    std::size_t outLeft = output.size() - produced;
    const std::size_t result = ::iconv(state_, &in, &inLeft, &out, &outLeft);
    produced = output.size() - outLeft;
    if (result != static_cast<std::size_t>(-1))
      break;
    if (errno != E2BIG)
      return UnconvertibleTextFailure();
    output.resize(output.size() * 2);
  }
  output.resize(produced);
  return output;
}

}  // namespace kitebar

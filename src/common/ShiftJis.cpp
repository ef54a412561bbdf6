#include "common/ShiftJis.h"

#include <iconv.h>

#include <cerrno>

namespace kitebar {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (valid())
      ::iconv_close(handle_);
  }
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  Result<std::string> Convert(std::string_view input) {
    std::string output;
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* out = output.data() + produced;
      std::size_t outLeft = output.size() - produced;
      const std::size_t result = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
      produced = output.size() - outLeft;
      if (result != static_cast<std::size_t>(-1))
        break;
      if (errno != E2BIG)
        return Status::Failure("text cannot be converted between encodings");
      output.resize(output.size() * 2);
    }
    output.resize(produced);
    return output;
  }

 private:
  iconv_t handle_;
};

Result<std::string> Convert(const char* to, const char* from, std::string_view input) {
  Converter converter(to, from);
  if (!converter.valid())
    return Status::Failure("the CP932 text encoding is not available");
  return converter.Convert(input);
}

}  // namespace

Result<std::string> Utf8ToShiftJis(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8);
}

Result<std::string> ShiftJisToUtf8(std::string_view shiftJis) {
  return Convert("UTF-8", "CP932", shiftJis);
}

}  // namespace kitebar

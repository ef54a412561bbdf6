#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// The one place where text crosses between UTF-8 (the program's own strings)
// and Shift_JIS (code page 932: the pages written and the pages read).
Result<std::string> Utf8ToShiftJis(std::string_view utf8);
Result<std::string> ShiftJisToUtf8(std::string_view shiftJis);

}  // namespace kitebar

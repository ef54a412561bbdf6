#pragma once

#include <cstddef>
#include <string>

#include "common/Status.h"

namespace kitebar::cli {

// Everything on standard input, as bytes (no line-end or end-of-file
// translation on Windows), up to `maxBytes`; more is refused with a message.
Result<std::string> ReadStandardInput(std::size_t maxBytes);

// The refusal of input larger than `maxBytes`.
Status StandardInputTooLarge(std::size_t maxBytes);

}  // namespace kitebar::cli

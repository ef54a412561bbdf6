#include "common/LocalTime.h"

namespace kitebar {

std::tm LocalTimeOf(std::time_t time) {
  std::tm local{};
  ::localtime_r(&time, &local);
  return local;
}

}  // namespace kitebar

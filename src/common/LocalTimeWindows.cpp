#include "common/LocalTime.h"

namespace kitebar {

std::tm LocalTimeOf(std::time_t time) {
  std::tm local{};
  ::localtime_s(&local, &time);
  return local;
}

}  // namespace kitebar

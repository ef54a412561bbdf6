#include "cli/StandardInput.h"

#include "common/NumberText.h"

namespace kitebar::cli {

Status StandardInputTooLarge(std::size_t maxBytes) {
  return Status::Failure("標準入力が大きすぎるため、読めません（上限は " +
                         FormatInt(static_cast<long long>(maxBytes)) +
                         " バイトです）。正しいファイルを渡しているか確かめてください。");
}

}  // namespace kitebar::cli

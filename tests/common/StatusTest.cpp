#include "common/Status.h"

#include <gtest/gtest.h>

#include <string>

namespace kitebar {
namespace {

// A failure told inside another sentence reads as one text: one full stop
// where a sentence ends, none inside brackets, the advice once at the end.
TEST(StatusWrapped, KeepsOneFullStopAndTheAdviceLast) {
  struct Case {
    const char* inner;
    const char* before;
    const char* after;
    const char* expected;
  };
  const Case cases[] = {
      {"書けません。", "保存できません（", "）。元のままです。",
       "保存できません（書けません）。元のままです。"},
      {"書けません", "保存できません（", "）。", "保存できません（書けません）。"},
      {"書けません", "保存できません: ", "元のままです。",
       "保存できません: 書けません。元のままです。"},
      {"書けません。", "保存できません: ", "", "保存できません: 書けません。"},
  };
  for (const Case& c : cases) {
    const Status wrapped = Status::Failure(c.inner, Cause::kPermission).Wrapped(c.before, c.after);
    EXPECT_EQ(wrapped.what(), c.expected);
    EXPECT_EQ(wrapped.cause(), Cause::kPermission);
    EXPECT_TRUE(wrapped.message().starts_with(std::string(c.expected)));
    EXPECT_EQ(wrapped.message().find("。。"), std::string::npos) << wrapped.message();
  }
}

}  // namespace
}  // namespace kitebar

#include <gtest/gtest.h>

#include <string>

#include "RecordingFeedback.h"
#include "history/HttpFetcher.h"
#include "support/CaseNames.h"

namespace kitebar {
namespace {

struct UrlCase {
  std::string url;
  int port;
  std::string host;
  std::string path;
};

class ParseUrlTest : public testing::TestWithParam<UrlCase> {};

TEST_P(ParseUrlTest, GivesHostPathAndPort) {
  test::RecordingFeedback feedback;
  HttpFetcher fetcher(feedback);
  const UrlCase& c = GetParam();
  EXPECT_EQ(fetcher.ParseUrl(c.url), c.port);
  if (c.port >= 0) {
    EXPECT_EQ(fetcher.host(), c.host);
    EXPECT_EQ(fetcher.path(), c.path);
  }
}

// The request text for host "h" and port 80 is 54 characters plus the path.
const std::string kPathFilling255 = "/" + std::string(200, 'p');

INSTANTIATE_TEST_SUITE_P(
    Urls, ParseUrlTest,
    testing::Values(UrlCase{"http://example.com", 80, "example.com", "/"},
                    UrlCase{"HTTP://Example.com/a", 80, "Example.com", "/a"},
                    UrlCase{"http://host:8080/a/b", 8080, "host", "/a/b"},
                    UrlCase{"http://h", 80, "h", "/"}, UrlCase{"http://", -1, "", ""},
                    UrlCase{"https://host/", -1, "", ""}, UrlCase{"ftp://host/x", -1, "", ""},
                    UrlCase{"http://host:/x", 0, "host", "/x"},
                    UrlCase{"http://host:8x/x", 8, "host", "/x"},
                    UrlCase{"http://host:65535/", 65535, "host", "/"},
                    // A port that a 16-bit field cannot hold must not wrap around.
                    UrlCase{"http://host:65616/", -1, "", ""},
                    UrlCase{"http://host:1234567/", -1, "", ""},
                    UrlCase{"http://host:12345678/", -1, "", ""},
                    UrlCase{"http://h" + kPathFilling255, 80, "h", kPathFilling255},
                    UrlCase{"http://h" + kPathFilling255 + "p", -1, "", ""},
                    UrlCase{"http://" + std::string(256, 'h') + "/", -1, "", ""}),
    [](const testing::TestParamInfo<UrlCase>& info) {
      return test::CaseName(info.param.url, info.index);
    });

TEST(HttpRequestTest, CarriesThePortInTheHostHeaderEvenFor80) {
  test::RecordingFeedback feedback;
  HttpFetcher fetcher(feedback);
  ASSERT_EQ(fetcher.ParseUrl("http://example.com/numbers/numtop01.html"), 80);
  EXPECT_EQ(fetcher.RequestText(),
            "GET /numbers/numtop01.html HTTP/1.0\r\nHost: example.com:80\r\n"
            "User-Agent: httpcex/0.0\r\n\r\n");
}

// The fixed message, then why: the URL is refused before anything is sent.
TEST(HttpConnectTest, RefusesAnInvalidUrlWithAStopMessage) {
  const std::string overlong = "http://example.com/" + std::string(240, 'p');
  const struct {
    std::string url;
    std::string message;
  } cases[] = {
      {"http://", "URLが不正です。http:// のあとにサーバー名がありません。"},
      {"example.com/numbers/", "URLが不正です。http:// で始まっていません。"},
      {"HTTPS://example.com/",
       "URLが不正です。https:// には対応していません（http:// だけです）。"},
      {"http://example.com:70000/", "URLが不正です。ポート番号は 65535 までです。"},
      {overlong,
       "URLが不正です。URL が長すぎます（259 文字。サーバー名とパスは合わせて 200 文字ほどまで"
       "です）。"},
  };
  for (const auto& [url, message] : cases) {
    test::RecordingFeedback feedback;
    HttpFetcher fetcher(feedback);
    EXPECT_FALSE(fetcher.Connect(url)) << url;
    ASSERT_EQ(feedback.messages.size(), 1u) << url;
    EXPECT_EQ(feedback.messages[0], message);
    EXPECT_EQ(feedback.icons[0], MessageIcon::kStop);
    EXPECT_FALSE(fetcher.response().has_value());
    EXPECT_EQ(fetcher.failureKind(), HttpFetcher::FailureKind::kAddress);
  }
}

struct StatusCase {
  std::string text;
  bool ok;
};

class StatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusTest, NeedsTwentyFourCharactersAndStatus200) {
  EXPECT_EQ(HttpFetcher::IsStatusOk(GetParam().text), GetParam().ok) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Responses, StatusTest,
    testing::Values(StatusCase{"HTTP/1.0 200 OK\r\n\r\n", false},    // 19 characters
                    StatusCase{"HTTP/1.0 200 OK\r\nX: 123", false},  // 23
                    StatusCase{"HTTP/1.0 200 OK\r\nX: 1234", true},  // 24
                    StatusCase{"HTTP/1.1 200 OK\r\nServer: t\r\n\r\n<html>", true},
                    StatusCase{"HTTP/1.0 404 Not Found\r\n\r\nnot here", false},
                    StatusCase{"HTTP/1.0 20 OK\r\n\r\n..............", false},
                    StatusCase{"", false}),
    [](const testing::TestParamInfo<StatusCase>& info) {
      return test::CaseName(info.param.text, info.index);
    });

}  // namespace
}  // namespace kitebar

// The HTTP client against the loopback server: blocks, lines, errors and the abort flag.
#include "platform/net/http_client.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/loopback_http_server.h"

namespace sonavera::platform::net {
namespace {

using testing::HttpReply;
using testing::LoopbackHttpServer;

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("no_proxy", "127.0.0.1", 1);
    setenv("NO_PROXY", "127.0.0.1", 1);
  }
};

TEST_F(HttpClientTest, ReadsTheBodyInBlocksAndLinesWhateverTheStatus) {
  LoopbackHttpServer server([](const std::string& target) {
    HttpReply reply;
    if (target == "/lines") {
      reply.body = "first\r\nsecond\nlast";
    } else {
      reply.status = 403;
      reply.body = std::string(1300, 'e');
    }
    return reply;
  });
  HttpGet lines(server.BaseUrl() + "/lines");
  EXPECT_EQ(lines.Status(), 200);
  std::string line;
  std::vector<std::string> all;
  while (lines.ReadLine(line)) all.push_back(line);
  EXPECT_EQ(all, (std::vector<std::string>{"first", "second", "last"}));

  HttpGet blocks(server.BaseUrl() + "/error");
  EXPECT_EQ(blocks.Status(), 403);
  char block[512];
  std::vector<size_t> sizes;
  for (size_t n; (n = blocks.Read(block, sizeof(block))) > 0;) sizes.push_back(n);
  size_t total = 0;
  for (size_t n : sizes) {
    EXPECT_LE(n, 512u);
    total += n;
  }
  EXPECT_EQ(total, 1300u);
}

TEST_F(HttpClientTest, FailuresAreNetworkErrorsThatNeverShowTheAddress) {
  const auto failure = [](const std::string& url) {
    try {
      HttpGet get(url);
      return std::string("no error");
    } catch (const NetworkError& error) {
      return std::string(error.what());
    }
  };
  const std::string refused = failure("http://127.0.0.1:1/f?access_token=SECRET123");
  EXPECT_NE(refused, "no error");
  EXPECT_EQ(refused.find("SECRET123"), std::string::npos);
  EXPECT_NE(failure("ftp://127.0.0.1/x"), "no error");
  EXPECT_NE(failure("file:///etc/passwd"), "no error");
  // A plain HTTP server cannot pass for an https one.
  LoopbackHttpServer server([](const std::string&) { return HttpReply{200, "plain", 0, 512}; });
  std::string https = server.BaseUrl();
  https.replace(0, 4, "https");
  EXPECT_NE(failure(https + "/x"), "no error");
}

TEST_F(HttpClientTest, AbortFlagEndsAWaitingRead) {
  LoopbackHttpServer server([](const std::string&) {
    return HttpReply{200, std::string(512 * 200, 's'), 50, 512};
  });
  std::atomic<bool> abort{false};
  HttpGetOptions options;
  options.abort = &abort;
  HttpGet get(server.BaseUrl() + "/slow", options);
  char block[512];
  EXPECT_GT(get.Read(block, sizeof(block)), 0u);
  abort = true;
  size_t after = 0;
  for (size_t n; (n = get.Read(block, sizeof(block))) > 0;) after += n;
  EXPECT_TRUE(get.Aborted());
  EXPECT_LT(after, 512u * 199);
}

}  // namespace
}  // namespace sonavera::platform::net

// Names, tokens, size answers, the queue and the settings file.
#include <gtest/gtest.h>

#include "delivery/delivery_state.h"
#include "delivery/download_names.h"
#include "delivery/download_queue.h"
#include "delivery/token_file.h"
#include "platform/config.h"
#include "support/temp_folder.h"

namespace sonavera::delivery {
namespace {

TEST(EncodeName, Utf8BytesPercentEncodedWithPlusForBlanks) {
  EXPECT_EQ(EncodeName("你 好"), "%E4%BD%A0+%E5%A5%BD");
  EXPECT_EQ(EncodeName("Abc09"), "Abc09");
  EXPECT_EQ(EncodeName("a-b_c.d~"), "a%2Db%5Fc%2Ed%7E");
  EXPECT_EQ(EncodeName("a\tb&c=d/e%"), "a+b%26c%3Dd%2Fe%25");
}

struct PlainCase {
  const char* name;
  bool plain;
};

class PlainNames : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainNames, OnlyPlainNamesReachThePath) { EXPECT_EQ(IsPlainName(GetParam().name), GetParam().plain); }

INSTANTIATE_TEST_SUITE_P(Names, PlainNames,
                         ::testing::Values(PlainCase{"月亮代表我的心", true}, PlainCase{"Song_KTV版 2", true},
                                           PlainCase{"", false}, PlainCase{"a/b", false}, PlainCase{"a\\b", false},
                                           PlainCase{"..", false}, PlainCase{"x..y", false}, PlainCase{"C:x", false},
                                           PlainCase{"tab\there", false}, PlainCase{"bell\x07", false},
                                           PlainCase{"del\x7F", false}, PlainCase{"\xC3", false}));

TEST(IsPlainName, LongNamesAreRefused) {
  EXPECT_TRUE(IsPlainName(std::string(251, 'a')));
  EXPECT_FALSE(IsPlainName(std::string(252, 'a')));
}

TEST(TokenFile, ThreeLinesGiveThreeTokensInOrder) {
  const std::string text =
      "https://x/?access_token=T1&expires_in=2592000\r\n"
      "no token here\n"
      "access_token=T2&a=b&c=d\n"
      "prefix access_token=T3\n";
  EXPECT_EQ(ParseTokenFile(text), (std::vector<std::string>{"T1", "T2", ""}));
  EXPECT_EQ(TokenOfLine("access_token=&x"), std::string());
  EXPECT_EQ(TokenOfLine("nothing"), std::nullopt);
}

TEST(SizeAnswer, SizeTextRunsToTheNextComma) {
  EXPECT_EQ(SizeTextOfLine("{\"list\":[{\"fs_id\":1,\"size\":123456,\"isdir\":0}]}"), "123456");
  EXPECT_EQ(SizeTextOfLine("\"size\":99}"), "99}");
  EXPECT_EQ(SizeTextOfLine("\"size"), "");
  EXPECT_EQ(SizeTextOfLine("no length"), std::nullopt);
  EXPECT_EQ(ParseSizeText("123456"), 123456);
  EXPECT_EQ(ParseSizeText(" 99}"), 99);
  EXPECT_EQ(ParseSizeText("abc"), 0);
  EXPECT_EQ(ParseSizeText(""), 0);
  EXPECT_EQ(ParseSizeText("99999999999999999999999"), 0);
}

TEST(DownloadQueue, OneWorkerHoldsTheQueueUntilItFindsItEmpty) {
  DownloadQueue queue;
  const auto first = queue.Append("A");
  ASSERT_TRUE(first.has_value());
  EXPECT_FALSE(queue.Append("B").has_value());  // the running worker takes B up
  EXPECT_EQ(queue.Text(), "A\r\nB\r\n");
  EXPECT_TRUE(queue.Contains("B"));
  EXPECT_FALSE(queue.Contains("b"));
  EXPECT_EQ(queue.NextOrRelease(*first), "A");
  queue.RemoveHead("B", *first);  // not the head: nothing happens
  queue.RemoveHead("A", *first);
  EXPECT_EQ(queue.NextOrRelease(*first), "B");
  queue.RemoveHead("B", *first);
  EXPECT_EQ(queue.NextOrRelease(*first), std::nullopt);
  EXPECT_FALSE(queue.Held());
  // A name appended after the worker let go needs a new worker.
  const auto second = queue.Append("C");
  ASSERT_TRUE(second.has_value());
  EXPECT_NE(*second, *first);
}

TEST(DownloadQueue, ClearedQueueIsNoLongerTouchedByTheOldWorker) {
  DownloadQueue queue;
  const auto old = queue.Append("A");
  queue.Clear();
  const auto fresh = queue.Append("A");
  ASSERT_TRUE(old && fresh);
  queue.RemoveHead("A", *old);
  EXPECT_EQ(queue.NextOrRelease(*old), std::nullopt);
  EXPECT_EQ(queue.NextOrRelease(*fresh), "A");
  EXPECT_TRUE(queue.Held());
}

TEST(Config, SectionsKeysCommentsAndFallbacks) {
  const auto config = platform::Config::Parse(
      "\xEF\xBB\xBF; comment\n[network]\r\ntokenUrl = http://127.0.0.1:8/t.txt \n# other\nstorageUrl=\n"
      "[web]\nsiteUrl=https://example.invalid/a=b\nbroken line\n[network]\ntokenUrl=http://second\n");
  EXPECT_EQ(config.Get("network", "tokenUrl"), "http://second");
  EXPECT_EQ(config.Get("network", "storageUrl", "unset"), "");
  EXPECT_EQ(config.Get("web", "siteUrl"), "https://example.invalid/a=b");
  EXPECT_EQ(config.Get("web", "missing", "fallback"), "fallback");
  EXPECT_EQ(config.Get("Web", "siteUrl", "case"), "case");
  EXPECT_EQ(platform::Config::Load("/nonexistent/folder").Get("network", "tokenUrl", "none"), "none");
}

TEST(Config, ShippedSettingsConfigureNoServer) {
  const auto config = platform::Config::Load(SONAVERA_PROGRAM_DIR);
  const auto network = NetworkSettings::From(config);
  EXPECT_EQ(config.Get("network", "tokenUrl", "absent"), "");
  EXPECT_TRUE(network.tokenUrl.empty());
  EXPECT_TRUE(network.storageUrl.empty());
  EXPECT_EQ(config.Get("support", "customerServiceNumber", "absent"), "");
}

}  // namespace
}  // namespace sonavera::delivery

#include "platform/hid/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid_descriptors.h"

namespace sonavera::platform {
namespace {

using sonavera::testing::ArrayButtonsDescriptor;
using sonavera::testing::DanceMatDescriptor;
using sonavera::testing::GamepadDescriptor;
using sonavera::testing::MouseDescriptor;
using sonavera::testing::ReportIdDescriptor;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kButtonPage = 9;

HidReportDescriptor MustParse(const Bytes& bytes) {
  std::string error;
  auto descriptor = HidReportDescriptor::Parse(bytes, &error);
  EXPECT_TRUE(descriptor) << error;
  return descriptor ? *descriptor : HidReportDescriptor{};
}

TEST(HidReportDescriptor, GamepadDeclaresTwelveButtonsAfterAxesAndHat) {
  const auto descriptor = MustParse(GamepadDescriptor());
  EXPECT_EQ(descriptor.Caps().usagePage, 1);
  EXPECT_EQ(descriptor.Caps().usage, 4);
  EXPECT_EQ(descriptor.Caps().inputReportByteLength, 8u);
  EXPECT_FALSE(descriptor.UsesReportIds());
  const auto buttons = descriptor.SpecificButtonCaps(kButtonPage);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].usageMin, 1);
  EXPECT_EQ(buttons[0].usageMax, 12);
  EXPECT_EQ(buttons[0].bitOffset, 44u);
  EXPECT_EQ(buttons[0].count, 12u);
  // Five axes (one cap per usage) and the hat; the vendor bits are buttons on their own page.
  EXPECT_EQ(descriptor.Caps().numberInputValueCaps, 6u);
  EXPECT_EQ(descriptor.InputValueCaps()[5].usage, 0x39);
  EXPECT_EQ(descriptor.InputValueCaps()[5].bitOffset, 40u);
  EXPECT_EQ(descriptor.SpecificButtonCaps(0xFF00).size(), 1u);
  EXPECT_EQ(descriptor.InputButtonCaps().front().usagePage, kButtonPage);
}

TEST(HidReportDescriptor, GamepadReportGivesPressedUsages) {
  const auto descriptor = MustParse(GamepadDescriptor());
  // Axes centred, hat released (8), buttons 1, 3 and 12: bits 44, 46, 55; a vendor bit set too.
  const Bytes report = {0x80, 0x80, 0x80, 0x80, 0x80, 0x58, 0x80, 0xFF};
  const auto usages = descriptor.GetUsages(kButtonPage, report);
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{1, 3, 12}));
  const auto none = descriptor.GetUsages(kButtonPage, Bytes{0x80, 0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0xFF});
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
  EXPECT_FALSE(descriptor.GetUsages(kButtonPage, Bytes{0x80, 0x80, 0x80, 0x80, 0x80, 0x58}))
      << "short report";
}

TEST(HidReportDescriptor, DanceMatPopRestoresOneBitFieldsAfterTheHat) {
  const auto descriptor = MustParse(DanceMatDescriptor());
  EXPECT_EQ(descriptor.Caps().inputReportByteLength, 3u);
  ASSERT_EQ(descriptor.InputButtonCaps().size(), 1u);
  EXPECT_EQ(descriptor.InputButtonCaps()[0].usageMax, 10);
  ASSERT_EQ(descriptor.InputValueCaps().size(), 1u);
  EXPECT_EQ(descriptor.InputValueCaps()[0].bitOffset, 12u);
  EXPECT_EQ(descriptor.InputValueCaps()[0].bitSize, 4u);
  // Buttons 2 and 10 with the hat pointing right (2).
  const auto usages = descriptor.GetUsages(kButtonPage, Bytes{0x02, 0x22, 0x00});
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{2, 10}));
}

TEST(HidReportDescriptor, ReportIdsSelectTheirOwnFields) {
  const auto descriptor = MustParse(ReportIdDescriptor());
  EXPECT_TRUE(descriptor.UsesReportIds());
  EXPECT_EQ(descriptor.InputReportLength(1), 4u);
  EXPECT_EQ(descriptor.InputReportLength(2), 5u);
  EXPECT_EQ(descriptor.InputReportLength(3), 0u);
  EXPECT_EQ(descriptor.Caps().inputReportByteLength, 5u);
  const auto usages = descriptor.GetUsages(kButtonPage, Bytes{0x01, 0x05, 0x00, 0x00});
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{1, 3}));
  EXPECT_FALSE(descriptor.GetUsages(kButtonPage, Bytes{0x02, 0xFF, 0xFF, 0xFF, 0xFF})) << "vendor report";
  EXPECT_FALSE(descriptor.GetUsages(kButtonPage, Bytes{0x03, 0xFF, 0xFF, 0xFF})) << "undeclared ID";
  EXPECT_FALSE(descriptor.GetUsages(kButtonPage, Bytes{})) << "empty report";
}

TEST(HidReportDescriptor, ArraySelectorsNameUsages) {
  const auto descriptor = MustParse(ArrayButtonsDescriptor());
  ASSERT_EQ(descriptor.InputButtonCaps().size(), 1u);
  EXPECT_TRUE(descriptor.InputButtonCaps()[0].isArray);
  auto usages = descriptor.GetUsages(kButtonPage, Bytes{3, 0});
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{3}));
  usages = descriptor.GetUsages(kButtonPage, Bytes{16, 200});  // 200 lies outside 1..16: nothing
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{16}));
}

TEST(HidReportDescriptor, MouseIsNoJoystick) {
  const auto descriptor = MustParse(MouseDescriptor());
  EXPECT_EQ(descriptor.Caps().usage, 2);
  EXPECT_EQ(descriptor.InputButtonCaps().size(), 1u);
}

TEST(HidReportDescriptor, ExtendedUsageRangeOverTheWholeSpaceStaysBounded) {
  // Usage Minimum 0 and Usage Maximum 0xFFFFFFFF (four-byte extended usages), 8 one-bit fields.
  const Bytes bytes = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x1B, 0x00, 0x00, 0x00, 0x00, 0x2B,
                       0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};
  const auto descriptor = MustParse(bytes);
  ASSERT_EQ(descriptor.InputButtonCaps().size(), 1u);
  EXPECT_EQ(descriptor.InputButtonCaps()[0].count, 8u);
  const auto usages = descriptor.GetUsages(0, Bytes{0x81});
  ASSERT_TRUE(usages);
  EXPECT_EQ(*usages, (std::vector<uint16_t>{0, 7}));
}

TEST(HidReportDescriptor, LongItemsAreSkipped) {
  Bytes bytes = {0xFE, 0x02, 0x10, 0xAA, 0xBB};
  const Bytes mat = DanceMatDescriptor();
  bytes.insert(bytes.end(), mat.begin(), mat.end());
  const auto descriptor = MustParse(bytes);
  EXPECT_EQ(descriptor.InputButtonCaps().size(), 1u);
}

struct Malformed {
  const char* name;
  Bytes bytes;
};

class MalformedDescriptor : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedDescriptor, IsRefusedWithAReason) {
  std::string error;
  EXPECT_FALSE(HidReportDescriptor::Parse(GetParam().bytes, &error));
  EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, MalformedDescriptor,
    ::testing::Values(
        Malformed{"TruncatedShortItem", {0x05, 0x01, 0x09}},
        Malformed{"TruncatedFourByteItem", {0x05, 0x01, 0x0B, 0x04, 0x00}},
        Malformed{"TruncatedLongItem", {0xFE, 0x05, 0x10, 0xAA}},
        Malformed{"LongItemWithoutHeader", {0xFE, 0x05}},
        Malformed{"HugeCount",
                  {0x05, 0x09, 0x19, 0x01, 0x29, 0x08, 0x75, 0x20, 0x97, 0xFF, 0xFF, 0x00, 0x00, 0x81, 0x02}},
        Malformed{"CountTimesSizeTooLong",
                  {0x05, 0x09, 0x19, 0x01, 0x29, 0x08, 0x75, 0x20, 0x96, 0xFF, 0xFF, 0x81, 0x02}},
        Malformed{"ReportSizeOver32", {0x75, 0x21}}, Malformed{"PopWithoutPush", {0x05, 0x01, 0xB4}},
        Malformed{"EndWithoutCollection", {0xC0}},
        Malformed{"CollectionNotClosed", {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01}},
        Malformed{"UsageRangeTurnedRound", {0x05, 0x09, 0x19, 0x0C, 0x29, 0x01}},
        Malformed{"ReportIdZero", {0x85, 0x00}}, Malformed{"PushTooDeep", Bytes(40, 0xA4)},
        Malformed{"CollectionsTooDeep", Bytes(40, 0xA1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidReportDescriptor, EveryProperPrefixOfARealDescriptorIsRefused) {
  for (const Bytes& full : {GamepadDescriptor(), DanceMatDescriptor(), ReportIdDescriptor()}) {
    for (size_t length = 0; length < full.size(); ++length) {
      const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
      // Before the application collection opens (6 bytes) a cut declares nothing; every later cut
      // leaves an item or a collection open.
      const auto descriptor = HidReportDescriptor::Parse(prefix);
      if (length <= 6 && descriptor) {
        EXPECT_TRUE(descriptor->InputButtonCaps().empty());
      } else {
        EXPECT_FALSE(descriptor) << "length " << length;
      }
    }
  }
}

TEST(HidReportDescriptor, CorruptedDescriptorsNeverReadOutsideTheReport) {
  // Flip bytes of the real descriptors with a fixed sequence; whatever parses must read reports of
  // its declared length without stepping outside them (the sanitizer build watches).
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (const Bytes& original : {GamepadDescriptor(), DanceMatDescriptor(), ReportIdDescriptor()}) {
    for (int round = 0; round < 400; ++round) {
      Bytes bytes = original;
      for (int flips = 0; flips < 3; ++flips)
        bytes[next() % bytes.size()] = static_cast<uint8_t>(next() >> 16);
      const auto descriptor = HidReportDescriptor::Parse(bytes);
      if (!descriptor) continue;
      for (uint32_t id = 0; id < 256; ++id) {
        const uint32_t length = descriptor->InputReportLength(static_cast<uint8_t>(id));
        if (length == 0) continue;
        Bytes report(length, 0xFF);
        report[0] = descriptor->UsesReportIds() ? static_cast<uint8_t>(id) : 0xFF;
        for (const auto& cap : descriptor->InputButtonCaps()) {
          const auto usages = descriptor->GetUsages(cap.usagePage, report);
          if (usages && cap.reportId == id && !cap.isArray) {
            EXPECT_FALSE(usages->empty());
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace sonavera::platform

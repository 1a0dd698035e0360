#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sonavera::platform {

/// One input field of buttons: either a bit field (one bit per usage, `isArray` false) or an array of
/// `count` selectors, each `bitSize` bits wide, whose values name the pressed usages.
struct HidButtonCap {
  uint16_t usagePage = 0;
  uint8_t reportId = 0;  // 0 when the device uses no report IDs
  uint16_t usageMin = 0;
  uint16_t usageMax = 0;
  uint32_t bitOffset = 0;  // from the start of the report's data (after the report ID byte)
  uint32_t bitSize = 1;
  uint32_t count = 0;
  bool isArray = false;
  int32_t logicalMin = 0;  // arrays: the selector value that names usageMin
  int32_t logicalMax = 0;
};

/// One input value field (axes, hat switches); only described, never read by the stick.
struct HidValueCap {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  uint8_t reportId = 0;
  uint32_t bitOffset = 0;
  uint32_t bitSize = 0;
  uint32_t count = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
};

/// What the device declares at the top: its first application collection and its report sizes.
struct HidCaps {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  uint32_t inputReportByteLength = 0;  // the longest input report, report ID byte included
  uint32_t numberInputButtonCaps = 0;
  uint32_t numberInputValueCaps = 0;
};

/// A parsed HID report descriptor: the input button and value fields with their places in the
/// reports. Built only by Parse; a descriptor that cannot be parsed gives nothing at all.
class HidReportDescriptor {
 public:
  /// Parses the descriptor bytes. std::nullopt (and a one-line reason in `error`) for truncated items,
  /// unbalanced push/pop or collections, usage ranges turned round, or reports longer than a HID
  /// device can send.
  static std::optional<HidReportDescriptor> Parse(std::span<const uint8_t> bytes,
                                                  std::string* error = nullptr);

  const HidCaps& Caps() const { return caps; }
  const std::vector<HidButtonCap>& InputButtonCaps() const { return buttonCaps; }
  const std::vector<HidValueCap>& InputValueCaps() const { return valueCaps; }
  bool UsesReportIds() const { return usesReportIds; }

  /// The input button caps on `usagePage` only.
  std::vector<HidButtonCap> SpecificButtonCaps(uint16_t usagePage) const;

  /// The pressed button usages on `usagePage` in one input report (its report ID byte first when the
  /// device uses IDs). std::nullopt when the report is shorter than its fields, carries an ID the
  /// descriptor does not declare for input, or holds no buttons of that page.
  std::optional<std::vector<uint16_t>> GetUsages(uint16_t usagePage, std::span<const uint8_t> report) const;

  /// The input report length in bytes (ID byte included) for one report ID; 0 when not declared.
  uint32_t InputReportLength(uint8_t reportId) const;

 private:
  friend class HidDescriptorParser;
  HidCaps caps;
  std::vector<HidButtonCap> buttonCaps;
  std::vector<HidValueCap> valueCaps;
  std::vector<uint32_t> inputBits;  // data bits of each input report, indexed by report ID (0..255)
  bool usesReportIds = false;
};

}  // namespace sonavera::platform

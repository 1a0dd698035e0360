#include "platform/hid/hid_report_descriptor.h"

#include <algorithm>

namespace sonavera::platform {
namespace {

// Item types and tags of the short item format (HID 1.11, 6.2.2).
constexpr int kMain = 0, kGlobal = 1, kLocal = 2;
constexpr int kInput = 0x8, kCollection = 0xA, kEndCollection = 0xC;
constexpr int kUsagePage = 0x0, kLogicalMin = 0x1, kLogicalMax = 0x2, kReportSize = 0x7, kReportId = 0x8,
              kReportCount = 0x9, kPush = 0xA, kPop = 0xB;
constexpr int kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2;
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr int kApplicationCollection = 0x01;

// A HID device sends at most this many bytes in one report (the kernel's buffer size); longer
// declarations are corrupt, and the limit keeps every offset far from overflow.
constexpr uint32_t kMaxReportBits = 16384 * 8;
constexpr size_t kMaxStackDepth = 32;
constexpr size_t kMaxCaps = 1024;

struct GlobalState {
  uint16_t usagePage = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

// One Usage item or one Usage Minimum/Maximum pair, with the page it names (extended usages carry
// their own page in the upper 16 bits; others take the page current at the main item).
struct LocalUsage {
  uint32_t min = 0;
  uint32_t max = 0;
  bool extended = false;
};

struct LocalState {
  std::vector<LocalUsage> usages;
  std::optional<uint32_t> pendingMin;
  std::optional<uint32_t> pendingMax;
};

}  // namespace

class HidDescriptorParser {
 public:
  explicit HidDescriptorParser(HidReportDescriptor& out) : out(out) { out.inputBits.assign(256, 0); }

  bool Run(std::span<const uint8_t> bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
      const uint8_t prefix = bytes[pos];
      if (prefix == kLongItemPrefix) {
        // Long items carry no meaning we use: skip their data (size byte, tag byte, data).
        if (pos + 3 > bytes.size()) return Fail("truncated long item");
        const size_t length = bytes[pos + 1];
        if (pos + 3 + length > bytes.size()) return Fail("truncated long item");
        pos += 3 + length;
        continue;
      }
      const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
      if (pos + 1 + size > bytes.size()) return Fail("truncated item");
      uint32_t data = 0;
      for (size_t i = 0; i < size; ++i) data |= static_cast<uint32_t>(bytes[pos + 1 + i]) << (8 * i);
      const int type = (prefix >> 2) & 3;
      const int tag = prefix >> 4;
      pos += 1 + size;
      bool ok = true;
      if (type == kMain)
        ok = MainItem(tag, data);
      else if (type == kGlobal)
        ok = GlobalItem(tag, data, size);
      else if (type == kLocal)
        ok = LocalItem(tag, data, size);
      if (!ok) return false;
    }
    if (collectionDepth != 0) return Fail("collection not closed");
    FinishCaps();
    return true;
  }

  std::string error;

 private:
  bool Fail(const char* reason) {
    error = reason;
    return false;
  }

  static int32_t Signed(uint32_t data, size_t size) {
    if (size == 1) return static_cast<int8_t>(data);
    if (size == 2) return static_cast<int16_t>(data);
    return static_cast<int32_t>(data);
  }

  bool GlobalItem(int tag, uint32_t data, size_t size) {
    switch (tag) {
      case kUsagePage:
        global.usagePage = static_cast<uint16_t>(data);
        break;
      case kLogicalMin:
        global.logicalMin = Signed(data, size);
        break;
      case kLogicalMax:
        global.logicalMax = Signed(data, size);
        break;
      case kReportSize:
        if (data > 32) return Fail("report size over 32 bits");
        global.reportSize = data;
        break;
      case kReportCount:
        if (data > kMaxReportBits) return Fail("report count too large");
        global.reportCount = data;
        break;
      case kReportId:
        if (data == 0 || data > 255) return Fail("report ID out of range");
        global.reportId = static_cast<uint8_t>(data);
        out.usesReportIds = true;
        break;
      case kPush:
        if (stack.size() >= kMaxStackDepth) return Fail("push nested too deep");
        stack.push_back(global);
        break;
      case kPop:
        if (stack.empty()) return Fail("pop without push");
        global = stack.back();
        stack.pop_back();
        break;
      default:
        break;  // physical range, units, exponents: not needed
    }
    return true;
  }

  bool LocalItem(int tag, uint32_t data, size_t size) {
    const bool extended = size == 4;
    if (tag == kUsage) {
      local.usages.push_back({data, data, extended});
    } else if (tag == kUsageMin) {
      local.pendingMin = data;
    } else if (tag == kUsageMax) {
      local.pendingMax = data;
    }
    if (local.pendingMin && local.pendingMax) {
      if (*local.pendingMin > *local.pendingMax) return Fail("usage range turned round");
      local.usages.push_back({*local.pendingMin, *local.pendingMax, extended});
      local.pendingMin.reset();
      local.pendingMax.reset();
    }
    return true;
  }

  bool MainItem(int tag, uint32_t data) {
    bool ok = true;
    if (tag == kCollection) {
      if (++collectionDepth > static_cast<int>(kMaxStackDepth)) ok = Fail("collections nested too deep");
      // The first application collection names the device (generic desktop / joystick for a stick).
      else if (!sawApplication && (data & 0xFF) == kApplicationCollection && !local.usages.empty()) {
        sawApplication = true;
        const LocalUsage& usage = local.usages.front();
        out.caps.usagePage = usage.extended ? static_cast<uint16_t>(usage.min >> 16) : global.usagePage;
        out.caps.usage = static_cast<uint16_t>(usage.min);
      }
    } else if (tag == kEndCollection) {
      if (--collectionDepth < 0) ok = Fail("end collection without collection");
    } else if (tag == kInput) {
      ok = InputItem(data);
    }
    local = LocalState{};  // local items last only until the next main item
    return ok;
  }

  bool InputItem(uint32_t flags) {
    const uint64_t bits = static_cast<uint64_t>(global.reportSize) * global.reportCount;
    uint32_t& used = out.inputBits[global.reportId];
    if (used + bits > kMaxReportBits) return Fail("report longer than a device can send");
    const uint32_t offset = used;
    used += static_cast<uint32_t>(bits);
    const bool constant = flags & 0x01;
    const bool variable = flags & 0x02;
    if (constant || bits == 0 || local.usages.empty()) return true;  // padding
    if (out.buttonCaps.size() + out.valueCaps.size() + local.usages.size() > kMaxCaps)
      return Fail("too many fields");

    if (!variable) {
      // An array: every selector names one usage of the declared ranges; one cap per range, all
      // reading the same selectors.
      int64_t selector = global.logicalMin;
      for (const LocalUsage& usage : local.usages) {
        HidButtonCap cap = Button(usage, offset, global.reportSize, global.reportCount, true);
        cap.logicalMin = static_cast<int32_t>(std::clamp<int64_t>(selector, INT32_MIN, INT32_MAX));
        cap.logicalMax = static_cast<int32_t>(
            std::clamp<int64_t>(selector + (cap.usageMax - cap.usageMin), INT32_MIN, INT32_MAX));
        selector += static_cast<int64_t>(cap.usageMax - cap.usageMin) + 1;
        out.buttonCaps.push_back(cap);
      }
      return true;
    }

    // Variable fields take the usages in order; bit fields of one bit are buttons, wider are values.
    uint32_t field = 0;
    for (const LocalUsage& usage : local.usages) {
      if (field >= global.reportCount) break;
      // 64-bit: a range over the whole 32-bit usage space must not wrap to nothing.
      const auto span = static_cast<uint32_t>(
          std::min<uint64_t>(uint64_t{usage.max} - usage.min + 1, global.reportCount - field));
      const uint32_t fieldOffset = offset + field * global.reportSize;
      if (global.reportSize == 1) {
        LocalUsage part = usage;
        part.max = usage.min + span - 1;
        out.buttonCaps.push_back(Button(part, fieldOffset, 1, span, false));
      } else {
        HidValueCap cap;
        cap.usagePage = PageOf(usage);
        cap.usage = static_cast<uint16_t>(usage.min);
        cap.reportId = global.reportId;
        cap.bitOffset = fieldOffset;
        cap.bitSize = global.reportSize;
        cap.count = span;
        cap.logicalMin = global.logicalMin;
        cap.logicalMax = global.logicalMax;
        out.valueCaps.push_back(cap);
      }
      field += span;
    }
    return true;
  }

  uint16_t PageOf(const LocalUsage& usage) const {
    return usage.extended ? static_cast<uint16_t>(usage.min >> 16) : global.usagePage;
  }

  HidButtonCap Button(const LocalUsage& usage, uint32_t offset, uint32_t size, uint32_t count,
                      bool array) const {
    HidButtonCap cap;
    cap.usagePage = PageOf(usage);
    cap.reportId = global.reportId;
    cap.usageMin = static_cast<uint16_t>(usage.min);
    // A range that crosses into another page (extended usages) is cut at the page's end.
    cap.usageMax = (usage.max >> 16) != (usage.min >> 16) ? 0xFFFF : static_cast<uint16_t>(usage.max);
    cap.bitOffset = offset;
    cap.bitSize = size;
    cap.count = count;
    cap.isArray = array;
    return cap;
  }

  void FinishCaps() {
    uint32_t longest = 0;
    for (uint32_t bits : out.inputBits) longest = std::max(longest, bits);
    out.caps.inputReportByteLength = longest == 0 ? 0 : (longest + 7) / 8 + (out.usesReportIds ? 1 : 0);
    out.caps.numberInputButtonCaps = static_cast<uint32_t>(out.buttonCaps.size());
    out.caps.numberInputValueCaps = static_cast<uint32_t>(out.valueCaps.size());
  }

  HidReportDescriptor& out;
  GlobalState global;
  LocalState local;
  std::vector<GlobalState> stack;
  int collectionDepth = 0;
  bool sawApplication = false;
};

std::optional<HidReportDescriptor> HidReportDescriptor::Parse(std::span<const uint8_t> bytes,
                                                              std::string* error) {
  HidReportDescriptor descriptor;
  HidDescriptorParser parser(descriptor);
  if (!parser.Run(bytes)) {
    if (error) *error = parser.error;
    return std::nullopt;
  }
  return descriptor;
}

std::vector<HidButtonCap> HidReportDescriptor::SpecificButtonCaps(uint16_t usagePage) const {
  std::vector<HidButtonCap> caps;
  for (const HidButtonCap& cap : buttonCaps)
    if (cap.usagePage == usagePage) caps.push_back(cap);
  return caps;
}

uint32_t HidReportDescriptor::InputReportLength(uint8_t reportId) const {
  if (inputBits.empty() || inputBits[reportId] == 0) return 0;
  return (inputBits[reportId] + 7) / 8 + (usesReportIds ? 1 : 0);
}

namespace {

// Reads `size` bits (at most 32) starting at bit `offset` of `data`, least significant bit first.
uint32_t ReadBits(std::span<const uint8_t> data, uint32_t offset, uint32_t size) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const uint32_t bit = offset + i;
    if ((data[bit / 8] >> (bit % 8)) & 1) value |= 1u << i;
  }
  return value;
}

}  // namespace

std::optional<std::vector<uint16_t>> HidReportDescriptor::GetUsages(uint16_t usagePage,
                                                                    std::span<const uint8_t> report) const {
  uint8_t reportId = 0;
  std::span<const uint8_t> data = report;
  if (usesReportIds) {
    if (report.empty()) return std::nullopt;
    reportId = report[0];
    data = report.subspan(1);
  }
  const uint32_t length = InputReportLength(reportId);
  if (length == 0 || report.size() < length) return std::nullopt;

  std::vector<uint16_t> usages;
  bool found = false;
  for (const HidButtonCap& cap : buttonCaps) {
    if (cap.usagePage != usagePage || cap.reportId != reportId) continue;
    found = true;
    for (uint32_t i = 0; i < cap.count; ++i) {
      const uint32_t value = ReadBits(data, cap.bitOffset + i * cap.bitSize, cap.bitSize);
      if (!cap.isArray) {
        if (value) usages.push_back(static_cast<uint16_t>(cap.usageMin + i));
        continue;
      }
      // Selectors are unsigned unless the logical range is negative; out-of-range values mean "none".
      const int64_t selector = cap.logicalMin < 0 && cap.bitSize < 32 && (value >> (cap.bitSize - 1))
                                   ? static_cast<int64_t>(value) - (int64_t{1} << cap.bitSize)
                                   : static_cast<int64_t>(value);
      if (selector < cap.logicalMin || selector > cap.logicalMax) continue;
      const auto usage = static_cast<uint16_t>(cap.usageMin + (selector - cap.logicalMin));
      if (std::find(usages.begin(), usages.end(), usage) == usages.end()) usages.push_back(usage);
    }
  }
  // A report without buttons of that page (another report of the device) says nothing about them.
  if (!found) return std::nullopt;
  return usages;
}

}  // namespace sonavera::platform

#include "app/dance_stick.h"

#include <algorithm>

#include "app/stick_settings.h"

namespace sonavera::app {

DanceStick::DanceStick() {
  std::fill(std::begin(stickButtons), std::end(stickButtons), 0);
}

int DanceStick::OnRawInput(const platform::HidReportDescriptor& descriptor, std::span<const uint8_t> block) {
  // A block may hold several reports back to back; like the original handler only the first counts.
  const uint32_t length = descriptor.Caps().inputReportByteLength;
  if (length != 0 && block.size() > length) {
    const uint8_t id = descriptor.UsesReportIds() && !block.empty() ? block[0] : 0;
    const uint32_t own = descriptor.InputReportLength(id);
    if (own != 0) block = block.first(std::min<size_t>(block.size(), own));
  }
  ParseStickReport(descriptor, block);
  return 0;
}

bool DanceStick::ParseStickReport(const platform::HidReportDescriptor& descriptor,
                                  std::span<const uint8_t> report) {
  const auto& caps = descriptor.InputButtonCaps();
  if (caps.empty()) return false;
  const platform::HidButtonCap& first = caps.front();
  stickButtonCount = first.usageMax - first.usageMin + 1;
  const auto usages = descriptor.GetUsages(first.usagePage, report);
  // Room for stickButtonCount usages only: more pressed than that fails like a short buffer.
  if (!usages || usages->size() > static_cast<size_t>(stickButtonCount)) return false;
  std::fill(std::begin(stickButtons), std::end(stickButtons), 0);
  for (uint16_t usage : *usages) {
    // Usages of other ranges on the same page may lie below the first or past the 128 slots.
    const int index = static_cast<int>(usage) - static_cast<int>(first.usageMin);
    if (index >= 0 && index < kButtonSlots) stickButtons[index] = 1;
  }
  return true;
}

DirectionMapResult DanceStick::LoadDirectionMap(StickSettings& settings) {
  if (!settings.Open()) return DirectionMapResult::absent;
  const struct {
    int offset;
    int* direction;
  } order[] = {{kStickOffsetLeft, &dirLeft},
               {kStickOffsetRight, &dirRight},
               {kStickOffsetUp, &dirUp},
               {kStickOffsetDown, &dirDown}};
  for (const auto& item : order) {
    const auto value = settings.ReadSetting(item.offset);
    if (!value || *value < 1 || *value > 10) {
      settings.Close();
      return DirectionMapResult::refused;
    }
    *item.direction = *value - 1;
  }
  settings.Close();
  return DirectionMapResult::loaded;
}

int DanceStick::DirectionPressed(int arrowCode) const {
  int index;
  switch (arrowCode) {
    case 1:
      index = dirRight;
      break;
    case 10:
      index = dirUp;
      break;
    case 100:
      index = dirDown;
      break;
    case 1000:
      index = dirLeft;
      break;
    default:
      return 0;
  }
  return index >= 0 && index < kButtonSlots ? stickButtons[index] : 0;
}

}  // namespace sonavera::app

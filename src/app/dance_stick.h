#pragma once

#include <cstdint>
#include <span>

#include "platform/hid/hid_report_descriptor.h"

namespace sonavera::app {

class StickSettings;

/// Byte offsets of the four direction settings stored on the stick.
inline constexpr int kStickOffsetUp = 14;
inline constexpr int kStickOffsetDown = 16;
inline constexpr int kStickOffsetLeft = 18;
inline constexpr int kStickOffsetRight = 20;

/// Shown when a stored direction setting lies outside 1..10.
inline constexpr const char* kDirectionMapError = "跳舞毯方向设置错误";

/// What LoadDirectionMap found.
enum class DirectionMapResult {
  loaded,   // all four settings read
  absent,   // no stick settings at all: the defaults stay, nothing to tell the user
  refused,  // a setting outside 1..10: show kDirectionMapError and skip the list set-up
};

/// The dance stick's button state and the direction mapping that the dance lane reads every frame.
/// All on the user-interface thread.
class DanceStick {
 public:
  static constexpr int kButtonSlots = 128;

  DanceStick();

  /// 1 while the button with that index (usage minus the first button usage) is pressed.
  int stickButtons[kButtonSlots];
  /// Button usages the device declares (last minus first of its first button range, plus one).
  int stickButtonCount = 0;
  /// Button index standing for each arrow; each starts at 1.
  int dirRight = 1;
  int dirUp = 1;
  int dirDown = 1;
  int dirLeft = 1;

  /// One block of input from a device: parses its first report. Returns 0 like a message handler.
  int OnRawInput(const platform::HidReportDescriptor& descriptor, std::span<const uint8_t> block);

  /// Parses one input report; on success rewrites all of `stickButtons`. A report that cannot be
  /// parsed (no buttons declared, too short, another report ID, more pressed than declared) changes
  /// nothing and returns false.
  bool ParseStickReport(const platform::HidReportDescriptor& descriptor, std::span<const uint8_t> report);

  /// Reads the four direction settings (left, right, up, down, in that order); each must lie in 1..10
  /// and is stored minus one. On a refused setting the ones read before keep their new values and the
  /// settings are closed.
  DirectionMapResult LoadDirectionMap(StickSettings& settings);

  /// The stick flag of a dance-chart arrow code (1 right, 10 up, 100 down, 1000 left); 0 otherwise.
  int DirectionPressed(int arrowCode) const;
};

}  // namespace sonavera::app

#pragma once

#include <optional>
#include <string>

namespace sonavera::app {

/// The settings a dance stick keeps: decimal numbers of two characters at byte offsets.
class StickSettings {
 public:
  virtual ~StickSettings() = default;
  /// Opens the settings; false when there are none (no stick, nothing stored), which is not an error.
  virtual bool Open() = 0;
  /// The two-character decimal at `offset`; std::nullopt when it is missing or not a number.
  virtual std::optional<int> ReadSetting(int offset) = 0;
  virtual void Close() = 0;
};

/// Stand-in for the settings stored on the stick: the file "stick.dat" in the program folder, whose
/// bytes at offsets 14, 16, 18 and 20 hold the up, down, left and right buttons as two decimals each.
class StickDatSettings : public StickSettings {
 public:
  explicit StickDatSettings(std::string programFolder);
  bool Open() override;
  std::optional<int> ReadSetting(int offset) override;
  void Close() override;

  /// Writes the four buttons (1..10 each) into "stick.dat", keeping any other bytes of the file;
  /// written to a side file and renamed so a failed write leaves the old file whole. False on failure.
  bool Save(int up, int down, int left, int right);

  std::string Path() const;

 private:
  std::string programFolder;
  std::string bytes;
  bool open = false;
};

}  // namespace sonavera::app

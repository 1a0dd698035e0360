#include "app/dance_stick.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLabel>
#include <algorithm>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "app/dance_stick_input.h"
#include "app/qt_app.h"
#include "app/stick_map_dlg.h"
#include "app/stick_reader.h"
#include "app/stick_settings.h"
#include "content/temp_folder.h"
#include "platform/hid_descriptors.h"

namespace sonavera::app {
namespace {

using Bytes = std::vector<uint8_t>;
using content::testing::TempFolder;
using platform::HidReportDescriptor;

HidReportDescriptor Parsed(const Bytes& bytes) {
  auto descriptor = HidReportDescriptor::Parse(bytes);
  EXPECT_TRUE(descriptor);
  return descriptor ? *descriptor : HidReportDescriptor{};
}

int PressedCount(const DanceStick& stick) {
  return std::accumulate(std::begin(stick.stickButtons), std::end(stick.stickButtons), 0);
}

TEST(DanceStick, ReportSetsTheButtonsOfItsUsages) {
  DanceStick stick;
  const auto gamepad = Parsed(sonavera::testing::GamepadDescriptor());
  // Buttons 1 and 3 (bits 44 and 46) pressed.
  EXPECT_TRUE(stick.ParseStickReport(gamepad, Bytes{0x80, 0x80, 0x80, 0x80, 0x80, 0x58, 0x00, 0x00}));
  EXPECT_EQ(stick.stickButtonCount, 12);
  EXPECT_EQ(stick.stickButtons[0], 1);
  EXPECT_EQ(stick.stickButtons[2], 1);
  EXPECT_EQ(PressedCount(stick), 2);
  // Nothing pressed clears everything.
  EXPECT_TRUE(stick.ParseStickReport(gamepad, Bytes{0x80, 0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00}));
  EXPECT_EQ(PressedCount(stick), 0);
}

TEST(DanceStick, ReportsThatCannotBeParsedKeepThePreviousState) {
  DanceStick stick;
  const auto ids = Parsed(sonavera::testing::ReportIdDescriptor());
  EXPECT_TRUE(stick.ParseStickReport(ids, Bytes{0x01, 0x06, 0x00, 0x00}));  // buttons 2 and 3
  EXPECT_EQ(stick.stickButtonCount, 8);
  const std::vector<Bytes> refused = {
      {0x02, 0x00, 0x00, 0x00, 0x00},  // the vendor report has no buttons
      {0x07, 0x00, 0x00, 0x00},        // an ID the device does not declare
      {0x01, 0x00},                    // too short
      {},
  };
  for (const Bytes& report : refused) EXPECT_FALSE(stick.ParseStickReport(ids, report));
  EXPECT_EQ(stick.stickButtons[1], 1);
  EXPECT_EQ(stick.stickButtons[2], 1);
  EXPECT_EQ(PressedCount(stick), 2);
  // A device without buttons (a mouse-like descriptor without the button page) changes nothing.
  const auto noButtons =
      Parsed(Bytes{0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0});
  EXPECT_FALSE(stick.ParseStickReport(noButtons, Bytes{0xFF}));
  EXPECT_EQ(PressedCount(stick), 2);
}

TEST(DanceStick, UsagesOutsideTheFirstRangeNeverWritePastTheSlots) {
  // Buttons 1..4 and then 200..203 on the same page: the second range lies past the 128 slots.
  const Bytes descriptor = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x05, 0x09, 0x15,
                            0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x19, 0x01,
                            0x29, 0x04, 0x19, 0xC8, 0x29, 0xCB, 0x81, 0x02, 0xC0};
  DanceStick stick;
  EXPECT_TRUE(stick.ParseStickReport(Parsed(descriptor), Bytes{0x11}));  // usages 1 and 200
  EXPECT_EQ(stick.stickButtonCount, 4);
  EXPECT_EQ(stick.stickButtons[0], 1);
  EXPECT_EQ(PressedCount(stick), 1);
  // More pressed than the first range declares: refused like a full usage buffer.
  EXPECT_FALSE(stick.ParseStickReport(Parsed(descriptor), Bytes{0xFF}));
  EXPECT_EQ(PressedCount(stick), 1);
}

TEST(DanceStick, DefaultMappingLetsOneButtonAnswerEveryArrow) {
  DanceStick stick;
  const auto mat = Parsed(sonavera::testing::DanceMatDescriptor());
  stick.OnRawInput(mat, Bytes{0x02, 0x00, 0x00});  // button 2 = index 1
  for (int code : {1, 10, 100, 1000}) EXPECT_EQ(stick.DirectionPressed(code), 1) << code;
  EXPECT_EQ(stick.DirectionPressed(11), 0);
}

// The dance lane sees each direction through its own mapped button.
TEST(DanceStick, StageInputFollowsTheDirectionMap) {
  DanceStick stick;
  stick.dirLeft = 0;
  stick.dirDown = 1;
  stick.dirUp = 2;
  stick.dirRight = 3;
  DanceStickInput input(stick);
  const stage::DanceDirection directions[] = {stage::kLeft, stage::kDown, stage::kUp, stage::kRight};
  for (int pressed = 0; pressed < 4; ++pressed) {
    std::fill(std::begin(stick.stickButtons), std::end(stick.stickButtons), 0);
    stick.stickButtons[pressed] = 1;
    for (int d = 0; d < 4; ++d) EXPECT_EQ(input.DirectionHeld(directions[d]), d == pressed) << pressed << d;
  }
}

// Writes "stick.dat" with up, down, left, right at offsets 14, 16, 18, 20.
void WriteStickDat(const TempFolder& folder, const std::string& up, const std::string& down,
                   const std::string& left, const std::string& right) {
  std::ofstream(folder.Path("stick.dat"), std::ios::binary)
      << "VEXOSTICK 0001" << up << down << left << right;
}

TEST(DanceStick, DirectionMapIsReadFromStickDat) {
  TempFolder folder;
  WriteStickDat(folder, "03", "04", "01", "10");
  StickDatSettings settings(folder.Path());
  DanceStick stick;
  EXPECT_EQ(stick.LoadDirectionMap(settings), DirectionMapResult::loaded);
  EXPECT_EQ(stick.dirUp, 2);
  EXPECT_EQ(stick.dirDown, 3);
  EXPECT_EQ(stick.dirLeft, 0);
  EXPECT_EQ(stick.dirRight, 9);
  const auto mat = Parsed(sonavera::testing::DanceMatDescriptor());
  stick.OnRawInput(mat, Bytes{0x00, 0x02, 0x00});  // button 10 = index 9
  EXPECT_EQ(stick.DirectionPressed(1), 1);
  EXPECT_EQ(stick.DirectionPressed(1000), 0);
}

TEST(DanceStick, RefusedSettingKeepsTheOnesReadBefore) {
  // Read order: left, right, up, down. Up = 11 is refused: left and right change, up and down stay.
  for (const char* bad : {"11", "00", "x3", "  "}) {
    TempFolder folder;
    WriteStickDat(folder, bad, "05", "02", "07");
    StickDatSettings settings(folder.Path());
    DanceStick stick;
    EXPECT_EQ(stick.LoadDirectionMap(settings), DirectionMapResult::refused) << bad;
    EXPECT_EQ(stick.dirLeft, 1);
    EXPECT_EQ(stick.dirRight, 6);
    EXPECT_EQ(stick.dirUp, 1);
    EXPECT_EQ(stick.dirDown, 1);
  }
}

TEST(DanceStick, NoStickDatIsNoError) {
  TempFolder folder;
  StickDatSettings settings(folder.Path());
  DanceStick stick;
  EXPECT_EQ(stick.LoadDirectionMap(settings), DirectionMapResult::absent);
  EXPECT_EQ(stick.dirLeft, 1);
  // A file too short for the settings is refused, not read past its end.
  std::ofstream(folder.Path("stick.dat")) << "short";
  EXPECT_EQ(stick.LoadDirectionMap(settings), DirectionMapResult::refused);
}

TEST(DanceStick, SavedMappingReadsBackAndKeepsTheOtherBytes) {
  TempFolder folder;
  WriteStickDat(folder, "01", "01", "01", "01");
  StickDatSettings settings(folder.Path());
  EXPECT_TRUE(settings.Save(4, 2, 10, 1));
  EXPECT_FALSE(settings.Save(0, 2, 3, 4));
  DanceStick stick;
  EXPECT_EQ(stick.LoadDirectionMap(settings), DirectionMapResult::loaded);
  EXPECT_EQ(stick.dirUp, 3);
  EXPECT_EQ(stick.dirDown, 1);
  EXPECT_EQ(stick.dirLeft, 9);
  EXPECT_EQ(stick.dirRight, 0);
  std::ifstream file(folder.Path("stick.dat"));
  std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "VEXOSTICK 000104021001");
  // A fresh file gets zeros before the settings.
  TempFolder fresh;
  StickDatSettings freshSettings(fresh.Path());
  EXPECT_TRUE(freshSettings.Save(1, 2, 3, 4));
  EXPECT_EQ(DanceStick().LoadDirectionMap(freshSettings), DirectionMapResult::loaded);
}

TEST(StickReader, ReportsArriveAsEventsOnTheUserInterfaceThread) {
  testing::TestApplication();
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
  DanceStick stick;
  StickReader reader(stick);
  int reports = 0;
  reader.onReport = [&reports] { ++reports; };
  reader.AddDevice(std::make_unique<platform::HidrawDevice>(
      fds[0], Parsed(sonavera::testing::DanceMatDescriptor()), "pipe"));
  const uint8_t report[] = {0x05, 0x00, 0x00};  // buttons 1 and 3
  ASSERT_EQ(::write(fds[1], report, sizeof(report)), static_cast<ssize_t>(sizeof(report)));
  for (int i = 0; i < 1000 && reports == 0; ++i)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(stick.stickButtons[0], 1);
  EXPECT_EQ(stick.stickButtons[2], 1);
  // The writer going away ends the watch; the state stays.
  ::close(fds[1]);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(PressedCount(stick), 2);
}

TEST(StickReader, NoJoystickIsNoError) {
  testing::TestApplication();
  TempFolder folder;
  std::ofstream(folder.Path("hidraw0")) << "not a device";
  DanceStick stick;
  StickReader reader(stick);
  EXPECT_EQ(reader.OpenJoysticks(folder.Path()), 0);
  EXPECT_EQ(reader.OpenJoysticks(folder.Path("missing")), 0);
  EXPECT_EQ(reader.DeviceCount(), 0);
}

TEST(StickMapDlg, TakesOneButtonPerDirectionAndStoresThem) {
  testing::TestApplication();
  TempFolder folder;
  DanceStick stick;
  StickMapDlg dialog(stick, folder.Path());
  const auto mat = Parsed(sonavera::testing::DanceMatDescriptor());
  auto press = [&](uint16_t bits) {
    stick.OnRawInput(mat, Bytes{static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>(bits >> 8), 0x00});
    dialog.OnStickReport();
  };
  EXPECT_TRUE(dialog.Prompt()->text().contains(QString::fromUtf8("上")));
  press(1 << 3);  // button 4 for up
  press(1 << 3);  // still held: not taken for down
  EXPECT_EQ(dialog.Step(), 1);
  press(0);
  press(1 << 5);  // down
  press(0);
  press(1 << 9);  // left: button 10, the last that can be stored
  press(0);
  press(1 << 0);  // right
  EXPECT_EQ(dialog.Step(), 4);
  EXPECT_TRUE(dialog.Saved());
  EXPECT_EQ(stick.dirUp, 3);
  EXPECT_EQ(stick.dirLeft, 9);
  DanceStick reloaded;
  StickDatSettings settings(folder.Path());
  EXPECT_EQ(reloaded.LoadDirectionMap(settings), DirectionMapResult::loaded);
  EXPECT_EQ(reloaded.dirUp, 3);
  EXPECT_EQ(reloaded.dirDown, 5);
  EXPECT_EQ(reloaded.dirLeft, 9);
  EXPECT_EQ(reloaded.dirRight, 0);
}

}  // namespace
}  // namespace sonavera::app

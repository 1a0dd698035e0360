#include "app/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "app/about_dlg.h"
#include "app/full_screen.h"
#include "app/introduce_dlg.h"
#include "app/main_window_services.h"
#include "app/main_window_texts.h"
#include "app/page_pictures.h"
#include "app/performance.h"
#include "app/song_list_widget.h"
#include "app/stick_map_dlg.h"
#include "app/stick_reader.h"
#include "app/stick_settings.h"
#include "app/toggle_button.h"
#include "app/voice_animation.h"
#include "content/song_package.h"
#include "platform/audio/capture_device.h"
#include "platform/text_encoding.h"

namespace sonavera::app {
namespace {

constexpr int kWidth = 800, kHeight = 600;
// Where medley songs live under the program folder; single songs are in "歌曲/单曲".
constexpr const char* kMedleySongs = "歌曲/串烧歌曲";
const std::initializer_list<int> kModeButtons = {1129, 1130, 1123, 1120, 1121, 1122};
const std::initializer_list<int> kSingleListControls = {1072, 1044, 1091, 1064, 1094, 1085};
const std::initializer_list<int> kMedleyListControls = {1072, 1043, 1044, 1045, 1046, 1064, 1094,
                                                        1090, 1092, 1093, 1086, 1055, 1056};

}  // namespace

CRating1Dlg::CRating1Dlg(std::string folder, MainWindowServices& services, QWidget* parent)
    : QDialog(parent), programFolder(std::move(folder)), services(services), songs(programFolder) {
  if (!programFolder.empty() && programFolder.back() != '/') programFolder += '/';
  setWindowTitle("Sonavera");
  setFixedSize(kWidth, kHeight);
  BuildControls();
  BuildMedleyPanel();
  fullScreen = new FullScreenSinging(*this, controls);
  // Initial state: only the start buttons show.
  Show({1014, 1089, 1072, 1043, 1044, 1045, 1046, 1064, 1094, 1090, 1091, 1092, 1093, 1098, 1055, 1056, 1085,
        1086},
       false);
  Show(kModeButtons, false);
  SetToggle(1121, true);
  SetToggle(1122, false);
  SetToggle(1120, true);
  SetToggle(1123, false);
  SetToggle(1129, singOn);
  SetToggle(1130, danceOn);
  ControlAs<QRadioButton>(1055)->setChecked(true);
  // A stick is optional: without one the arrow keys answer the arrows.
  stickReader = new StickReader(stick, this);
  stickReader->OpenJoysticks();
}

CRating1Dlg::~CRating1Dlg() {
  // The performance outlives the window.
  if (performance != nullptr) {
    performance->GetStage().SetStickInput(nullptr);
    UnhookPerformance();
  }
}

QWidget* CRating1Dlg::Control(int id) const {
  const auto it = controls.find(id);
  return it == controls.end() ? nullptr : it->second;
}

const PagePictures& CRating1Dlg::Pictures() {
  if (!pictures) pictures = std::make_unique<PagePictures>(programFolder);
  return *pictures;
}

QPushButton* CRating1Dlg::AddButton(int id, const char* caption, QRect rect, bool toggle) {
  // The mode toggles are flat buttons whose face is their on or off picture.
  auto* button = toggle ? new ToggleButton(QString::fromUtf8(caption), Pictures().Toggle(id, true),
                                           Pictures().Toggle(id, false), this)
                        : new QPushButton(QString::fromUtf8(caption), this);
  button->setObjectName(QString::number(id));
  button->setGeometry(rect);
  button->setAutoDefault(false);
  button->installEventFilter(this);
  controls[id] = button;
  return button;
}

void CRating1Dlg::BuildControls() {
  auto* container = new QWidget(this);  // the stage's host
  container->setObjectName("1014");
  container->setGeometry(0, 0, kWidth, kHeight);
  controls[1014] = container;

  const int startX = 560;
  connect(AddButton(1081, "开始演唱", {startX, 300, 180, 42}), &QPushButton::clicked, this,
          [this] { StartSinging(); });
  connect(AddButton(1082, "麦克风设置", {startX, 352, 180, 42}), &QPushButton::clicked, this,
          [this] { ShowSettings(); });
  connect(AddButton(1083, "帮助", {startX, 404, 180, 42}), &QPushButton::clicked, this,
          [this] { ShowHelp(); });
  connect(AddButton(1084, "退出", {startX, 456, 180, 42}), &QPushButton::clicked, this, [this] { accept(); });

  list = new QListWidget(this);
  list->setObjectName("1072");
  list->setGeometry(40, 100, 420, 400);
  controls[1072] = list;
  // A click notifies even on the item already selected; keys notify through the current row; our own
  // selections (search, refill, return) notify only where the handler says so.
  list->viewport()->installEventFilter(this);
  connect(list, &QListWidget::itemClicked, this, [this] { OnSongSelected(); });
  connect(list, &QListWidget::currentRowChanged, this, [this](int) {
    if (!mouseSelecting && !selectingRow) OnSongSelected();
  });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] {
    SetLanes(savedDanceOn, savedSingOn);
    StartSong();
  });

  for (int i = 0; i < 4; ++i) {
    auto* slot = new QLineEdit(this);
    slot->setObjectName(QString::number(medleySlotIds[i]));
    slot->setGeometry(490, 140 + 44 * i, 200, 28);
    slot->installEventFilter(this);
    controls[medleySlotIds[i]] = slot;
  }
  connect(ControlAs<QLineEdit>(1044), &QLineEdit::textEdited, this,
          [this](const QString& text) { OnSearchEdited(text); });
  const std::pair<int, int> clears[] = {{1090, 1043}, {1092, 1045}, {1093, 1046}};
  for (const auto& [button, slot] : clears) {
    const int row = slot == 1043 ? 0 : slot == 1045 ? 2 : 3;
    connect(AddButton(button, "清除", {700, 140 + 44 * row, 60, 28}), &QPushButton::clicked, this,
            [this, slot] { ControlAs<QLineEdit>(slot)->clear(); });
  }
  connect(AddButton(1091, "查找", {700, 184, 60, 28}), &QPushButton::clicked, this,
          [this] { FindNextSong(); });
  connect(AddButton(1064, "开始", {490, 440, 120, 42}), &QPushButton::clicked, this, [this] { StartSong(); });
  connect(AddButton(1094, "返回", {630, 440, 120, 42}), &QPushButton::clicked, this,
          [this] { ShowStartPage(); });
  connect(AddButton(1089, "返回", {630, 440, 120, 42}), &QPushButton::clicked, this,
          [this] { ShowStartPage(); });
  connect(AddButton(1098, "返回", {680, 10, 100, 32}), &QPushButton::clicked, this,
          [this] { ReturnToList(); });
  connect(AddButton(1085, "串烧歌曲", {40, 60, 120, 32}), &QPushButton::clicked, this,
          [this] { ShowMedleyList(); });
  connect(AddButton(1086, "单曲", {40, 60, 120, 32}), &QPushButton::clicked, this,
          [this] { ShowSingleList(); });

  for (int id : {1055, 1056}) {
    auto* radio = new QRadioButton(QString::fromUtf8(id == 1055 ? "男" : "女"), this);
    radio->setObjectName(QString::number(id));
    radio->setGeometry(id == 1055 ? 490 : 560, 320, 60, 24);
    radio->installEventFilter(this);
    controls[id] = radio;
    connect(radio, &QRadioButton::clicked, this, [this, id] { maleVoice = id == 1055 ? 1 : 0; });
  }

  // The mode switches along the bottom edge: each pressed button shows its "on" state.
  const int y = 540;
  connect(AddButton(1121, "man", {40, y, 90, 36}, true), &QPushButton::clicked, this, [this] {
    maleVoice = 1;
    SetToggle(1121, true);
    SetToggle(1122, false);
  });
  connect(AddButton(1122, "woman", {135, y, 90, 36}, true), &QPushButton::clicked, this, [this] {
    maleVoice = 0;
    SetToggle(1121, false);
    SetToggle(1122, true);
  });
  connect(AddButton(1120, "bangchang", {250, y, 90, 36}, true), &QPushButton::clicked, this, [this] {
    withVocals = 1;
    SetToggle(1120, true);
    SetToggle(1123, false);
  });
  connect(AddButton(1123, "yuanchang", {345, y, 90, 36}, true), &QPushButton::clicked, this, [this] {
    withVocals = 0;
    SetToggle(1120, false);
    SetToggle(1123, true);
  });
  connect(AddButton(1129, "唱歌", {460, y, 90, 36}, true), &QPushButton::clicked, this,
          [this] { ToggleSing(); });
  connect(AddButton(1130, "跳舞", {555, y, 90, 36}, true), &QPushButton::clicked, this,
          [this] { ToggleDance(); });
}

void CRating1Dlg::Show(std::initializer_list<int> ids, bool visible) {
  for (int id : ids)
    if (QWidget* control = Control(id)) control->setVisible(visible);
}

void CRating1Dlg::SetToggle(int id, bool on) {
  // The button's face follows its checked state.
  if (auto* button = ControlAs<QPushButton>(id)) button->setChecked(on);
}

void CRating1Dlg::SelectRow(int row) {
  selectingRow = true;
  list->setCurrentRow(row);
  selectingRow = false;
}

void CRating1Dlg::SetLanes(uint8_t dance, uint8_t sing) {
  danceOn = dance;
  singOn = sing;
  SetToggle(1130, danceOn);
  SetToggle(1129, singOn);
}

void CRating1Dlg::SetPerformance(Performance* target) {
  if (performance != nullptr) {
    performance->GetStage().SetStickInput(nullptr);
    UnhookPerformance();
  }
  performance = target;
  if (performance == nullptr) return;
  performance->GetStage().SetStickInput(&stickInput);
  HookPerformance();
}

IntroduceDlg& CRating1Dlg::Introduce() {
  if (introduce == nullptr) {
    introduce = new IntroduceDlg(this, platform::CaptureDevice::DeviceNames(), captureDevice, programFolder,
                                 QString::fromStdString(operationTutorialUrl),
                                 QString::fromStdString(installTutorialUrl));
    introduce->hide();
  }
  return *introduce;
}

void CRating1Dlg::ShowHelp() {
  Introduce().ShowHelpPanel(geometry());
}

void CRating1Dlg::ShowSettings() {
  Introduce().ShowSettingsPanel(geometry());
}

void CRating1Dlg::StartSinging() {
  std::string deviceMessage;
  if (performance != nullptr) performance->GetJudge().state().captureDevice = captureDevice;
  bool opened = services.OpenCaptureDevice();
  if (opened && performance != nullptr && !performance->OpenCaptureDevice(deviceMessage)) {
    services.ShowMessage(deviceMessage, "", false);
    opened = false;
  }
  if (!opened) {
    services.ShowMessage(std::string(texts::kCaptureFailed) + texts::kCaptureFailedEnd,
                         texts::kWarningCaption, false);
    return;
  }
  ShowSingleList();
  Show({1081, 1082, 1083, 1084}, false);
  Show(kModeButtons, true);
  if (fullScreen->Checked()) fullScreen->Enter();
  update();
}

void CRating1Dlg::FillList() {
  listStale = false;
  songs.FillSongList(medleyPage != 0);
  QSignalBlocker block(list);
  FillSongListWidget(*list, songs);
}

void CRating1Dlg::ShowSingleList() {
  list->clear();
  StickDatSettings settings(programFolder);
  if (stick.LoadDirectionMap(settings) == DirectionMapResult::refused) {
    services.ShowMessage(kDirectionMapError, "", false);
    return;
  }
  services.RefreshSongList();
  FillList();
  page = 1;
  Show({1089, 1043, 1045, 1046, 1090, 1092, 1093, 1055, 1056, 1086}, false);
  Show(kSingleListControls, true);
  if (medleyPage) ClearSlots();
  medleyPage = 0;
  singlePage = 1;
  searchPosition = -1;
  update();
}

void CRating1Dlg::ShowMedleyList() {
  page = 1;
  Show({1089, 1091, 1085}, false);
  ControlAs<QLineEdit>(1044)->clear();
  FillList();
  Show(kMedleyListControls, true);
  medleyPage = 1;
  singlePage = 0;
  update();
}

void CRating1Dlg::ClearSlots() {
  for (int id : medleySlotIds) ControlAs<QLineEdit>(id)->clear();
}

void CRating1Dlg::ShowStartPage() {
  Show(kModeButtons, false);
  Show(kMedleyListControls, false);
  Show(kSingleListControls, false);
  if (medleyPage) ClearSlots();
  if (singlePage) ControlAs<QLineEdit>(1044)->clear();
  medleyPage = 0;
  singlePage = 0;
  Show({1081, 1082, 1083, 1084}, true);
  Show({1079, 1089}, false);
  page = 0;
  update();
}

int CRating1Dlg::FindFrom(int start, const QString& text) const {
  // Prefix match, ignoring letter case, wrapping round the list once.
  const int count = list->count();
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    if (list->item(index)->text().startsWith(text, Qt::CaseInsensitive)) return index;
  }
  return -1;
}

void CRating1Dlg::FindNextSong() {
  const QString text = ControlAs<QLineEdit>(1044)->text();
  if (list->count() == 0) return;
  const int found = FindFrom(searchPosition + 1, text);
  if (found < 0) {
    searchPosition = -1;
    return;
  }
  SelectRow(found);
  searchPosition = found == searchPosition ? -1 : found;
}

void CRating1Dlg::OnSearchEdited(const QString& text) {
  if (!singlePage) return;  // on the medley page the box is a slot
  if (text.isEmpty()) {
    searchPosition = -1;
    return;
  }
  // A longer prefix keeps the item already found when it still matches.
  const int found = list->count() ? FindFrom(std::max(searchPosition, 0), text) : -1;
  if (found < 0) return;
  searchPosition = found;
  SelectRow(found);
  OnSongSelected();
}

std::string CRating1Dlg::SelectedText() const {
  const auto* item = list->currentItem();
  return item ? item->text().toStdString() : std::string();
}

bool CRating1Dlg::SelectedIsKtv() const {
  return SelectedText().find(texts::kKtvMarker) != std::string::npos;
}

void CRating1Dlg::OnSongSelected() {
  const std::string text = SelectedText();
  if (text.empty()) return;
  if (text.find(texts::kKtvMarker) != std::string::npos) SetLanes(0, 1);
  if (text.find(texts::kDanceMarker) != std::string::npos) {
    savedDanceOn = danceOn;
    savedSingOn = singOn;
    SetLanes(1, 1);
  }
  const auto blank = text.find(' ');
  const std::string name = blank == std::string::npos ? std::string() : text.substr(0, blank);
  songTitle = platform::Utf8ToGbk(name).value_or(std::string());
  if (!medleyPage) return;
  for (int id : medleySlotIds) {
    auto* slot = ControlAs<QLineEdit>(id);
    if (slot->text().isEmpty()) {
      slot->setText(QString::fromStdString(name));
      break;
    }
  }
}

void CRating1Dlg::ToggleDance() {
  if (danceOn) {
    SetLanes(0, 1);  // one lane always stays on
  } else if (SelectedIsKtv()) {
    services.ShowMessage(texts::kNoDanceInKtv, "", false);
    SetToggle(1130, false);
  } else {
    SetLanes(1, singOn);
  }
}

void CRating1Dlg::ToggleSing() {
  if (singOn) {
    if (SelectedIsKtv()) {
      services.ShowMessage(texts::kKtvNeedsSinging, "", false);
      SetToggle(1129, true);
    } else {
      SetLanes(1, 0);
    }
  } else {
    SetLanes(danceOn, 1);
  }
}

void CRating1Dlg::StartSong() {
  stageTimerOff = 0;
  if (medleyPage) {
    for (int id : medleySlotIds) {
      if (ControlAs<QLineEdit>(id)->text().isEmpty()) {
        services.ShowMessage(texts::kChooseFourSongs, "", true);
        stageTimerOff = 1;
        return;
      }
    }
    VoiceAnimation::In(*this, Control(1014))
        .Play(ControlAs<QRadioButton>(1056)->isChecked() ? VoiceAnimation::Voice::Woman
                                                         : VoiceAnimation::Voice::Man);
    medleySongNumber = 0;
    medleyMode = 1;
    ktvMode = 0;  // medley songs are judged by their melody, whatever was sung before
    PrepareSong();
    return;
  }
  const int index = list->currentRow();
  if (index < 0) {
    stageTimerOff = 1;
    return;
  }
  lastSongIndex = index;
  const std::string text = SelectedText();
  const auto blank = text.find(' ');
  const std::string name = blank == std::string::npos ? std::string() : text.substr(0, blank);
  ktvMode = name.find(texts::kKtvNameMarker) != std::string::npos ? 1 : 0;
  const std::string gbkName = platform::Utf8ToGbk(name).value_or(std::string());
  if (services.IsDownloading(name)) {
    services.ShowMessage(texts::kSongQueued, "", false);
    stageTimerOff = 1;
    return;
  }
  const std::filesystem::path folder = std::filesystem::path(programFolder) / "歌曲/单曲" / name;
  std::error_code error;
  if (!name.empty() && std::filesystem::is_directory(folder, error)) {
    songTitle = gbkName;
    medleyMode = 0;
    songFolder = content::FindSongDataFolder(folder.string());
    page = 0;
    PrepareSong();
    return;
  }
  stageTimerOff = 1;
  if (!name.empty() && services.AskDownload(name)) services.RequestSongDownload(name);
}

void CRating1Dlg::PrepareSong() {
  Show(kModeButtons, false);
  Show({1055, 1056}, false);
  Show(kMedleyListControls, false);
  Show(kSingleListControls, false);
  Show({1014, 1098}, true);
  songRunning = true;
  update();
  if (performance == nullptr) return;
  if (medleyMode) {
    // The medley's song is the one named in its slot.
    const std::string name = ControlAs<QLineEdit>(medleySlotIds[medleySongNumber & 3])->text().toStdString();
    const std::filesystem::path folder = std::filesystem::path(programFolder) / kMedleySongs / name;
    songTitle = platform::Utf8ToGbk(name).value_or(std::string());
    songFolder = content::FindSongDataFolder(folder.string());
  }
  SongRequest request;
  request.dataFolder = songFolder;
  request.title = platform::GbkToUtf8(songTitle);
  request.ktvMode = ktvMode != 0;
  request.danceOn = danceOn != 0;
  request.singOn = singOn != 0;
  request.withVocals = withVocals;
  request.maleVoice = maleVoice;
  request.medleyMode = medleyMode != 0;
  request.medleySongNumber = medleySongNumber;
  std::string message;
  if (!performance->Start(request, Control(1014), message)) {
    if (!message.empty()) services.ShowMessage(message, "", false);
    ReturnToList();
  }
}

void CRating1Dlg::ReturnToList() {
  if (performance != nullptr) performance->End();
  if (VoiceAnimation* animation = VoiceAnimation::Find(*this)) animation->Stop();
  HideScorePanel();
  if (ktvMode) SetLanes(danceOn, 1);
  page = 1;
  searchPosition = -1;
  stageTimerOff = 1;
  songRunning = false;
  Show(kModeButtons, true);
  Show({1014, 1098}, false);
  if (medleyPage) {
    Show(kMedleyListControls, true);
    ClearSlots();
  } else {
    Show(kSingleListControls, true);
  }
  if (singlePage) ControlAs<QLineEdit>(1044)->clear();
  if (listStale) FillList();
  if (lastSongIndex >= 0 && lastSongIndex < list->count()) SelectRow(lastSongIndex);
  fullScreen->Leave();  // full-screen singing ends with the song
  update();
}

void CRating1Dlg::ShowAbout() {
  CAboutDlg box(QString::fromStdString(siteUrl), this);
  box.exec();
}

void CRating1Dlg::ShowStickMap() {
  StickMapDlg dialog(stick, programFolder, this);
  stickReader->onReport = [&dialog] { dialog.OnStickReport(); };
  dialog.exec();
  stickReader->onReport = nullptr;
}

void CRating1Dlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Full screen leaves a border round the scaled page.
  const QRectF pageRect = FullScreenSinging::PageRect(size());
  if (pageRect != QRectF(rect())) painter.fillRect(rect(), Qt::black);
  if (const QPixmap* picture = Pictures().Page(page)) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, pageRect.size() != QSizeF(picture->size()));
    painter.drawPixmap(pageRect, *picture, QRectF(picture->rect()));
    return;
  }
  // Without the page's picture: a dark stage-like gradient, warmer on the list page.
  painter.translate(pageRect.topLeft());
  painter.scale(pageRect.width() / kWidth, pageRect.height() / kHeight);
  QLinearGradient gradient(0, 0, 0, kHeight);
  gradient.setColorAt(0, page == 0 ? QColor(0x1B, 0x1F, 0x3A) : QColor(0x2A, 0x17, 0x33));
  gradient.setColorAt(1, QColor(0x05, 0x05, 0x0C));
  painter.fillRect(QRect(0, 0, kWidth, kHeight), gradient);
  painter.setPen(QColor(0xF0, 0xC8, 0x50));
  QFont font = painter.font();
  font.setPixelSize(page == 0 ? 56 : 28);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(page == 0 ? QRect(60, 120, 480, 90) : QRect(200, 52, 300, 40), Qt::AlignLeft, "Sonavera");
}

void CRating1Dlg::closeEvent(QCloseEvent* event) {
  if (songRunning) ReturnToList();
  QDialog::closeEvent(event);
}

void CRating1Dlg::reject() {
  // Esc ends the window like a close, so a running song is wound down first.
  if (songRunning) ReturnToList();
  QDialog::reject();
}

void CRating1Dlg::keyPressEvent(QKeyEvent* event) {
  // Enter never ends the window the way a dialog's default button would.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

bool CRating1Dlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list->viewport()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
      mouseSelecting = true;
    else if (event->type() == QEvent::MouseButtonRelease)
      mouseSelecting = false;
    return QDialog::eventFilter(watched, event);
  }
  // Space and Enter never press the focused button.
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (qobject_cast<QAbstractButton*>(watched) &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter))
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CRating1Dlg::contextMenuEvent(QContextMenuEvent* event) {
  // The window menu of the desktop cannot take an entry; the About entry lives in a context menu.
  QMenu menu(this);
  QAction* about = menu.addAction(QString::fromUtf8("关于Sonavera"));
  QAction* stickMap = menu.addAction(QString::fromUtf8("跳舞毯方向设置"));
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == about) ShowAbout();
  if (chosen == stickMap) ShowStickMap();
}

}  // namespace sonavera::app

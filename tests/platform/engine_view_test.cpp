// The engine's window inside a host widget (Qt offscreen platform): geometry, scaling, and keys and
// mouse mapped back to stage pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/engine/engine_view.h"
#include "platform/engine/hge.h"

namespace sonavera::platform {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "engine_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

class EngineViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    host = new QWidget();
    host->resize(1600, 1300);  // twice the stage, with 100 px spare height
    host->show();
    hge = hgeCreate(HGE_VERSION);
    hge->System_SetStateHwnd(HGE_HWNDPARENT, host);
    ASSERT_TRUE(hge->System_Initiate());
    view = static_cast<EngineView*>(static_cast<QWidget*>(hge->System_GetStateHwnd(HGE_HWND)));
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override {
    hge->Release();
    delete host;
  }

  void Click(QEvent::Type type, QPointF at, Qt::MouseButton button) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
  }

  QWidget* host = nullptr;
  HGE* hge = nullptr;
  EngineView* view = nullptr;
};

TEST_F(EngineViewTest, FillsTheHostAndScalesTheStageUp) {
  EXPECT_EQ(view->parentWidget(), host);
  EXPECT_EQ(view->size(), QSize(1600, 1300));
  EXPECT_EQ(view->StageRect(), QRectF(0, 50, 1600, 1200));
  host->resize(640, 480);  // smaller than the stage: drawn unscaled from the corner
  EXPECT_EQ(view->size(), QSize(640, 480));
  EXPECT_EQ(view->StageRect(), QRectF(0, 0, 800, 600));
}

TEST_F(EngineViewTest, MouseIsReportedInStagePixels) {
  Click(QEvent::MouseButtonPress, QPointF(1550, 100), Qt::LeftButton);
  float x = 0, y = 0;
  hge->Input_GetMousePos(&x, &y);
  EXPECT_FLOAT_EQ(x, 775);
  EXPECT_FLOAT_EQ(y, 25);
  EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LBUTTON));

  bool clickSeen = false;
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [&] {
    clickSeen = hge->Input_KeyDown(HGEK_LBUTTON);
    return false;
  });
  hge->System_Start();
  EXPECT_TRUE(clickSeen);
  Click(QEvent::MouseButtonRelease, QPointF(1550, 100), Qt::LeftButton);
  EXPECT_FALSE(hge->Input_GetKeyState(HGEK_LBUTTON));
  // A double-click is a second press.
  Click(QEvent::MouseButtonDblClick, QPointF(10, 60), Qt::LeftButton);
  hge->System_Start();
  EXPECT_TRUE(clickSeen);
}

TEST_F(EngineViewTest, KeysBecomeKeyCodesWithoutAutoRepeat) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &press);
  EXPECT_TRUE(hge->Input_GetKeyState(HGEK_DOWN));
  hge->System_Start();
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(view, &repeat);
  EXPECT_FALSE(hge->Input_KeyDown(HGEK_DOWN)) << "auto-repeat is no new press";
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &release);
  EXPECT_FALSE(hge->Input_GetKeyState(HGEK_DOWN));

  EXPECT_EQ(EngineView::KeyCode(Qt::Key_Left), 0x25);
  EXPECT_EQ(EngineView::KeyCode(Qt::Key_Escape), 0x1B);
  EXPECT_EQ(EngineView::KeyCode(Qt::Key_Return), 0x0D);
  EXPECT_EQ(EngineView::KeyCode(Qt::Key_Q), 0x51);
  EXPECT_EQ(EngineView::KeyCode(Qt::Key_F5), 0x74);
  EXPECT_EQ(EngineView::KeyCode(Qt::Key_VolumeUp), 0);
}

}  // namespace
}  // namespace sonavera::platform

#include "app/about_dlg.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "delivery/ui/dialog_units.h"

namespace sonavera::app {
namespace {

// The program's mark: a gold note on a dark disc, 32 x 32.
QPixmap ProgramMark() {
  QPixmap mark(32, 32);
  mark.fill(Qt::transparent);
  QPainter painter(&mark);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1B, 0x1F, 0x3A));
  painter.drawEllipse(QRectF(1, 1, 30, 30));
  painter.setBrush(QColor(0xF0, 0xC8, 0x50));
  painter.drawEllipse(QRectF(8, 19, 8, 7));
  painter.drawRect(QRectF(14, 6, 2.5, 16));
  painter.drawRect(QRectF(14, 6, 9, 3.5));
  return mark;
}

}  // namespace

CAboutDlg::CAboutDlg(const QString& siteUrl, QWidget* parent) : QDialog(parent) {
  using delivery::ui::DialogRect;
  setWindowTitle(QString::fromUtf8("关于 Sonavera"));
  setFixedSize(delivery::ui::DialogSize(235, 55));
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramMark());
  icon->setGeometry(DialogRect(11, 17, 21, 21));
  auto* version = new QLabel(QString::fromUtf8(kVersionText), this);
  version->setObjectName("version");
  version->setGeometry(DialogRect(40, 10, 130, 10));
  auto* maker = new QLabel(QString::fromUtf8("Sonavera 工作室"), this);
  maker->setGeometry(DialogRect(40, 25, 130, 10));
  auto* site = new QLabel(siteUrl, this);
  site->setObjectName("site");
  site->setGeometry(DialogRect(40, 38, 130, 10));
  auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  ok->setGeometry(DialogRect(178, 7, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace sonavera::app

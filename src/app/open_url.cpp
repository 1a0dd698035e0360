#include "app/open_url.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace sonavera::app {

QStringList HtmlHandlerCommand(const QString& execLine, const QString& address) {
  QString line = execLine;
  int cut = -1;
  for (const char* code : {"%u", "%U", "%f", "%F"}) {
    const int at = line.indexOf(QLatin1String(code));
    if (at >= 0 && (cut < 0 || at < cut)) cut = at;
  }
  if (cut >= 0) line.truncate(cut);
  // A quote opened just before the field code would stay unbalanced.
  line = line.trimmed();
  if (line.endsWith(QLatin1Char('"')) && line.count(QLatin1Char('"')) % 2 == 1) line.chop(1);
  QStringList command = QProcess::splitCommand(line);
  if (command.isEmpty()) return {};
  command.append(address);
  return command;
}

QString HtmlHandlerExecLine() {
  QProcess query;
  query.start(QStringLiteral("xdg-mime"),
              {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
  if (!query.waitForFinished(5000)) return {};
  const QString entry = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  if (entry.isEmpty()) return {};
  const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  bool inEntry = false;
  while (!file.atEnd()) {
    const QString row = QString::fromUtf8(file.readLine()).trimmed();
    if (row.startsWith(QLatin1Char('[')))
      inEntry = row == QLatin1String("[Desktop Entry]");
    else if (inEntry && row.startsWith(QLatin1String("Exec=")))
      return row.mid(5);
  }
  return {};
}

bool OpenUrl(const QString& address) {
  if (QDesktopServices::openUrl(QUrl::fromUserInput(address))) return true;
  const QStringList command = HtmlHandlerCommand(HtmlHandlerExecLine(), address);
  if (command.isEmpty()) return false;
  return QProcess::startDetached(command.front(), command.mid(1));
}

}  // namespace sonavera::app

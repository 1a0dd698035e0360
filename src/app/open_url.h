#pragma once

#include <QString>
#include <QStringList>

namespace sonavera::app {

/// Opens an address the way every link of the program does: the desktop's URL handler first; when
/// that fails, the default handler of HTML files run with the address as its argument. Failures are
/// not reported to the user. Returns true when either way started.
bool OpenUrl(const QString& address);

/// The program and arguments that open `address` with a desktop entry's Exec line: the line cut at
/// its first file or URL field code ("%u", "%U", "%f", "%F"), or whole when there is none, then the
/// address as one more argument (never through a shell). Empty when the line holds no program.
QStringList HtmlHandlerCommand(const QString& execLine, const QString& address);

/// The Exec line of the desktop's default handler of HTML files (empty when none is found).
QString HtmlHandlerExecLine();

}  // namespace sonavera::app

#pragma once

#include <QLabel>
#include <QTimer>

namespace sonavera::app {

/// A link label: blue, purple once visited, red under the pointer, underlined, with the address as
/// its tooltip and a hand cursor. A click opens the address with OpenUrl.
class CHyperLink : public QLabel {
 public:
  explicit CHyperLink(QWidget* parent = nullptr);
  /// Sets the text and the address; an empty address uses the text, an empty text shows the address.
  void SetLink(const QString& text, const QString& address);
  QString Address() const { return address; }
  bool Visited() const { return visited; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void UpdateColour();

  QString address;
  bool visited = false;
  bool hover = false;
  QTimer hoverTimer;
};

}  // namespace sonavera::app

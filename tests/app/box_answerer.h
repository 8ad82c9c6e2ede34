#pragma once
// Answers the application's modal message boxes the way a user would: it watches for the active
// modal box, notes what it shows and presses the button scripted for it.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace ethconf::test {

struct TShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QWidget* owner = nullptr;
};

class TBoxAnswerer : public QObject {
  Q_OBJECT

 public:
  TBoxAnswerer();

  // The buttons to press for the next boxes that offer them, in order; any other box gets OK if
  // it has one, otherwise No.
  void Script(std::deque<QMessageBox::StandardButton> answers) { m_answers = std::move(answers); }
  // Runs while a box is up, before it is answered (to look at the window behind it).
  void WhileShown(std::function<void(const TShownBox&)> look) { m_look = std::move(look); }

  const std::vector<TShownBox>& Boxes() const { return m_boxes; }
  void Clear() { m_boxes.clear(); }

 private:
  void Poll();

  QTimer m_timer;
  std::deque<QMessageBox::StandardButton> m_answers;
  std::function<void(const TShownBox&)> m_look;
  std::vector<TShownBox> m_boxes;
};

}  // namespace ethconf::test

#include "tests/app/box_answerer.h"

#include <QAbstractButton>
#include <QApplication>

namespace ethconf::test {

TBoxAnswerer::TBoxAnswerer() {
  m_timer.setInterval(20);
  connect(&m_timer, &QTimer::timeout, this, &TBoxAnswerer::Poll);
  m_timer.start();
}

void TBoxAnswerer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) {
    return;
  }
  box->setProperty("answered", true);
  TShownBox shown{box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                  box->parentWidget()};
  m_boxes.push_back(shown);
  if (m_look) {
    m_look(shown);
  }
  QMessageBox::StandardButton answer =
      shown.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
  // A scripted answer the box does not offer is not used up: the box is not the one the
  // script was written for.
  if (!m_answers.empty() && shown.buttons.testFlag(m_answers.front())) {
    answer = m_answers.front();
    m_answers.pop_front();
  }
  box->button(answer)->click();
}

}  // namespace ethconf::test

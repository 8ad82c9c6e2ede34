// Renders the main window into a PNG file for the documentation: the window as a user sees it,
// after a read of the module when a port is given.
//
// Usage: ethconf-window-shot OUTPUT.png [PORT-ENTRY]
// With a port entry (for instance "COM 5", the simulator's port) the window reads the module
// before it is grabbed; the outcome box is answered as a user would.

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/main_form.h"
#include "tests/app/box_answerer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [PORT-ENTRY]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  ethconf::TMainForm form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) {
    std::fprintf(stderr, "the window is not shown\n");
    return 1;
  }
  if (argc >= 3) {
    // The user opens the port list, picks the simulator's port and reads the module.
    auto* ports = form.findChild<QComboBox*>(QStringLiteral("cbCOMPort"));
    form.cbCOMPortDropDown();
    const int index = ports->findText(QString::fromLocal8Bit(argv[2]));
    if (index < 0) {
      std::fprintf(stderr, "the port list has no entry %s\n", argv[2]);
      return 1;
    }
    ports->setCurrentIndex(index);
    form.cbCOMPortChange();
    ethconf::test::TBoxAnswerer boxes;
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("btnReadDevice")),
                      Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !boxes.Boxes().empty(); }, 30000)) {
      std::fprintf(stderr, "the read did not end\n");
      return 1;
    }
    std::fprintf(stderr, "%s\n", boxes.Boxes().front().text.toLocal8Bit().constData());
    QTest::qWait(100);
  }
  if (!form.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

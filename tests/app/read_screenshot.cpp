// Starts the window the way the program does, with the settings file of a given folder (as if the
// executable lay there), presses "Odczyt konf. z urządzenia" as a user would once the window is
// shown, answers the outcome box and writes the window to a PNG file. Made for a real (virtual)
// display; scripts/screenshot.sh runs it under Xvfb.
//
// Usage: ethconf-read-shot FOLDER OUTPUT.png

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/guarded_application.h"
#include "app/main_form.h"
#include "tests/app/box_answerer.h"

namespace {

constexpr int kReadTimeoutMs = 30000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FOLDER OUTPUT.png\n", argv[0]);
    return 2;
  }
  ethconf::TGuardedApplication app(argc, argv);
  ethconf::TMainFormServices services = ethconf::SystemServices();
  services.ExecutablePath =
      QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("ethconf"));
  ethconf::TMainForm form(nullptr, std::move(services));
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) {
    std::fprintf(stderr, "the window is not shown\n");
    return 1;
  }

  auto* read = form.findChild<QPushButton*>(QStringLiteral("btnReadDevice"));
  if (read == nullptr || !read->isEnabled()) {
    std::fprintf(stderr, "no port is selected: \"Odczyt konf. z urządzenia\" is disabled\n");
    return 1;
  }
  ethconf::test::TBoxAnswerer boxes;
  QTest::mouseClick(read, Qt::LeftButton);
  if (!QTest::qWaitFor([&] { return !boxes.Boxes().empty(); }, kReadTimeoutMs)) {
    std::fprintf(stderr, "the read did not end\n");
    return 1;
  }
  std::fprintf(stderr, "%s\n", boxes.Boxes().front().text.toLocal8Bit().constData());
  // Let the window repaint after the box has gone.
  QTest::qWait(200);
  if (!form.grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  form.close();
  return 0;
}

#pragma once
// Shared pieces of the editor widget tests: the runners of the test classes, and a shown,
// active window in which keyboard focus behaves as it does for a user.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace ethconf::test {

int RunLimitedLineEditTests(int argc, char** argv);
int RunSpinEditTests(int argc, char** argv);
int RunIpAddressEditTests(int argc, char** argv);
int RunConfigEditorTests(int argc, char** argv);

// A window with a spare line edit that can take the focus away from the control under test.
struct TActiveWindow {
  QWidget window;
  QLineEdit* elsewhere = new QLineEdit(&window);

  TActiveWindow() { window.resize(841, 404); }

  bool Show() {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
  }
  void MoveFocusAway() { elsewhere->setFocus(Qt::TabFocusReason); }
};

}  // namespace ethconf::test

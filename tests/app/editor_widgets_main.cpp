// Runs the editor widget test classes in one process, one QApplication for all.

#include <QApplication>

#include "tests/app/editor_test_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failures = 0;
  failures += ethconf::test::RunLimitedLineEditTests(argc, argv);
  failures += ethconf::test::RunSpinEditTests(argc, argv);
  failures += ethconf::test::RunIpAddressEditTests(argc, argv);
  failures += ethconf::test::RunConfigEditorTests(argc, argv);
  return failures;
}

// ethconf: the configuration tool's window.

#include "app/guarded_application.h"
#include "app/main_form.h"
#include "app/qt_translations.h"

int main(int argc, char** argv) {
  // The program reads no arguments of its own, and none are passed on to Qt either: only the
  // program's name, which Qt uses to find the executable.
  int qtArgc = argc > 0 ? 1 : 0;
  ethconf::TGuardedApplication app(qtArgc, argv);
  ethconf::InstallQtTranslations(app);

  ethconf::TMainForm form;
  form.show();
  return QApplication::exec();
}

#pragma once
// The application object. An error that escapes every handler of the program ends in its
// notify: the user sees the error's description in an error box and the program keeps running.

#include <QApplication>
#include <QString>
#include <exception>

namespace ethconf {

class TGuardedApplication final : public QApplication {
  Q_OBJECT

 public:
  TGuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// The description the user reads for an error that escaped every handler.
QString UnhandledErrorText(const std::exception_ptr& error);

// Shows the error box for an error that escaped every handler, owned by the active window and
// captioned with the application title.
void ReportUnhandledError(const QString& text);

// Runs one of the program's event handlers and reports an error it raises right there, the same
// way as notify does. The widget set's own code between a handler and notify does not release
// what it holds when an error passes through it, so the window's handlers are connected through
// this; notify stays the last resort for everything else.
template <class Handler>
void RunGuarded(Handler&& handler) {
  try {
    handler();
  } catch (...) {
    ReportUnhandledError(UnhandledErrorText(std::current_exception()));
  }
}

}  // namespace ethconf

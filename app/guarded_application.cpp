#include "app/guarded_application.h"

#include <QMessageBox>
#include <QWidget>
#include <stdexcept>

namespace ethconf {

namespace {

constexpr const char* kUnknownError = "Wystąpił nieoczekiwany błąd programu.";

}  // namespace

TGuardedApplication::TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportUnhandledError(UnhandledErrorText(std::current_exception()));
    return false;
  }
}

QString UnhandledErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    const QString text = QString::fromUtf8(e.what());
    return text.isEmpty() ? QString::fromUtf8(kUnknownError) : text;
  } catch (...) {
    return QString::fromUtf8(kUnknownError);
  }
}

void ReportUnhandledError(const QString& text) {
  // The program's window owns the box; it may not be the active one (for instance while the
  // program starts), so the first window shown stands in.
  QWidget* owner = QApplication::activeWindow();
  if (owner == nullptr) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible() && qobject_cast<QMessageBox*>(window) == nullptr) {
        owner = window;
        break;
      }
    }
  }
  QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text,
                  QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace ethconf

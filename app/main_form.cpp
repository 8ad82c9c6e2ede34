#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <string>
#include <utility>

#include "app/editor/config_editor.h"
#include "app/qt_main_thread_queue.h"
#include "app/qt_reply_timer.h"
#include "protocol/texts.h"
#include "serial/serial_link.h"

namespace ethconf {

QString VersionedCaption() {
  // QString::number formats in the C locale: the decimal separator is a period everywhere.
  return QString::fromUtf8(kFormCaption) + QStringLiteral(" v. ") +
         QString::number(kAppVersion, 'f', 2);
}

TMainForm::TMainForm(QWidget* parent, TMainFormServices services)
    : QWidget(parent), FServices(std::move(services)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromUtf8(kFormCaption));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
  font.setPixelSize(11);
  setFont(font);

  CreateConnectionGroup();
  CreateCommandGroup();
  CreateEditor();
  CreateStatusBar();
  SetTabOrder();
  CreateComponents();
  CenterOnScreen();
  FormCreate();
}

TMainForm::~TMainForm() {
  // The sequencer goes first and unbinds the link's events, so a port still open is closed by
  // the link's destructor without running the window's handlers on a window being destroyed.
  FSequencer.reset();
  acpCOMPort.reset();
  tmMain.reset();
}

void TMainForm::CreateComponents() {
  FMainThread = std::make_unique<TQtMainThreadQueue>();
  acpCOMPort = std::make_unique<TSerialLink>(*FMainThread);
  TLineSettings line;
  line.Baud = 115200;
  line.DTR = false;
  acpCOMPort->SetLineSettings(line);
  // A failure of the device while the port is open (a read or write error on the link's
  // threads) is shown at once; the exchange then ends by time-out and closes the port.
  acpCOMPort->SetOnFailure([this](const std::string& text) { ShowError(text); });
  tmMain = std::make_unique<TQtReplyTimer>();
  FSequencer = std::make_unique<TExchangeSequencer>(FRecords, *acpCOMPort, *tmMain, *this);
  tmMain->SetOnTick([this] { FSequencer->tmMainTimer(); });
}

void TMainForm::CenterOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  move(screen->availableGeometry().center() - rect().center());
}

void TMainForm::FormCreate() {
  const QString caption = VersionedCaption();
  setWindowTitle(caption);
  QGuiApplication::setApplicationDisplayName(caption);
  ReadSettings();
  SetStatusText(kPortPanel, texts::kPanelPortClosed);
}

void TMainForm::FormClose() {
  if (acpCOMPort->Open()) {
    FSequencer->CloseLink();
  }
  WriteSettings();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TMainForm::SetStatusText(int panel, std::string_view text) {
  FPanels.at(static_cast<std::size_t>(panel))
      ->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString TMainForm::StatusText(int panel) const {
  return FPanels.at(static_cast<std::size_t>(panel))->text();
}

void TMainForm::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

namespace {

// Makes the application-wide cursor the given one (none: the widgets' own cursors).
void SetApplicationCursor(std::optional<Qt::CursorShape> shape) {
  if (!shape) {
    while (QGuiApplication::overrideCursor() != nullptr) {
      QGuiApplication::restoreOverrideCursor();
    }
  } else if (QGuiApplication::overrideCursor() != nullptr) {
    QGuiApplication::changeOverrideCursor(QCursor(*shape));
  } else {
    QGuiApplication::setOverrideCursor(QCursor(*shape));
  }
}

std::optional<Qt::CursorShape> ApplicationCursor() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  if (cursor == nullptr) {
    return std::nullopt;
  }
  return cursor->shape();
}

}  // namespace

void TMainForm::ShowBusyCursor() {
  FCursor = ApplicationCursor();
  SetApplicationCursor(Qt::WaitCursor);
  ProcessPendingEvents();
}

void TMainForm::RestoreCursor() {
  SetApplicationCursor(FCursor);
  ProcessPendingEvents();
}

void TMainForm::ResetCursor() {
  SetApplicationCursor(FCursor);
}

QMessageBox::StandardButton TMainForm::ShowMessageBox(QMessageBox::Icon icon, std::string_view text,
                                                      QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), buttons,
                  this);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TMainForm::ShowError(std::string_view text) {
  ShowMessageBox(QMessageBox::Critical, text, QMessageBox::Ok);
}

void TMainForm::ShowInformation(std::string_view text) {
  ShowMessageBox(QMessageBox::Information, text, QMessageBox::Ok);
}

bool TMainForm::AskQuestion(std::string_view text) {
  return ShowMessageBox(QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace ethconf

// The window's controls and where they sit on the fixed 841 x 404 surface.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <memory>
#include <vector>

#include "app/drop_down_combo_box.h"
#include "app/editor/config_editor.h"
#include "app/editor/config_group.h"
#include "app/editor/limited_line_edit.h"
#include "app/guarded_application.h"
#include "app/main_form.h"

namespace ethconf {

namespace {

// The left column and the command buttons.
constexpr int kMargin = 8;
constexpr int kColumnWidth = 161;
constexpr int kButtonWidth = 145;
constexpr int kButtonHeight = 25;
constexpr int kButtonPitch = 31;
// The status bar across the bottom, and its panels' widths from the left.
constexpr int kStatusHeight = 19;
constexpr std::array<int, TMainForm::kPanelCount> kPanelWidths{248, 168, 120, 152, 208};

// A slot that runs one of the window's handlers and reports an error it raises at once.
auto Guarded(TMainForm* form, void (TMainForm::*handler)()) {
  return [form, handler] { RunGuarded([form, handler] { (form->*handler)(); }); };
}

// The same for a file command, which does nothing while a device command is opening the port:
// the opening lets pending clicks through before the controls are locked.
auto GuardedFileCommand(TMainForm* form, void (TMainForm::*handler)()) {
  return [form, handler] {
    if (!form->DeviceCommandRunning()) {
      RunGuarded([form, handler] { (form->*handler)(); });
    }
  };
}

QPushButton* CreateButton(QWidget* parent, const char* name, const char* caption,
                          const char* tooltip, int index) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setToolTip(QString::fromUtf8(tooltip));
  button->setGeometry(kMargin, 18 + index * kButtonPitch, kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

void TMainForm::CreateConnectionGroup() {
  gbConnection = new QGroupBox(QStringLiteral("Połączenie:"), this);
  gbConnection->setObjectName(QStringLiteral("gbConnection"));
  gbConnection->setGeometry(kMargin, 4, kColumnWidth, 72);

  lblCOMPort = new QLabel(QStringLiteral("Port:"), gbConnection);
  lblCOMPort->setObjectName(QStringLiteral("lblCOMPort"));
  lblCOMPort->setGeometry(kMargin, 22, 30, 16);

  cbCOMPort = new TDropDownComboBox(gbConnection);
  cbCOMPort->setObjectName(QStringLiteral("cbCOMPort"));
  cbCOMPort->setGeometry(42, 18, 111, 22);
  lblCOMPort->setBuddy(cbCOMPort);

  chbDetectCOMs = new QCheckBox(QStringLiteral("Wykrywanie portów"), gbConnection);
  chbDetectCOMs->setObjectName(QStringLiteral("chbDetectCOMs"));
  chbDetectCOMs->setGeometry(kMargin, 46, kButtonWidth, 18);
  chbDetectCOMs->setChecked(true);

  connect(cbCOMPort, &QComboBox::activated, this, Guarded(this, &TMainForm::cbCOMPortChange));
  connect(cbCOMPort, &TDropDownComboBox::dropDown, this,
          Guarded(this, &TMainForm::cbCOMPortDropDown));
  connect(chbDetectCOMs, &QCheckBox::clicked, this, Guarded(this, &TMainForm::chbDetectCOMsClick));
}

void TMainForm::CreateCommandGroup() {
  gbCommands = new QGroupBox(QStringLiteral("Polecenia:"), this);
  gbCommands->setObjectName(QStringLiteral("gbCommands"));
  gbCommands->setGeometry(kMargin, 80, kColumnWidth, 18 + 4 * kButtonPitch + kButtonHeight + 9);

  btnLoadFile = CreateButton(gbCommands, "btnLoadFile", "Odczyt konf. z pliku",
                             "Odczyt konfiguracji z pliku", 0);
  btnSaveFile = CreateButton(gbCommands, "btnSaveFile", "Zapis konf. do pliku",
                             "Zapis konfiguracji do pliku", 1);
  btnReadDevice = CreateButton(gbCommands, "btnReadDevice", "Odczyt konf. z urządzenia",
                               "Odczyt konfiguracji z urządzenia", 2);
  btnWriteDevice = CreateButton(gbCommands, "btnWriteDevice", "Zapis konf. do urządzenia",
                                "Zapis konfiguracji do urządzenia", 3);
  btnFactorySettings = CreateButton(gbCommands, "btnFactorySettings", "Ustawienia domyślne",
                                    "Przywróć ustawienia domyślne w urządzeniu", 4);
  btnReadDevice->setEnabled(false);
  btnWriteDevice->setEnabled(false);
  btnFactorySettings->setEnabled(false);

  connect(btnLoadFile, &QPushButton::clicked, this,
          GuardedFileCommand(this, &TMainForm::btnLoadFileClick));
  connect(btnSaveFile, &QPushButton::clicked, this,
          GuardedFileCommand(this, &TMainForm::btnSaveFileClick));
  connect(btnReadDevice, &QPushButton::clicked, this,
          Guarded(this, &TMainForm::btnReadDeviceClick));
  connect(btnWriteDevice, &QPushButton::clicked, this,
          Guarded(this, &TMainForm::btnWriteDeviceClick));
  connect(btnFactorySettings, &QPushButton::clicked, this,
          Guarded(this, &TMainForm::btnFactorySettingsClick));
}

void TMainForm::CreateEditor() {
  // The configuration groups, the password and the token fill the area right of the column.
  const int left = kMargin + kColumnWidth + kMargin;
  FEditor = std::make_unique<TConfigEditor>(
      this, QRect(left, 4, kClientWidth - left - kMargin, kClientHeight - kStatusHeight - 8));
}

void TMainForm::SetTabOrder() {
  // The direct children in the order gbConnection, gbCommands, jvgbConfig, jvgbREST, jvgbNTP,
  // jvgbPeriod, edtLoginPassword, edtToken: the chain runs through the focusable controls inside
  // them, each group's own order kept as its creation made it.
  const std::vector<QWidget*> children{gbConnection,
                                       gbCommands,
                                       FEditor->jvgbConfig(),
                                       FEditor->jvgbREST(),
                                       FEditor->jvgbNTP(),
                                       FEditor->jvgbPeriod(),
                                       FEditor->edtLoginPassword(),
                                       FEditor->edtToken()};
  std::vector<QWidget*> chain;
  for (QWidget* child : children) {
    if ((child->focusPolicy() & Qt::TabFocus) != 0) {
      chain.push_back(child);
    }
    for (QWidget* inner = child->nextInFocusChain(); inner != child;
         inner = inner->nextInFocusChain()) {
      if (child->isAncestorOf(inner) && (inner->focusPolicy() & Qt::TabFocus) != 0) {
        chain.push_back(inner);
      }
    }
  }
  for (std::size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(chain[i - 1], chain[i]);
  }
}

void TMainForm::CreateStatusBar() {
  stbStatus = new QStatusBar(this);
  stbStatus->setObjectName(QStringLiteral("stbStatus"));
  stbStatus->setSizeGripEnabled(false);
  stbStatus->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
  // The panels sit at fixed places rather than in the bar's layout: together they are wider
  // than the window, and the last one shows only the part that fits.
  int left = 0;
  for (std::size_t i = 0; i < FPanels.size(); ++i) {
    auto* panel = new QLabel(stbStatus);
    panel->setObjectName(QStringLiteral("stbStatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    panel->setGeometry(left, 1, kPanelWidths[i], kStatusHeight - 1);
    left += kPanelWidths[i];
    FPanels[i] = panel;
  }
}

}  // namespace ethconf

#pragma once
// The program's one window: the port choice, the five commands, the configuration editor and the
// status bar. It owns the device records, the serial link, the reply timer and the exchange
// sequencer, and gives the sequencer its user's side (status bar, busy state, message boxes).

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include "app/main_form_services.h"
#include "protocol/device_records.h"
#include "protocol/exchange_sequencer.h"
#include "protocol/sequencer_ports.h"

class QCheckBox;
class QCloseEvent;
class QFileDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace ethconf {

class TConfigEditor;
class TDropDownComboBox;
class TQtMainThreadQueue;
class TQtReplyTimer;
class TSerialLink;

// The window caption before start-up appends the version, and the program's version.
inline constexpr const char* kFormCaption = "Konfigurator modułów ETH";
inline constexpr double kAppVersion = 1.0;

// "Konfigurator modułów ETH v. 1.00": the caption with the version, always with a period.
QString VersionedCaption();

class TMainForm : public QWidget, public ISequencerUi {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 841;
  static constexpr int kClientHeight = 404;
  static constexpr int kPanelCount = 5;
  // The panel that shows the state of the serial port.
  static constexpr int kPortPanel = 4;

  // The services default to the system's; FormCreate already uses them.
  explicit TMainForm(QWidget* parent = nullptr, TMainFormServices services = SystemServices());
  ~TMainForm() override;

  // The creation handler: runs once at the end of the constructor, before the window is shown.
  // Sets the versioned caption and the application title, reads the settings file, builds the
  // port list once, and sets the port panel's first text.
  void FormCreate();
  // The close handler: closes the serial port if it is open, through the sequencer, so the
  // closed-event handling (status, unlock, outcome box) runs first; then writes the settings.
  void FormClose();

  // The busy state and the user's side of the sequencer.
  void LockControls() override;
  void UnlockControls() override;
  void ShowBusyCursor() override;
  void RestoreCursor() override;
  void ResetCursor() override;
  void SetStatusText(int panel, std::string_view text) override;
  QString StatusText(int panel) const;
  void RecordsToEditor() override;
  void ProcessPendingEvents() override;

  // Message boxes: modal, owned by this window, captioned with the application title.
  void ShowError(std::string_view text) override;
  void ShowInformation(std::string_view text) override;
  // A question with Yes and No and the warning icon; true only when answered Yes.
  bool AskQuestion(std::string_view text);

  // The number of the port named by the selected entry of cbCOMPort, 1 to 65535, or -1.
  int SelectedPortNumber() const;
  // btnReadDevice is enabled exactly when cbCOMPort has a selected entry; btnWriteDevice and
  // btnFactorySettings follow it. Applied only by cbCOMPortChange and cbCOMPortDropDown.
  void ApplyDeviceCommandAvailability();

  // True from the start of a device command's port opening until its port has closed; a
  // command that arrives meanwhile (for instance a click queued while the port was opening)
  // does nothing.
  bool DeviceCommandRunning() const;

  // Rebuilds the port list from the system's ports (detection on) or the fixed sixteen; keeps
  // the selected entry when it is still there.
  void RefreshPortList();
  // The settings file beside the executable.
  QString SettingsPath() const;
  TMainFormServices& Services() { return FServices; }

  // The executable's folder with a trailing separator, and its file name; set by FormCreate.
  QString AppPath;
  QString AppName;
  // Set from the settings file; nothing depends on it.
  bool WithDebug = false;

  TDeviceRecords& Records() { return FRecords; }
  TExchangeSequencer& Sequencer() { return *FSequencer; }
  TConfigEditor& Editor() { return *FEditor; }
  TSerialLink& Link() { return *acpCOMPort; }

 public slots:
  void btnReadDeviceClick();
  void btnWriteDeviceClick();
  void btnFactorySettingsClick();
  // The user picked an entry of the port list.
  void cbCOMPortChange();
  // The user opens the port list.
  void cbCOMPortDropDown();
  // The detection check box was clicked (or unticked at start-up).
  void chbDetectCOMsClick();
  // The file commands; a file that cannot be opened or created throws, after the cursor is
  // restored and the controls unlocked, to the application-wide error handler.
  void btnLoadFileClick();
  void btnSaveFileClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateConnectionGroup();
  void CreateCommandGroup();
  void CreateEditor();
  void CreateStatusBar();
  void SetTabOrder();
  void CreateComponents();
  void CenterOnScreen();
  // The ten controls of the busy state, in locking order.
  std::array<QWidget*, 10> BusyControls() const;
  void ReadSettings();
  void WriteSettings();
  // The folder, default extension and filter of dlgOpen1 and dlgSave1.
  void PrepareFileDialog(QFileDialog& dialog) const;
  QMessageBox::StandardButton ShowMessageBox(QMessageBox::Icon icon, std::string_view text,
                                             QMessageBox::StandardButtons buttons);

  // Controls.
  QGroupBox* gbConnection = nullptr;
  QLabel* lblCOMPort = nullptr;
  TDropDownComboBox* cbCOMPort = nullptr;
  QCheckBox* chbDetectCOMs = nullptr;
  QGroupBox* gbCommands = nullptr;
  QPushButton* btnLoadFile = nullptr;
  QPushButton* btnSaveFile = nullptr;
  QPushButton* btnReadDevice = nullptr;
  QPushButton* btnWriteDevice = nullptr;
  QPushButton* btnFactorySettings = nullptr;
  QStatusBar* stbStatus = nullptr;
  std::array<QLabel*, kPanelCount> FPanels{};

  TMainFormServices FServices;
  // Components and state, declared so that the sequencer goes first and the queue last.
  TDeviceRecords FRecords;
  std::unique_ptr<TConfigEditor> FEditor;
  std::unique_ptr<TQtMainThreadQueue> FMainThread;
  std::unique_ptr<TSerialLink> acpCOMPort;
  std::unique_ptr<TQtReplyTimer> tmMain;
  std::unique_ptr<TExchangeSequencer> FSequencer;
  // The application-wide cursor in force before the busy cursor; empty for none.
  std::optional<Qt::CursorShape> FCursor;
};

}  // namespace ethconf

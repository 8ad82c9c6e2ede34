// The main window driven through its buttons against the module simulator: the three device
// commands up to their outcome boxes, the questions, the busy state, the availability rule and
// the failures a user meets (no port, refused write, silent module, closing mid-exchange).

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "app/editor/config_editor.h"
#include "app/editor/config_group.h"
#include "app/editor/ip_address_edit.h"
#include "app/editor/limited_line_edit.h"
#include "app/editor/spin_edit.h"
#include "app/main_form.h"
#include "config/editor_values.h"
#include "protocol/status_texts.h"
#include "serial/port_discovery.h"
#include "serial/serial_link.h"
#include "tests/app/box_answerer.h"
#include "tests/app/sim_process.h"
#include "tools/sim/sim_module.h"

namespace ethconf::test {

namespace {

// Long enough for a whole exchange, a closing from inside the data handler and the time-out.
constexpr int kOutcomeTimeoutMs = 30000;

constexpr const char* kReadDone = "Odczyt konfiguracji z urządzenia zakończony powodzeniem.";
constexpr const char* kWriteDone = "Zapis konfiguracji do urządzenia zakończony powodzeniem.";
constexpr const char* kFactoryDone =
    "Przywracanie ustawień domyślnych urządzenia zakończone powodzeniem.";
constexpr const char* kWriteQuestion = "Czy na pewno zapisać konfigurację do urządzenia?";
constexpr const char* kFactoryQuestion = "Czy na pewno przywrócić ustawienia domyślne?";

QString U(const char* text) {
  return QString::fromUtf8(text);
}

template <class T = QWidget>
T* Child(const QWidget& form, const char* name) {
  T* child = form.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    qFatal("the window has no control %s", name);
  }
  return child;
}

const char* const kBusyControls[] = {
    "gbConnection", "gbCommands",       "jvgbConfig",       "jvgbREST", "jvgbNTP",
    "jvgbPeriod",   "lblLoginPassword", "edtLoginPassword", "lblToken", "edtToken"};

bool AllBusyControlsEnabled(const QWidget& form, bool enabled) {
  for (const char* name : kBusyControls) {
    if (Child(form, name)->isEnabled() != enabled) {
      return false;
    }
  }
  return true;
}

bool CursorIsBusy() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

}  // namespace

class TMainFormTest : public QObject {
  Q_OBJECT

 private:
  // The system's port report the window sees, and the folder of its executable (the settings
  // file lies there).
  TPortReport m_report;
  int m_fileDialogs = 0;
  std::unique_ptr<QTemporaryDir> m_appDir;
  std::unique_ptr<TMainForm> m_form;
  std::unique_ptr<TBoxAnswerer> m_boxes;

  QComboBox* Ports() { return Child<QComboBox>(*m_form, "cbCOMPort"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(*m_form, name); }

  // Lets the system report the one port "COM 5" names ("COM5") and the user open the port
  // list: the list then holds that entry alone, selected, and the device commands are available.
  void SelectPort(const QString& entry) {
    const QString data = QString(entry).remove(3, 1);
    m_report = TPortReport{true, {TPortReportValue{"sim", data.toStdString(), true}}};
    Ports()->showPopup();
    Ports()->hidePopup();
    QCOMPARE(Ports()->count(), 1);
    QCOMPARE(Ports()->currentText(), entry);
  }

  void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

  // Waits until the given number of boxes has been shown and answered.
  bool WaitForBoxes(std::size_t count) {
    return QTest::qWaitFor([&] { return m_boxes->Boxes().size() >= count; }, kOutcomeTimeoutMs);
  }

  void VerifyIdleAfterExchange() {
    QVERIFY(!m_form->Link().Open());
    QCOMPARE(m_form->Sequencer().State(), msNone);
    QVERIFY(AllBusyControlsEnabled(*m_form, true));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(m_form->StatusText(TMainForm::kPortPanel), U("Rozłączony."));
  }

 private slots:
  void init() {
    // No port at start: the report names no serial port, so the list starts empty.
    m_report = TPortReport{true, {TPortReportValue{"none", "CNCA0", true}}};
    m_appDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_appDir->isValid());
    TMainFormServices services;
    services.ReadPortReport = [this] { return m_report; };
    m_fileDialogs = 0;
    services.RunFileDialog = [this](QFileDialog&) {
      ++m_fileDialogs;
      return QString();
    };
    services.ExecutablePath = m_appDir->filePath(QStringLiteral("ethconf"));
    m_form = std::make_unique<TMainForm>(nullptr, std::move(services));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_boxes = std::make_unique<TBoxAnswerer>();
  }

  void cleanup() {
    m_form.reset();
    m_boxes.reset();
    m_appDir.reset();
    // A failed test must not leave its cursor to the next one.
    const bool cursorLeft = QGuiApplication::overrideCursor() != nullptr;
    while (QGuiApplication::overrideCursor() != nullptr) {
      QGuiApplication::restoreOverrideCursor();
    }
    QVERIFY(!cursorLeft);
  }

  void windowAsOpened() {
    QCOMPARE(m_form->windowTitle(), U("Konfigurator modułów ETH v. 1.00"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), m_form->windowTitle());
    QCOMPARE(m_form->size(), QSize(841, 404));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QVERIFY(!m_form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    QCOMPARE(Child<QGroupBox>(*m_form, "gbConnection")->title(), U("Połączenie:"));
    QCOMPARE(Child<QLabel>(*m_form, "lblCOMPort")->text(), U("Port:"));
    QCOMPARE(Ports()->count(), 0);
    QVERIFY(!Ports()->isEditable());
    QVERIFY(Child<QCheckBox>(*m_form, "chbDetectCOMs")->isChecked());
    QCOMPARE(Child<QCheckBox>(*m_form, "chbDetectCOMs")->text(), U("Wykrywanie portów"));
    QCOMPARE(Child<QGroupBox>(*m_form, "gbCommands")->title(), U("Polecenia:"));

    struct TButtonRow {
      const char* name;
      const char* caption;
      const char* tooltip;
      bool enabled;
    };
    const TButtonRow rows[] = {
        {"btnLoadFile", "Odczyt konf. z pliku", "Odczyt konfiguracji z pliku", true},
        {"btnSaveFile", "Zapis konf. do pliku", "Zapis konfiguracji do pliku", true},
        {"btnReadDevice", "Odczyt konf. z urządzenia", "Odczyt konfiguracji z urządzenia", false},
        {"btnWriteDevice", "Zapis konf. do urządzenia", "Zapis konfiguracji do urządzenia", false},
        {"btnFactorySettings", "Ustawienia domyślne", "Przywróć ustawienia domyślne w urządzeniu",
         false},
    };
    int previousTop = -1;
    for (const TButtonRow& row : rows) {
      QPushButton* button = Button(row.name);
      QCOMPARE(button->text(), U(row.caption));
      QCOMPARE(button->toolTip(), U(row.tooltip));
      QCOMPARE(button->isEnabled(), row.enabled);
      QCOMPARE(button->size(), QSize(145, 25));
      QVERIFY(button->y() > previousTop);
      previousTop = button->y();
    }

    // Five panels from the left, 248, 168, 120, 152 and 208 pixels wide; only the port panel has
    // a text, and the last panel runs past the window's edge.
    const int widths[] = {248, 168, 120, 152, 208};
    int left = 0;
    for (int i = 0; i < TMainForm::kPanelCount; ++i) {
      auto* panel =
          Child<QLabel>(*m_form, QByteArray("stbStatusPanel").append(char('0' + i)).constData());
      QCOMPARE(panel->x(), left);
      QCOMPARE(panel->width(), widths[i]);
      left += widths[i];
      QCOMPARE(m_form->StatusText(i),
               i == TMainForm::kPortPanel ? U("Port zamknięty.") : QString());
    }
    QVERIFY(left > m_form->width());
    QCOMPARE(Child<QStatusBar>(*m_form, "stbStatus")->width(), m_form->width());
  }

  void tabOrderFollowsTheWindowsOrder() {
    // The first focusable control of each direct child, in focus-chain order.
    const char* const order[] = {"cbCOMPort",         "chbDetectCOMs", "btnLoadFile",
                                 "btnSaveFile",       "btnReadDevice", "btnWriteDevice",
                                 "btnFactorySettings"};
    const auto nextFocusable = [](QWidget* from) {
      QWidget* w = from->nextInFocusChain();
      while ((w->focusPolicy() & Qt::TabFocus) == 0) {
        w = w->nextInFocusChain();
      }
      return w;
    };
    QWidget* widget = Child(*m_form, order[0]);
    for (std::size_t i = 1; i < std::size(order); ++i) {
      widget = nextFocusable(widget);
      QCOMPARE(widget->objectName(), QString::fromLatin1(order[i]));
    }
    const TConfigEditor& editor = m_form->Editor();
    const std::vector<QWidget*> groups{editor.jvgbConfig(),       editor.jvgbREST(),
                                       editor.jvgbNTP(),          editor.jvgbPeriod(),
                                       editor.edtLoginPassword(), editor.edtToken()};
    std::size_t next = 0;
    for (QWidget* w = widget->nextInFocusChain(); w != Child(*m_form, "cbCOMPort");
         w = w->nextInFocusChain()) {
      if ((w->focusPolicy() & Qt::TabFocus) == 0) {
        continue;
      }
      // Every focusable control belongs to the current child or a later one.
      while (next < groups.size() && groups[next] != w && !groups[next]->isAncestorOf(w)) {
        ++next;
      }
      QVERIFY2(next < groups.size(), qPrintable(w->objectName() + " is out of order"));
    }
    QCOMPARE(next, groups.size() - 1);
  }

  void lockingKeepsTheDeviceButtonsOwnState() {
    SelectPort(QStringLiteral("COM 1"));
    m_form->LockControls();
    QVERIFY(AllBusyControlsEnabled(*m_form, false));
    QVERIFY(!Button("btnReadDevice")->isEnabled());
    QVERIFY(!m_form->Editor().jipaIP()->isEnabled());
    m_form->UnlockControls();
    QVERIFY(AllBusyControlsEnabled(*m_form, true));
    QVERIFY(Button("btnReadDevice")->isEnabled());
    QVERIFY(m_form->Editor().jipaIP()->isEnabled());

    // The user opens the list when the port has gone: nothing selected, the commands unavailable.
    m_report = TPortReport{true, {TPortReportValue{"none", "CNCA0", true}}};
    Ports()->showPopup();
    Ports()->hidePopup();
    QVERIFY(!Button("btnReadDevice")->isEnabled());
    m_form->LockControls();
    m_form->UnlockControls();
    QVERIFY(!Button("btnReadDevice")->isEnabled());
    QVERIFY(Button("btnLoadFile")->isEnabled());
  }

  void busyCursorRestoresTheCursorInForceBefore() {
    m_form->ShowBusyCursor();
    QVERIFY(CursorIsBusy());
    m_form->RestoreCursor();
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    m_form->ShowBusyCursor();
    QVERIFY(CursorIsBusy());
    m_form->ResetCursor();
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    // Restoring twice (time-out, then the closed event) leaves the same cursor.
    m_form->RestoreCursor();
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
  }

  void readFromTheButtonFillsPanelsAndEditor() {
    TSimProcess sim;
    SelectPort(sim.PortEntry());
    std::vector<bool> unlockedWhileShown;
    m_boxes->WhileShown([&](const TShownBox&) {
      unlockedWhileShown.push_back(AllBusyControlsEnabled(*m_form, true) &&
                                   QGuiApplication::overrideCursor() == nullptr);
    });

    Click("btnReadDevice");
    // The port is open and the first request out: the controls are locked, the cursor busy.
    QVERIFY(m_form->Link().Open());
    QVERIFY(AllBusyControlsEnabled(*m_form, false));
    QVERIFY(CursorIsBusy());
    QCOMPARE(m_form->StatusText(TMainForm::kPortPanel), U("Połączony."));
    QCOMPARE(m_form->Sequencer().State(), msReadVersion);

    QVERIFY(WaitForBoxes(1));
    const TShownBox& box = m_boxes->Boxes().front();
    QCOMPARE(box.text, U(kReadDone));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.title, U("Konfigurator modułów ETH v. 1.00"));
    QCOMPARE(box.owner, m_form.get());
    QCOMPARE(unlockedWhileShown, std::vector<bool>{true});
    VerifyIdleAfterExchange();

    const TDeviceRecords module = sim.Records();
    const TDeviceRecords& read = m_form->Records();
    QVERIFY(read.FEthConfig == module.FEthConfig);
    QVERIFY(read.FEthREST == module.FEthREST);
    QVERIFY(read.FEthNTP == module.FEthNTP);
    QVERIFY(read.FEthPeriod == module.FEthPeriod);
    QVERIFY(read.FEthPassword == module.FEthPassword);
    QVERIFY(read.FEthToken == module.FEthToken);
    TEditorValues expected;
    RecordsToEditor(read, expected);
    QVERIFY(m_form->Editor().Values() == expected);
    QCOMPARE(m_form->StatusText(0), QString::fromStdString(VersionPanelText(read.FEthVersion)));
    QCOMPARE(m_form->StatusText(1), QString::fromStdString(LinkStatusPanelText(read.FEthStatus)));
    QCOMPARE(m_form->StatusText(2), QString::fromStdString(IpPanelText(read.FEthStatus)));
    QCOMPARE(m_form->StatusText(3), QString::fromStdString(MacPanelText(read.FEthStatus)));
    QVERIFY(m_form->StatusText(0).startsWith(U("Wersja firmware: ")));
  }

  void writeAnsweredYesStoresTheEditorInTheModule() {
    TSimProcess sim;
    SelectPort(sim.PortEntry());
    m_form->Editor().edtAddr1()->setText(QStringLiteral("10.1.2.3"));
    m_form->Editor().spePort1()->SetValue(6001);
    m_form->Editor().speNTPPort()->SetValue(1123);
    m_form->Editor().edtLoginPassword()->setText(QStringLiteral("haslo"));
    m_boxes->Script({QMessageBox::Yes});

    Click("btnWriteDevice");
    QVERIFY(WaitForBoxes(2));
    QCOMPARE(m_boxes->Boxes()[0].text, U(kWriteQuestion));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Warning);
    QCOMPARE(m_boxes->Boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_boxes->Boxes()[0].owner, m_form.get());
    QCOMPARE(m_boxes->Boxes()[1].text, U(kWriteDone));
    QCOMPARE(m_boxes->Boxes()[1].icon, QMessageBox::Information);
    VerifyIdleAfterExchange();

    TDeviceRecords expected = sim::FactoryDefaults();
    std::vector<TMachineState> states;
    EditorToRecords(m_form->Editor().Values(), expected, states);
    const TDeviceRecords module = sim.Records();
    QVERIFY(module.FEthConfig == expected.FEthConfig);
    QVERIFY(module.FEthREST == expected.FEthREST);
    QVERIFY(module.FEthNTP == expected.FEthNTP);
    QVERIFY(module.FEthPeriod == expected.FEthPeriod);
    QVERIFY(module.FEthPassword == expected.FEthPassword);
    QCOMPARE(module.FEthREST.Port1, std::uint16_t{6001});
    // Panels 0 to 3 are left to reads.
    QCOMPARE(m_form->StatusText(0), QString());
  }

  void factoryResetAnsweredYesRestoresTheModule() {
    TSimProcess sim;
    SelectPort(sim.PortEntry());
    m_form->Editor().spePort1()->SetValue(6001);
    m_boxes->Script({QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Yes});
    Click("btnWriteDevice");
    QVERIFY(WaitForBoxes(2));
    QCOMPARE(sim.Records().FEthREST.Port1, std::uint16_t{6001});

    Click("btnFactorySettings");
    QVERIFY(WaitForBoxes(4));
    QCOMPARE(m_boxes->Boxes()[2].text, U(kFactoryQuestion));
    QCOMPARE(m_boxes->Boxes()[2].icon, QMessageBox::Warning);
    QCOMPARE(m_boxes->Boxes()[3].text, U(kFactoryDone));
    QCOMPARE(m_boxes->Boxes()[3].icon, QMessageBox::Information);
    VerifyIdleAfterExchange();
    QVERIFY(sim.Records() == sim::FactoryDefaults());
  }

  void questionsAnsweredNoChangeNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("entry");
    QTest::newRow("write, port selected") << "btnWriteDevice" << U(kWriteQuestion) << "sim";
    QTest::newRow("factory, port selected") << "btnFactorySettings" << U(kFactoryQuestion) << "sim";
    // The question comes before the port is looked at.
    QTest::newRow("write, no valid port") << "btnWriteDevice" << U(kWriteQuestion) << "COM 0";
    QTest::newRow("factory, no valid port")
        << "btnFactorySettings" << U(kFactoryQuestion) << "COM 70000";
  }

  void questionsAnsweredNoChangeNothing() {
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(QString, entry);
    TSimProcess sim;
    SelectPort(entry == QStringLiteral("sim") ? sim.PortEntry() : entry);
    m_form->Editor().spePort1()->SetValue(6001);
    const TDeviceRecords before = m_form->Records();
    const TEditorValues editorBefore = m_form->Editor().Values();
    m_boxes->Script({QMessageBox::No});

    Click(button.toLatin1().constData());
    QVERIFY(WaitForBoxes(1));
    QCOMPARE(m_boxes->Boxes()[0].text, question);
    QTest::qWait(300);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QVERIFY(!m_form->Link().Open());
    QCOMPARE(m_form->Sequencer().State(), msNone);
    QVERIFY(m_form->Sequencer().States().empty());
    QVERIFY(m_form->Records() == before);
    QVERIFY(m_form->Editor().Values() == editorBefore);
    QCOMPARE(m_form->StatusText(TMainForm::kPortPanel), U("Port zamknięty."));
    QVERIFY(sim.Records() == sim::FactoryDefaults());
  }

  void yesWithoutAValidPortDoesNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("entry");
    QTest::newRow("write, COM 0") << "btnWriteDevice"
                                  << "COM 0";
    QTest::newRow("factory, COM -3") << "btnFactorySettings"
                                     << "COM -3";
    QTest::newRow("write, nothing selected") << "btnWriteDevice"
                                             << "";
  }

  void yesWithoutAValidPortDoesNothing() {
    QFETCH(QString, button);
    QFETCH(QString, entry);
    SelectPort(entry.isEmpty() ? QStringLiteral("COM 1") : entry);
    if (entry.isEmpty()) {
      Ports()->setCurrentIndex(-1);
    }
    QVERIFY(Button(button.toLatin1().constData())->isEnabled());
    const TDeviceRecords before = m_form->Records();
    m_form->Editor().spePort1()->SetValue(6001);
    m_boxes->Script({QMessageBox::Yes});

    Click(button.toLatin1().constData());
    QVERIFY(WaitForBoxes(1));
    QTest::qWait(300);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    // The write did not even take the editor into the records.
    QVERIFY(m_form->Records() == before);
    QVERIFY(m_form->Sequencer().States().empty());
    QCOMPARE(m_form->StatusText(TMainForm::kPortPanel), U("Port zamknięty."));
  }

  void readWithoutAValidPortDoesNothing() {
    SelectPort(QStringLiteral("COM 70000"));
    Click("btnReadDevice");
    QTest::qWait(300);
    QVERIFY(m_boxes->Boxes().empty());
    QCOMPARE(m_form->Sequencer().State(), msNone);
    QCOMPARE(m_form->StatusText(TMainForm::kPortPanel), U("Port zamknięty."));
  }

  void portThatCannotBeOpened() {
    TSimProcess sim;  // an empty port folder of our own; COM 4242 names no device in it
    SelectPort(QStringLiteral("COM 4242"));
    std::vector<bool> stateWhileShown;
    m_boxes->WhileShown([&](const TShownBox&) {
      stateWhileShown.push_back(AllBusyControlsEnabled(*m_form, true) &&
                                QGuiApplication::overrideCursor() == nullptr &&
                                m_form->StatusText(TMainForm::kPortPanel) == U("Port zamknięty."));
    });
    Click("btnReadDevice");
    QVERIFY(WaitForBoxes(1));
    QCOMPARE(m_boxes->Boxes()[0].text, U("Błąd otwarcia portu!"));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(m_boxes->Boxes()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(stateWhileShown, std::vector<bool>{true});
    QVERIFY(!m_form->Link().Open());
    QTest::qWait(300);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
  }

  void refusedWriteStopsTheChain() {
    TSimProcess sim({QStringLiteral("--refuse"), QStringLiteral("ntp")});
    SelectPort(sim.PortEntry());
    m_form->Editor().spePort1()->SetValue(6001);
    m_form->Editor().speNTPPort()->SetValue(1123);
    m_form->Editor().speDataInterval()->SetValue(77);
    m_boxes->Script({QMessageBox::Yes});

    Click("btnWriteDevice");
    QVERIFY(WaitForBoxes(2));
    QCOMPARE(m_boxes->Boxes()[1].text, U("Błąd zapisu konfiguracji do urządzenia!"));
    QCOMPARE(m_boxes->Boxes()[1].icon, QMessageBox::Critical);
    VerifyIdleAfterExchange();
    const TDeviceRecords module = sim.Records();
    const TDeviceRecords defaults = sim::FactoryDefaults();
    // Written before the refusal, and nothing after it.
    QCOMPARE(module.FEthREST.Port1, std::uint16_t{6001});
    QVERIFY(module.FEthNTP == defaults.FEthNTP);
    QVERIFY(module.FEthPeriod == defaults.FEthPeriod);
    QVERIFY(module.FEthPassword == defaults.FEthPassword);
  }

  void silentModuleTimesOut() {
    TSimProcess sim({QStringLiteral("--silent-after"), QStringLiteral("0")});
    SelectPort(sim.PortEntry());
    QElapsedTimer elapsed;
    elapsed.start();
    Click("btnReadDevice");
    QVERIFY(AllBusyControlsEnabled(*m_form, false));
    QVERIFY(WaitForBoxes(1));
    // Five one-second ticks without data.
    QVERIFY(elapsed.elapsed() >= 4000);
    QCOMPARE(m_boxes->Boxes()[0].text, U("Urządzenie nie odpowiada!"));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Critical);
    VerifyIdleAfterExchange();
    // The editor was not refreshed and panels 0 to 3 stay empty.
    QVERIFY(m_form->Editor().Values() == TEditorValues{});
    QCOMPARE(m_form->StatusText(0), QString());
  }

  void closingDuringAnExchangeClosesThePortWithoutReport() {
    TSimProcess sim({QStringLiteral("--silent-after"), QStringLiteral("2")});
    SelectPort(sim.PortEntry());
    Click("btnReadDevice");
    QVERIFY(QTest::qWaitFor([&] { return m_form->Sequencer().State() == msReadConfig; }, 10000));
    m_form->close();
    QVERIFY(!m_form->isVisible());
    VerifyIdleAfterExchange();
    QTest::qWait(300);
    QVERIFY(m_boxes->Boxes().empty());
    // What the read reached stays on the panels.
    QVERIFY(m_form->StatusText(0).startsWith(U("Wersja firmware: ")));
  }

  void closingWhileTheTokenIsAwaitedReportsTheRead() {
    TSimProcess sim({QStringLiteral("--silent-after"), QStringLiteral("7")});
    SelectPort(sim.PortEntry());
    Click("btnReadDevice");
    QVERIFY(QTest::qWaitFor([&] { return m_form->Sequencer().State() == msReadToken; }, 10000));
    m_form->close();
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QCOMPARE(m_boxes->Boxes()[0].text, U(kReadDone));
    VerifyIdleAfterExchange();
    TEditorValues expected;
    RecordsToEditor(m_form->Records(), expected);
    QVERIFY(m_form->Editor().Values() == expected);
  }

  void secondCommandWhileTheFirstOpensIsIgnored() {
    TSimProcess sim;
    SelectPort(sim.PortEntry());
    // Clicks that wait in the queue while the read shows the busy cursor and opens the port.
    QMetaObject::invokeMethod(m_form.get(), &TMainForm::btnFactorySettingsClick,
                              Qt::QueuedConnection);
    QMetaObject::invokeMethod(m_form.get(), &TMainForm::btnReadDeviceClick, Qt::QueuedConnection);
    QMetaObject::invokeMethod(Button("btnLoadFile"), &QPushButton::click, Qt::QueuedConnection);
    QMetaObject::invokeMethod(Button("btnSaveFile"), &QPushButton::click, Qt::QueuedConnection);
    Click("btnReadDevice");
    QVERIFY(WaitForBoxes(1));
    QCOMPARE(m_boxes->Boxes()[0].text, U(kReadDone));
    QTest::qWait(300);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QCOMPARE(m_fileDialogs, 0);
    VerifyIdleAfterExchange();
    // Once the port has closed the file commands work again.
    Click("btnLoadFile");
    QCOMPARE(m_fileDialogs, 1);
  }

  void deviceFailureIsShownAtOnce() {
    // The simulator hangs up the line in the middle of the version reply: the link's reader
    // fails, the box says so, and the exchange then ends by time-out.
    TSimProcess sim({QStringLiteral("--hangup-after-bytes"), QStringLiteral("3")});
    SelectPort(sim.PortEntry());
    Click("btnReadDevice");
    QVERIFY(WaitForBoxes(1));
    QVERIFY2(m_boxes->Boxes()[0].text.contains(QStringLiteral("Device read error")),
             qPrintable(m_boxes->Boxes()[0].text));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Critical);
    QVERIFY(WaitForBoxes(2));
    QCOMPARE(m_boxes->Boxes()[1].text, U("Urządzenie nie odpowiada!"));
    VerifyIdleAfterExchange();
  }
};

}  // namespace ethconf::test

QTEST_MAIN(ethconf::test::TMainFormTest)
#include "main_form_test.moc"

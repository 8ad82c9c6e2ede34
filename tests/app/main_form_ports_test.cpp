// The port list and the settings file on a real window: start-up reads the settings and builds
// the list once, the user's drop-down and picks rebuild it from a fake port report, and closing
// writes the settings beside a fake executable.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/guarded_application.h"
#include "app/main_form.h"
#include "serial/port_discovery.h"
#include "tests/app/box_answerer.h"

namespace ethconf::test {

namespace {

template <class T = QWidget>
T* Child(const QWidget& form, const char* name) {
  T* child = form.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr)
    qFatal("the window has no control %s", name);
  return child;
}

QStringList Entries(const QWidget& form) {
  auto* list = Child<QComboBox>(form, "cbCOMPort");
  QStringList texts;
  for (int i = 0; i < list->count(); ++i)
    texts << list->itemText(i);
  return texts;
}

QString Selected(const QWidget& form) {
  auto* list = Child<QComboBox>(form, "cbCOMPort");
  return list->currentIndex() < 0 ? QStringLiteral("<none>") : list->currentText();
}

bool DeviceButtonsEnabled(const QWidget& form) {
  return Child<QPushButton>(form, "btnReadDevice")->isEnabled() &&
         Child<QPushButton>(form, "btnWriteDevice")->isEnabled() &&
         Child<QPushButton>(form, "btnFactorySettings")->isEnabled();
}

bool DeviceButtonsDisabled(const QWidget& form) {
  return !Child<QPushButton>(form, "btnReadDevice")->isEnabled() &&
         !Child<QPushButton>(form, "btnWriteDevice")->isEnabled() &&
         !Child<QPushButton>(form, "btnFactorySettings")->isEnabled();
}

QStringList FixedEntries() {
  QStringList texts;
  for (int n = 1; n <= 16; ++n)
    texts << QStringLiteral("COM %1").arg(n);
  return texts;
}

}  // namespace

class MainFormPortsTest : public QObject {
  Q_OBJECT

 private:
  // The system's report as the window's next rebuild reads it.
  TPortReport m_report;
  int m_reads = 0;
  std::unique_ptr<QTemporaryDir> m_folder;

  void SetReport(std::initializer_list<const char*> data) {
    m_report = {true, {}};
    int index = 0;
    for (const char* text : data) {
      m_report.Values.push_back({"/dev/fake" + std::to_string(index++), text, true});
    }
  }

  QString SettingsFile() const { return m_folder->filePath(QStringLiteral("ethconf.ini")); }

  void WriteSettings(const QByteArray& text) const {
    QFile file(SettingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QByteArray Settings() const {
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
  }

  std::unique_ptr<TMainForm> NewForm() {
    TMainFormServices services = SystemServices();
    services.ReadPortReport = [this] {
      ++m_reads;
      return m_report;
    };
    services.RunFileDialog = [](QFileDialog&) { return QString(); };
    services.ExecutablePath = m_folder->filePath(QStringLiteral("ethconf"));
    return std::make_unique<TMainForm>(nullptr, std::move(services));
  }

 private slots:
  void init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_reads = 0;
    SetReport({"COM3", "COM7"});
  }

  void firstRunBuildsTheListOnceAndClosingWritesOnlyComPort() {
    auto form = NewForm();
    // One rebuild, and the drop-down handling that a changed list runs, which finds no change.
    QCOMPARE(m_reads, 2);
    QCOMPARE(Entries(*form), (QStringList{"COM 3", "COM 7"}));
    QCOMPARE(Selected(*form), QStringLiteral("COM 3"));
    QVERIFY(DeviceButtonsEnabled(*form));
    QVERIFY(Child<QCheckBox>(*form, "chbDetectCOMs")->isChecked());
    QCOMPARE(form->StatusText(TMainForm::kPortPanel), QStringLiteral("Port zamknięty."));
    QCOMPARE(form->AppPath, m_folder->path() + QLatin1Char('/'));
    QCOMPARE(form->AppName, QStringLiteral("ethconf"));
    QCOMPARE(form->SettingsPath(), SettingsFile());
    QCOMPARE(Settings(), QByteArray("<no file>"));

    form->close();
    QCOMPARE(Settings(), QByteArray("[Main]\nComPort='COM 3'\n"));
    QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("ethconf"))));
  }

  void entriesNameTheirDevices() {
    auto form = NewForm();
    auto* list = Child<QComboBox>(*form, "cbCOMPort");
    QCOMPARE(list->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("/dev/fake0"));
    QCOMPARE(list->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/fake1"));
  }

  void detectComFalseStartsWithTheFixedListAndDisabledButtons() {
    WriteSettings("[Main]\nComPort='COM 12'\nDetectCOM=False\nWithDebug=1\n");
    auto form = NewForm();
    QCOMPARE(m_reads, 0);
    QVERIFY(!Child<QCheckBox>(*form, "chbDetectCOMs")->isChecked());
    QCOMPARE(Entries(*form), FixedEntries());
    QCOMPARE(Selected(*form), QStringLiteral("COM 12"));
    QVERIFY(DeviceButtonsDisabled(*form));
    QVERIFY(form->WithDebug);

    form->cbCOMPortDropDown();
    QVERIFY(DeviceButtonsEnabled(*form));
    QCOMPARE(Selected(*form), QStringLiteral("COM 12"));
    QCOMPARE(m_reads, 0);

    form->close();
    QCOMPARE(Settings(), QByteArray("[Main]\nComPort='COM 12'\nDetectCOM=0\nWithDebug=1\n"));
  }

  void detectComThatIsNoFalseKeepsDetectionAndClosingRemovesIt() {
    for (const QByteArray value : {"1", "True", "yes", ""}) {
      WriteSettings("[Main]\nDetectCOM=" + value + "\nComPort='COM 7'\n[Other]\nDetectCOM=0\n");
      m_reads = 0;
      auto form = NewForm();
      QVERIFY2(Child<QCheckBox>(*form, "chbDetectCOMs")->isChecked(), value.constData());
      QCOMPARE(m_reads, 2);
      QCOMPARE(Selected(*form), QStringLiteral("COM 7"));
      form->close();
      QCOMPARE(Settings(), QByteArray("[Main]\nComPort='COM 7'\n[Other]\nDetectCOM=0\n"));
    }
  }

  void comPortNotBeginningWithComBlankSelectsCom1() {
    for (const QByteArray value : {"COM3", "com 3", "", "''"}) {
      WriteSettings("[Main]\nDetectCOM=0\nComPort=" + value + "\n");
      auto form = NewForm();
      QCOMPARE(Selected(*form), QStringLiteral("COM 1"));
    }
    SetReport({"COM2", "COM3"});
    WriteSettings("[Main]\nComPort=com 3\n");
    auto form = NewForm();
    // COM 1 is not in the list: the selection stays where the rebuild put it.
    QCOMPARE(Selected(*form), QStringLiteral("COM 2"));
  }

  void closingWithNothingSelectedWritesTwoQuotes() {
    SetReport({"CNCA0"});
    auto form = NewForm();
    QVERIFY(Entries(*form).isEmpty());
    QCOMPARE(Selected(*form), QStringLiteral("<none>"));
    QVERIFY(DeviceButtonsDisabled(*form));
    form->close();
    QCOMPARE(Settings(), QByteArray("[Main]\nComPort=''\n"));

    SetReport({"COM1", "COM4"});
    auto next = NewForm();
    QCOMPARE(Selected(*next), QStringLiteral("COM 1"));
  }

  void aSettingsFileThatCannotBeWrittenIsIgnoredAtClose() {
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("ethconf.ini")));
    auto form = NewForm();
    form->close();
    QVERIFY(QFileInfo(SettingsFile()).isDir());
  }

  void rebuildsKeepOrMoveTheSelection() {
    SetReport({"COM5", "COM9"});
    auto form = NewForm();
    auto* list = Child<QComboBox>(*form, "cbCOMPort");
    list->setCurrentIndex(1);

    SetReport({"COM2", "COM9", "COM10"});
    form->cbCOMPortDropDown();
    QCOMPARE(Entries(*form), (QStringList{"COM 2", "COM 9", "COM 10"}));
    QCOMPARE(Selected(*form), QStringLiteral("COM 9"));

    SetReport({"COM4", "COM10"});
    form->cbCOMPortChange();
    QCOMPARE(Selected(*form), QStringLiteral("COM 4"));

    const int reads = m_reads;
    form->cbCOMPortDropDown();
    QCOMPARE(m_reads, reads + 1);
    // An unchanged list keeps everything.
    QCOMPARE(Selected(*form), QStringLiteral("COM 4"));

    SetReport({"CNCB0"});
    form->cbCOMPortDropDown();
    QVERIFY(Entries(*form).isEmpty());
    QVERIFY(DeviceButtonsDisabled(*form));
    QCOMPARE(form->SelectedPortNumber(), -1);
  }

  void untickingDetectionSwitchesToTheFixedListAndLeavesTheButtons() {
    SetReport({"COM7", "COM40"});
    auto form = NewForm();
    Child<QComboBox>(*form, "cbCOMPort")->setCurrentIndex(1);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* detect = Child<QCheckBox>(*form, "chbDetectCOMs");

    QTest::mouseClick(detect, Qt::LeftButton, {}, QPoint(5, detect->height() / 2));
    QVERIFY(!detect->isChecked());
    QCOMPARE(Entries(*form), FixedEntries());
    QCOMPARE(Selected(*form), QStringLiteral("COM 1"));
    QVERIFY(DeviceButtonsEnabled(*form));

    Child<QComboBox>(*form, "cbCOMPort")->setCurrentIndex(6);
    QTest::mouseClick(detect, Qt::LeftButton, {}, QPoint(5, detect->height() / 2));
    QVERIFY(detect->isChecked());
    QCOMPARE(Entries(*form), (QStringList{"COM 7", "COM 40"}));
    QCOMPARE(Selected(*form), QStringLiteral("COM 7"));
  }

  void anInvalidReportValueReachesTheApplicationWideHandler() {
    auto form = NewForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    m_report.Values.push_back({"\\Device\\Odd", "", false});
    TBoxAnswerer boxes;

    // The user opens the list: the error escapes the drop-down handler to the application.
    auto* list = Child<QComboBox>(*form, "cbCOMPort");
    QTest::mouseClick(list, Qt::LeftButton);
    QTRY_COMPARE(boxes.Boxes().size(), std::size_t{1});
    QCOMPARE(boxes.Boxes().front().text, QStringLiteral("Invalid data type for '\\Device\\Odd'"));
    QCOMPARE(boxes.Boxes().front().icon, QMessageBox::Critical);
    QCOMPARE(Entries(*form), (QStringList{"COM 3", "COM 7"}));
    QCOMPARE(Selected(*form), QStringLiteral("COM 3"));
    list->hidePopup();
  }

  void selectedPortNumberOfTheEntries() {
    SetReport({"COM16", "COM0", "COM-3", "COM70000", "COM$11"});
    auto form = NewForm();
    auto* list = Child<QComboBox>(*form, "cbCOMPort");
    QCOMPARE(Entries(*form), (QStringList{"COM -3", "COM 0", "COM 16", "COM 17", "COM 70000"}));
    const int expected[] = {-1, -1, 16, 17, -1};
    for (int i = 0; i < 5; ++i) {
      list->setCurrentIndex(i);
      QCOMPARE(form->SelectedPortNumber(), expected[i]);
    }
  }
};

}  // namespace ethconf::test

int main(int argc, char** argv) {
  // The application-wide error handler is part of what is tested.
  ethconf::TGuardedApplication app(argc, argv);
  ethconf::test::MainFormPortsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_form_ports_test.moc"

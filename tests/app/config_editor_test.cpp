#include "app/editor/config_editor.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/editor/config_group.h"
#include "app/editor/ip_address_edit.h"
#include "app/editor/limited_line_edit.h"
#include "app/editor/radio_group.h"
#include "app/editor/spin_edit.h"
#include "tests/app/editor_test_support.h"

namespace ethconf::test {
namespace {

const QRect kArea(169, 4, 672, 380);

template <std::size_t N>
TCharField<N> Field(const std::string& bytes) {
  TCharField<N> field;
  std::copy_n(bytes.begin(), std::min(bytes.size(), N), field.bytes.begin());
  return field;
}

template <std::size_t N>
std::string Bytes(const TCharField<N>& field) {
  return std::string(field.bytes.begin(), field.bytes.end());
}

// Records as a module would send them, with every value inside its limits.
TDeviceRecords SomeRecords() {
  TDeviceRecords records;
  records.FEthConfig.DHCP = 1;
  records.FEthConfig.IP = {10, 0, 0, 5};
  records.FEthConfig.Mask = {255, 255, 0, 0};
  records.FEthConfig.Gateway = {10, 0, 0, 1};
  records.FEthConfig.DNS = {8, 8, 8, 8};
  records.FEthConfig.Port = 502;
  records.FEthREST.Address1 = Field<65>("10.0.0.20");
  records.FEthREST.Port1 = 8080;
  records.FEthREST.Address2 = Field<65>("10.0.0.21");
  records.FEthREST.Port2 = 8081;
  records.FEthREST.SELAddress = Field<65>("sel.local");
  records.FEthREST.Key = Field<41>("key");
  records.FEthNTP.Address = Field<65>("pool.ntp.org");
  records.FEthNTP.Port = 321;
  records.FEthNTP.SyncHour = 7;
  records.FEthNTP.SyncMinute = 5;
  records.FEthPeriod.DataInterval = 60;
  records.FEthPeriod.RESTInterval = 300;
  records.FEthPassword.Password = Field<21>("secret");
  records.FEthToken.Token = Field<16>("tok");
  return records;
}

}  // namespace

class TConfigEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_window = std::make_unique<TActiveWindow>();
    m_editor = std::make_unique<TConfigEditor>(&m_window->window, kArea);
    m_window->elsewhere->setGeometry(0, 0, 150, 22);
  }
  void cleanup() {
    m_editor.reset();
    m_window.reset();
  }

  void controlsAreNamedChildrenOfTheirGroups() {
    const std::vector<std::pair<const char*, QStringList>> groups = {
        {"jvgbConfig",
         {"rgConnectionType", "jipaIP", "jipaMask", "jipaGateway", "jipaDNS", "spePort", "lblIP",
          "lblMask", "lblGateway", "lblDNS", "lblPort"}},
        {"jvgbREST",
         {"edtAddr1", "spePort1", "edtAddr2", "spePort2", "edtAddrSEL", "edtKey", "lblAddr1",
          "lblPort1", "lblAddr2", "lblPort2", "lblAddrSEL", "lblKey"}},
        {"jvgbNTP",
         {"edtNTPAddress", "speNTPPort", "dtpSyncTime", "lblNTPAddress", "lblNTPPort",
          "lblSyncTime"}},
        {"jvgbPeriod",
         {"speDataInterval", "chbRESTInterval", "speRESTInterval", "lblDataInterval"}},
    };
    for (const auto& [group, children] : groups) {
      auto* box = m_window->window.findChild<QGroupBox*>(group, Qt::FindDirectChildrenOnly);
      QVERIFY2(box, group);
      for (const QString& child : children) {
        QVERIFY2(box->findChild<QWidget*>(child, Qt::FindDirectChildrenOnly),
                 qPrintable(child + " in " + group));
      }
    }
    for (const char* loose : {"lblLoginPassword", "edtLoginPassword", "lblToken", "edtToken"}) {
      QVERIFY2(m_window->window.findChild<QWidget*>(loose, Qt::FindDirectChildrenOnly), loose);
    }
    QCOMPARE(m_editor->jvgbConfig()->title(), QStringLiteral("Połączenie:"));
    QCOMPARE(m_editor->rgConnectionType()->title(), QStringLiteral("Typ połączenia:"));
    QCOMPARE(m_editor->lblLoginPassword()->text(), QStringLiteral("Hasło logowania:"));
  }

  void layoutKeepsTheGroupsApartInsideTheArea() {
    const std::vector<QWidget*> placed = {
        m_editor->jvgbConfig(), m_editor->jvgbREST(),         m_editor->jvgbNTP(),
        m_editor->jvgbPeriod(), m_editor->lblLoginPassword(), m_editor->edtLoginPassword(),
        m_editor->lblToken(),   m_editor->edtToken()};
    for (std::size_t i = 0; i < placed.size(); ++i) {
      QVERIFY2(kArea.contains(placed[i]->geometry()), qPrintable(placed[i]->objectName()));
      for (std::size_t j = i + 1; j < placed.size(); ++j) {
        QVERIFY2(!placed[i]->geometry().intersects(placed[j]->geometry()),
                 qPrintable(placed[i]->objectName() + " / " + placed[j]->objectName()));
      }
    }
    QVERIFY(m_editor->jvgbREST()->x() > m_editor->jvgbConfig()->x());
    QVERIFY(m_editor->jvgbNTP()->y() > m_editor->jvgbConfig()->y());
    QVERIFY(m_editor->edtLoginPassword()->y() > m_editor->jvgbPeriod()->geometry().bottom());
    QVERIFY(m_editor->edtToken()->y() > m_editor->edtLoginPassword()->y());
  }

  void initialContentsAsRecords() {
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    const TImage<TEthConfig> config = {0x01, 0xC0, 0xA8, 0x6F, 0x6F, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
                                       0xA8, 0x6F, 0x01, 0xC0, 0xA8, 0x6F, 0x01, 0xAE, 0x08};
    QCOMPARE(ToImage(records.FEthConfig), config);
    QCOMPARE(records.FEthNTP.Port, 123);
    QCOMPARE(records.FEthNTP.SyncHour, 12);
    QCOMPARE(records.FEthNTP.SyncMinute, 0);
    QCOMPARE(ToImage(records.FEthPeriod), (TImage<TEthPeriod>{0x05, 0x00, 0x00, 0x00}));
    QCOMPARE(records.FEthREST.Port1, 5056);
    QCOMPARE(records.FEthREST.Key, Field<41>("3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37"));
    QCOMPARE(records.FEthPassword.Password, Field<21>("vokre"));
    QCOMPARE(states, (std::vector<TMachineState>{msWriteConfig, msWriteREST, msWriteNTP,
                                                 msWritePeriod, msWriteLoginPassword}));
    QVERIFY(m_editor->edtToken()->text().isEmpty());
    QVERIFY(m_editor->speRESTInterval()->isHidden());
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("15"));
  }

  void twoCallsQueueTenStates() {
    TDeviceRecords records;
    std::vector<TMachineState> states{msReadVersion};
    m_editor->EditorToRecords(records, states);
    m_editor->EditorToRecords(records, states);
    const std::vector<TMachineState> five = {msWriteConfig, msWriteREST, msWriteNTP, msWritePeriod,
                                             msWriteLoginPassword};
    std::vector<TMachineState> expected{msReadVersion};
    expected.insert(expected.end(), five.begin(), five.end());
    expected.insert(expected.end(), five.begin(), five.end());
    QCOMPARE(states, expected);
  }

  void recordsShownAndWrittenBack() {
    const TDeviceRecords records = SomeRecords();
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->rgConnectionType()->ItemIndex(), 0);
    QCOMPARE(m_editor->jipaIP()->Text(), QStringLiteral("10.0.0.5"));
    QCOMPARE(m_editor->spePort()->Text(), QStringLiteral("502"));
    QCOMPARE(m_editor->edtAddrSEL()->text(), QStringLiteral("sel.local"));
    QCOMPARE(m_editor->dtpSyncTime()->time(), QTime(7, 5));
    QVERIFY(m_editor->chbRESTInterval()->isChecked());
    QVERIFY(!m_editor->speRESTInterval()->isHidden());
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("300"));
    QCOMPARE(m_editor->edtLoginPassword()->text(), QStringLiteral("secret"));
    QCOMPARE(m_editor->edtToken()->text(), QStringLiteral("tok"));

    TDeviceRecords back;
    back.FEthToken.Token = Field<16>("untouched");
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QCOMPARE(back.FEthConfig, records.FEthConfig);
    QCOMPARE(back.FEthREST, records.FEthREST);
    QCOMPARE(back.FEthNTP, records.FEthNTP);
    QCOMPARE(back.FEthPeriod, records.FEthPeriod);
    QCOMPARE(back.FEthPassword, records.FEthPassword);
    QCOMPARE(back.FEthToken.Token, Field<16>("untouched"));
  }

  void fullWidthFieldsShownWholeAndWrittenBackUnchanged() {
    TDeviceRecords records = SomeRecords();
    const std::string address(65, 'a');
    const std::string key = std::string(40, 'k') + "K";
    const std::string password = std::string(20, 'p') + "P";
    const std::string token = std::string(15, 't') + "T";
    records.FEthREST.Address1 = Field<65>(address);
    records.FEthREST.Key = Field<41>(key);
    records.FEthPassword.Password = Field<21>(password);
    records.FEthToken.Token = Field<16>(token);
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->edtAddr1()->text(), QString::fromStdString(address));
    QCOMPARE(m_editor->edtKey()->text(), QString::fromStdString(key));
    QCOMPARE(m_editor->edtLoginPassword()->text(), QString::fromStdString(password));
    QCOMPARE(m_editor->edtToken()->text(), QString::fromStdString(token));

    TDeviceRecords back;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QCOMPARE(Bytes(back.FEthREST.Address1), address);
    QCOMPARE(Bytes(back.FEthREST.Key), key);
    QCOMPARE(Bytes(back.FEthPassword.Password), password);
  }

  void bytesBehindATerminatorAreDropped() {
    TDeviceRecords records = SomeRecords();
    records.FEthREST.Address2 = Field<65>(std::string("abc\0xyz", 7));
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->edtAddr2()->text(), QStringLiteral("abc"));
    TDeviceRecords back;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QCOMPARE(Bytes(back.FEthREST.Address2), "abc" + std::string(62, '\0'));
  }

  void polishCharactersRoundTrip() {
    const QString text = QStringLiteral("Zażółć gęślą jaźń");
    m_editor->edtAddrSEL()->setText(text);
    m_editor->edtLoginPassword()->setText(QStringLiteral("Łódź"));
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthPassword.Password.bytes[0], 0xA3);  // Ł in Windows-1250
    QCOMPARE(records.FEthPassword.Password.bytes[4], 0x00);

    TActiveWindow otherWindow;
    TConfigEditor other(&otherWindow.window, kArea);
    other.RecordsToEditor(records);
    QCOMPARE(other.edtAddrSEL()->text(), text);
    QCOMPARE(other.edtLoginPassword()->text(), QStringLiteral("Łódź"));
  }

  void connectionTypeFromDhcp_data() {
    QTest::addColumn<int>("dhcp");
    QTest::addColumn<int>("itemIndex");
    QTest::addColumn<int>("stored");
    QTest::newRow("0 static") << 0 << 1 << 0;
    QTest::newRow("1 DHCP") << 1 << 0 << 1;
    QTest::newRow("2 static") << 2 << 1 << 0;
  }
  void connectionTypeFromDhcp() {
    QFETCH(int, dhcp);
    QFETCH(int, itemIndex);
    TDeviceRecords records = SomeRecords();
    records.FEthConfig.DHCP = static_cast<std::uint8_t>(dhcp);
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->rgConnectionType()->ItemIndex(), itemIndex);
    QVERIFY(m_editor->rgConnectionType()->Item(itemIndex)->isChecked());
    QCOMPARE(m_editor->rgConnectionType()->Item(1)->text(), QStringLiteral("Statyczne IP"));
    TDeviceRecords back;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QTEST(int(back.FEthConfig.DHCP), "stored");
    // The address fields stay editable under either choice.
    QVERIFY(m_editor->jipaIP()->isEnabled());
  }

  void valuesFromTheModuleAreClampedOnShow() {
    TDeviceRecords records = SomeRecords();
    records.FEthConfig.Port = 0;
    records.FEthREST.Port1 = 0;
    records.FEthPeriod.DataInterval = 3;
    records.FEthPeriod.RESTInterval = 5;
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->spePort()->Text(), QStringLiteral("1"));
    QCOMPARE(m_editor->spePort1()->Text(), QStringLiteral("1"));
    QCOMPARE(m_editor->speDataInterval()->Text(), QStringLiteral("5"));
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("10"));
    records.FEthPeriod.RESTInterval = 4000;
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("3600"));

    TDeviceRecords back;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QCOMPARE(back.FEthConfig.Port, 1);
    QCOMPARE(back.FEthPeriod.DataInterval, 5);
    QCOMPARE(back.FEthPeriod.RESTInterval, 3600);
  }

  void restIntervalZeroClearsTheBoxAndKeepsTheHiddenValue() {
    TDeviceRecords records = SomeRecords();
    m_editor->RecordsToEditor(records);
    QVERIFY(!m_editor->speRESTInterval()->isHidden());
    records.FEthPeriod.RESTInterval = 0;
    m_editor->RecordsToEditor(records);
    QVERIFY(!m_editor->chbRESTInterval()->isChecked());
    QVERIFY(m_editor->speRESTInterval()->isHidden());
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("300"));
    TDeviceRecords back;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(back, states);
    QCOMPARE(back.FEthPeriod.RESTInterval, 0);
  }

  void checkBoxShowsAndHidesTheIntervalKeepingItsValue() {
    QVERIFY(m_window->Show());
    QCheckBox* box = m_editor->chbRESTInterval();
    TSpinEdit* interval = m_editor->speRESTInterval();
    QVERIFY(!interval->isVisible());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QVERIFY(box->isChecked());
    QVERIFY(interval->isVisible());
    interval->SetValue(42);
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthPeriod.RESTInterval, 42);

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QVERIFY(!interval->isVisible());
    QCOMPARE(interval->Text(), QStringLiteral("42"));
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthPeriod.RESTInterval, 0);
    box->setChecked(true);  // the program's change runs the handler too
    QVERIFY(interval->isVisible());
    QCOMPARE(interval->Text(), QStringLiteral("42"));
  }

  void impossibleSyncTimeStopsAfterTheNtpPort_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::newRow("24:00") << 24 << 0;
    QTest::newRow("12:60") << 12 << 60;
  }
  void impossibleSyncTimeStopsAfterTheNtpPort() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    m_editor->dtpSyncTime()->setTime(QTime(7, 5));
    m_editor->speDataInterval()->Editor()->setText(QStringLiteral("077"));
    m_editor->edtLoginPassword()->setText(QStringLiteral("old"));
    m_editor->edtToken()->setText(QStringLiteral("oldtoken"));
    TDeviceRecords records = SomeRecords();
    records.FEthNTP.SyncHour = static_cast<std::uint8_t>(hour);
    records.FEthNTP.SyncMinute = static_cast<std::uint8_t>(minute);
    QVERIFY_THROWS_EXCEPTION(TConversionError, m_editor->RecordsToEditor(records));
    QCOMPARE(m_editor->jipaDNS()->Text(), QStringLiteral("8.8.8.8"));
    QCOMPARE(m_editor->edtKey()->text(), QStringLiteral("key"));
    QCOMPARE(m_editor->edtNTPAddress()->text(), QStringLiteral("pool.ntp.org"));
    QCOMPARE(m_editor->speNTPPort()->Text(), QStringLiteral("321"));
    QCOMPARE(m_editor->dtpSyncTime()->time(), QTime(7, 5));
    QCOMPARE(m_editor->speDataInterval()->Text(), QStringLiteral("077"));
    QVERIFY(!m_editor->chbRESTInterval()->isChecked());
    QCOMPARE(m_editor->speRESTInterval()->Text(), QStringLiteral("15"));
    QCOMPARE(m_editor->edtLoginPassword()->text(), QStringLiteral("old"));
    QCOMPARE(m_editor->edtToken()->text(), QStringLiteral("oldtoken"));
  }

  void timeFieldIgnoresSeconds() {
    QCOMPARE(m_editor->dtpSyncTime()->displayFormat(), QStringLiteral("HH:mm"));
    m_editor->dtpSyncTime()->setTime(QTime(7, 5, 42));
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthNTP.SyncHour, 7);
    QCOMPARE(records.FEthNTP.SyncMinute, 5);
    records.FEthNTP.SyncHour = 23;
    records.FEthNTP.SyncMinute = 59;
    m_editor->RecordsToEditor(records);
    QCOMPARE(m_editor->dtpSyncTime()->time(), QTime(23, 59, 0));
  }

  void addressFieldsReadAsDisplayed() {
    m_editor->RecordsToEditor(SomeRecords());
    m_editor->jipaGateway()->Part(2)->clear();
    m_editor->jipaMask()->Part(3)->setText(QStringLiteral("128"));
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthConfig.Gateway, (TIpv4{10, 0, 0, 1}));
    QCOMPARE(records.FEthConfig.Mask, (TIpv4{255, 255, 0, 128}));
  }

  void typingLimitsOfTheTextFields() {
    QVERIFY(m_window->Show());
    const std::vector<std::pair<TLimitedLineEdit*, int>> fields = {
        {m_editor->edtAddr1(), 64},   {m_editor->edtAddr2(), 64},
        {m_editor->edtAddrSEL(), 64}, {m_editor->edtNTPAddress(), 64},
        {m_editor->edtKey(), 40},     {m_editor->edtLoginPassword(), 20}};
    for (const auto& [field, limit] : fields) {
      field->clear();
      field->setFocus();
      QTest::keyClicks(field, QString(limit + 3, u'x'));
      QCOMPARE(field->text().size(), limit);
    }
    QCOMPARE(m_editor->edtToken()->MaxChars(), 15);
    QVERIFY(m_editor->edtToken()->isReadOnly());
  }

  void passwordShowsOneStarPerCharacter() {
    QCOMPARE(m_editor->edtLoginPassword()->echoMode(), QLineEdit::Password);
    QCOMPARE(m_editor->edtLoginPassword()->displayText(), QStringLiteral("*****"));
  }

  void spinFieldOfTheEditorLeftWithADecimal() {
    QLocale::setDefault(QLocale(QLocale::Polish));
    QVERIFY(m_window->Show());
    TSpinEdit* port = m_editor->spePort();
    port->setFocus();
    port->Editor()->selectAll();
    QTest::keyClicks(port->Editor(), "12,5");
    m_window->MoveFocusAway();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(port->Text(), QStringLiteral("12,5"));
    TDeviceRecords records;
    std::vector<TMachineState> states;
    m_editor->EditorToRecords(records, states);
    QCOMPARE(records.FEthConfig.Port, 1);
  }

  void disablingAGroupDisablesEveryControlInside() {
    for (TConfigGroup* group : {m_editor->jvgbConfig(), m_editor->jvgbREST(), m_editor->jvgbNTP(),
                                m_editor->jvgbPeriod()}) {
      const QList<QWidget*> controls = group->findChildren<QWidget*>();
      QVERIFY(!controls.isEmpty());
      controls.first()->setEnabled(false);  // a control disabled on its own
      group->setEnabled(false);
      for (QWidget* control : controls) {
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
      }
      group->setEnabled(true);
      for (QWidget* control : controls) {
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
      }
    }
  }

 private:
  std::unique_ptr<TActiveWindow> m_window;
  std::unique_ptr<TConfigEditor> m_editor;
};

int RunConfigEditorTests(int argc, char** argv) {
  TConfigEditorTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace ethconf::test

#include "config_editor_test.moc"

#include "app/editor/spin_edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/editor/limited_line_edit.h"
#include "tests/app/editor_test_support.h"

Q_DECLARE_METATYPE(ethconf::TSpinLimits)

namespace ethconf::test {

class TSpinEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    // Polish numbers: the decimal separator is a comma.
    QLocale::setDefault(QLocale(QLocale::Polish));
    m_window = std::make_unique<TActiveWindow>();
    m_spin = new TSpinEdit(kPortLimits, &m_window->window);
    m_spin->SetValue(2222);
    QVERIFY(m_window->Show());
    m_spin->setFocus();
  }
  void cleanup() {
    m_window.reset();
    QLocale::setDefault(QLocale::c());
  }

  void settingClampsIntoTheLimits_data() {
    QTest::addColumn<TSpinLimits>("limits");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("port 0") << kPortLimits << 0 << "1";
    QTest::newRow("port 99999") << kPortLimits << 99999 << "65535";
    QTest::newRow("port -5") << kPortLimits << -5 << "1";
    QTest::newRow("interval 3") << kDataIntervalLimits << 3 << "5";
    QTest::newRow("REST 5") << kRestIntervalLimits << 5 << "10";
    QTest::newRow("REST 4000") << kRestIntervalLimits << 4000 << "3600";
    QTest::newRow("inside") << kRestIntervalLimits << 15 << "15";
    QTest::newRow("equal limits") << TSpinLimits{7, 7, 3} << 12345 << "12345";
  }
  void settingClampsIntoTheLimits() {
    QFETCH(TSpinLimits, limits);
    QFETCH(int, value);
    TSpinEdit spin(limits);
    spin.SetValue(value);
    QTEST(spin.Text(), "shown");
  }

  void readingTakesTheWholeTextOrMin_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << "2223" << 2223;
    QTest::newRow("not clamped") << "99999" << 99999;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("minus sign") << "-3" << -3;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("decimal") << "12,5" << 1;
    QTest::newRow("letters") << "12a" << 1;
    QTest::newRow("space") << " 12" << 1;
    QTest::newRow("sign only") << "-" << 1;
    QTest::newRow("beyond int") << "2147483648" << 1;
    QTest::newRow("int max") << "2147483647" << 2147483647;
  }
  void readingTakesTheWholeTextOrMin() {
    QFETCH(QString, text);
    m_spin->Editor()->setText(text);
    QTEST(m_spin->Value(), "value");
  }

  void typingFilterRefusesOtherKeysWithABeep() {
    QSignalSpy refused(m_spin, &TSpinEdit::KeyRefused);
    m_spin->Editor()->clear();
    QTest::keyClicks(m_spin->Editor(), "1a2,5x");
    QCOMPARE(m_spin->Text(), QStringLiteral("12,5"));
    QCOMPARE(refused.count(), 2);
    QTest::keyClick(m_spin->Editor(), Qt::Key_Return);
    QTest::keyClick(m_spin->Editor(), Qt::Key_Enter);
    QCOMPARE(refused.count(), 4);
    QTest::keyClick(m_spin->Editor(), Qt::Key_Backspace);
    QTest::keyClicks(m_spin->Editor(), "+-");
    QCOMPARE(m_spin->Text(), QStringLiteral("12,+-"));
    QTest::keyClicks(m_spin->Editor(), ".");  // not the Polish separator
    QCOMPARE(refused.count(), 5);
  }

  void pastingIsNotFiltered() {
    QSignalSpy refused(m_spin, &TSpinEdit::KeyRefused);
    m_spin->Editor()->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("x9"));
    QTest::keyClick(m_spin->Editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_spin->Text(), QStringLiteral("x9"));
    QCOMPARE(refused.count(), 0);
    QCOMPARE(m_spin->Value(), 1);
  }

  void typingIsBoundedButProgramTextIsNot() {
    m_spin->Editor()->clear();
    QTest::keyClicks(m_spin->Editor(), "1234567");
    QCOMPARE(m_spin->Text(), QStringLiteral("12345"));
    TSpinEdit unlimited(TSpinLimits{0, 0, 3});
    unlimited.SetValue(1234567);
    QCOMPARE(unlimited.Text(), QStringLiteral("1234567"));
  }

  void leavingTheField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<int>("valueAfter");
    QTest::newRow("decimal stays") << "12,5"
                                   << "12,5" << 1;
    QTest::newRow("above max") << "99999"
                               << "65535" << 65535;
    QTest::newRow("below min") << "0"
                               << "1" << 1;
    QTest::newRow("negative") << "-4"
                              << "1" << 1;
    QTest::newRow("emptied") << ""
                             << "" << 1;
    QTest::newRow("in range kept as typed") << "+080"
                                            << "+080" << 80;
  }
  void leavingTheField() {
    QFETCH(QString, typed);
    m_spin->Editor()->clear();
    QTest::keyClicks(m_spin->Editor(), typed);
    m_window->MoveFocusAway();
    QVERIFY(!m_spin->Editor()->hasFocus());
    QTEST(m_spin->Text(), "shownAfter");
    QTEST(m_spin->Value(), "valueAfter");
  }

  void arrowKeysStep_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("shown");
    QTest::newRow("up") << "2222" << int(Qt::Key_Up) << "2223";
    QTest::newRow("down") << "2222" << int(Qt::Key_Down) << "2221";
    QTest::newRow("up at max") << "65535" << int(Qt::Key_Up) << "65535";
    QTest::newRow("down at min") << "1" << int(Qt::Key_Down) << "1";
    QTest::newRow("up from text") << "12,5" << int(Qt::Key_Up) << "2";
    QTest::newRow("down from above") << "99999" << int(Qt::Key_Down) << "65535";
  }
  void arrowKeysStep() {
    QFETCH(QString, text);
    QFETCH(int, key);
    m_spin->Editor()->setText(text);
    QTest::keyClick(m_spin->Editor(), Qt::Key(key));
    QTEST(m_spin->Text(), "shown");
  }

  void buttonsStepAndKeepTheFocus() {
    QTest::mouseClick(m_spin->UpButton(), Qt::LeftButton);
    QCOMPARE(m_spin->Text(), QStringLiteral("2223"));
    QTest::mouseClick(m_spin->DownButton(), Qt::LeftButton);
    QTest::mouseClick(m_spin->DownButton(), Qt::LeftButton);
    QCOMPARE(m_spin->Text(), QStringLiteral("2221"));
    QVERIFY(m_spin->Editor()->hasFocus());
  }

  void holdingAButtonRepeatsUntilReleased() {
    QTest::mousePress(m_spin->UpButton(), Qt::LeftButton);
    QCOMPARE(m_spin->Value(), 2223);  // the press itself steps once
    QTRY_VERIFY_WITH_TIMEOUT(m_spin->Value() >= 2226, 5000);
    QTest::mouseRelease(m_spin->UpButton(), Qt::LeftButton);
    const int released = m_spin->Value();
    QTest::qWait(3 * TSpinEdit::kRepeatDelayMs);
    QCOMPARE(m_spin->Value(), released);
  }

 private:
  std::unique_ptr<TActiveWindow> m_window;
  TSpinEdit* m_spin = nullptr;
};

int RunSpinEditTests(int argc, char** argv) {
  TSpinEditTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace ethconf::test

#include "spin_edit_test.moc"

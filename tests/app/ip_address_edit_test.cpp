#include "app/editor/ip_address_edit.h"

#include <QLineEdit>
#include <QTest>
#include <memory>

#include "tests/app/editor_test_support.h"

Q_DECLARE_METATYPE(ethconf::TIpv4)

namespace ethconf::test {

class TIpAddressEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_window = std::make_unique<TActiveWindow>();
    m_address = new TIpAddressEdit(&m_window->window);
    QVERIFY(m_window->Show());
  }
  void cleanup() { m_window.reset(); }

  void settingTheText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TIpv4>("address");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("plain") << "10.0.0.5" << TIpv4{10, 0, 0, 5} << "10.0.0.5";
    QTest::newRow("extremes") << "255.0.255.0" << TIpv4{255, 0, 255, 0} << "255.0.255.0";
    QTest::newRow("blank third part") << "192.168..1" << TIpv4{192, 168, 0, 1} << "192.168.0.1";
    QTest::newRow("missing parts") << "7.8" << TIpv4{7, 8, 0, 0} << "7.8.0.0";
    QTest::newRow("above 255") << "300.1.2.3" << TIpv4{255, 1, 2, 3} << "255.1.2.3";
  }
  void settingTheText() {
    QFETCH(QString, text);
    m_address->SetText(text);
    QTEST(m_address->Address(), "address");
    QTEST(m_address->Text(), "readBack");
  }

  void aBlankPartReadsAsZero() {
    m_address->SetAddress({192, 168, 111, 1});
    m_address->Part(2)->clear();
    QCOMPARE(m_address->Address(), (TIpv4{192, 168, 0, 1}));
    QCOMPARE(m_address->Part(2)->text(), QString());
  }

  void readAsDisplayedAfterTyping() {
    m_address->SetAddress({192, 168, 111, 111});
    m_address->Part(0)->setFocus();
    m_address->Part(0)->selectAll();
    // Three digits move on to the next part and select it; a dot right after is not a second
    // move, a dot after a shorter number is.
    QTest::keyClicks(QApplication::focusWidget(), "10.");
    QTest::keyClicks(QApplication::focusWidget(), "1.");
    QTest::keyClicks(QApplication::focusWidget(), "200.");
    QTest::keyClicks(QApplication::focusWidget(), "7");
    QCOMPARE(m_address->Address(), (TIpv4{10, 1, 200, 7}));
    QCOMPARE(QApplication::focusWidget(), m_address->Part(3));
  }

  void partsRefuseValuesAbove255AndNonDigits() {
    m_address->SetAddress({1, 2, 3, 4});
    QLineEdit* part = m_address->Part(1);
    part->setFocus();
    part->selectAll();
    QTest::keyClicks(part, "3x0");
    QCOMPARE(part->text(), QStringLiteral("30"));
    QTest::keyClicks(part, "0");  // 300
    QCOMPARE(part->text(), QStringLiteral("30"));
    QCOMPARE(m_address->Address(), (TIpv4{1, 30, 3, 4}));
  }

  void backspaceAndArrowsCrossParts() {
    m_address->SetAddress({1, 2, 3, 4});
    QLineEdit* part = m_address->Part(2);
    part->setFocus();
    part->setCursorPosition(0);
    QTest::keyClick(part, Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), m_address->Part(1));
    QTest::keyClick(m_address->Part(1), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), m_address->Part(2));
    QCOMPARE(m_address->Address(), (TIpv4{1, 2, 3, 4}));
  }

 private:
  std::unique_ptr<TActiveWindow> m_window;
  TIpAddressEdit* m_address = nullptr;
};

int RunIpAddressEditTests(int argc, char** argv) {
  TIpAddressEditTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace ethconf::test

#include "ip_address_edit_test.moc"

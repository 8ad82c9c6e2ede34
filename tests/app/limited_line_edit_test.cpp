#include "app/editor/limited_line_edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <memory>

#include "tests/app/editor_test_support.h"

namespace ethconf::test {

class TLimitedLineEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_window = std::make_unique<TActiveWindow>();
    m_edit = new TLimitedLineEdit(5, &m_window->window);
    QVERIFY(m_window->Show());
    m_edit->setFocus();
  }
  void cleanup() { m_window.reset(); }

  void typingStopsAtTheLimit() {
    QTest::keyClicks(m_edit, "abcdefg");
    QCOMPARE(m_edit->text(), QStringLiteral("abcde"));
  }

  void pasteIsCutToTheRoomLeft_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursorAfter");
    QTest::newRow("fits") << "abc" << 1 << "XY"
                          << "aXYbc" << 3;
    QTest::newRow("cut") << "abc" << 1 << "XYZW"
                         << "aXYbc" << 3;
    // The pasted text repeats a neighbour: still its first characters are the ones kept.
    QTest::newRow("repeats left") << "aXbc" << 1 << "XY"
                                  << "aXXbc" << 2;
    QTest::newRow("repeats right") << "aXbc" << 2 << "YX"
                                   << "aXYbc" << 3;
    QTest::newRow("full") << "abcde" << 5 << "X"
                          << "abcde" << 5;
  }
  void pasteIsCutToTheRoomLeft() {
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, clipboard);
    m_edit->setText(before);
    m_edit->setCursorPosition(cursor);
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    QTEST(m_edit->text(), "after");
    QTEST(m_edit->cursorPosition(), "cursorAfter");
  }

  void programTextIsShownWhole() {
    const QString longText = QStringLiteral("0123456789");
    m_edit->setText(longText);
    QCOMPARE(m_edit->text(), longText);
    m_edit->end(false);
    QTest::keyClicks(m_edit, "x");
    QCOMPARE(m_edit->text(), longText);  // no room for typing
    QTest::keyClick(m_edit, Qt::Key_Backspace);
    QCOMPARE(m_edit->text(), QStringLiteral("012345678"));
    m_edit->selectAll();
    QTest::keyClicks(m_edit, "xy");
    QCOMPARE(m_edit->text(), QStringLiteral("xy"));
  }

 private:
  std::unique_ptr<TActiveWindow> m_window;
  TLimitedLineEdit* m_edit = nullptr;
};

int RunLimitedLineEditTests(int argc, char** argv) {
  TLimitedLineEditTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace ethconf::test

#include "limited_line_edit_test.moc"

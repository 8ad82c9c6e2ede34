// The application as a whole: errors that escape every handler are shown with their description
// in an error box captioned with the application title, and the program goes on handling events;
// Qt's own texts follow the user's language.

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/guarded_application.h"
#include "app/qt_translations.h"
#include "tests/app/box_answerer.h"

namespace ethconf::test {

class TGuardedApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tytuł v. 1.00"));
  }

  void errorFromAGuardedClickIsShownAndTheProgramGoesOn() {
    TBoxAnswerer boxes;
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("x"), &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] {
      RunGuarded([&] {
        ++clicks;
        throw std::runtime_error("Invalid data type for 'Serial0'");
      });
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), std::size_t{1});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("Invalid data type for 'Serial0'"));
    QCOMPARE(boxes.Boxes()[0].title, QStringLiteral("Tytuł v. 1.00"));
    QCOMPARE(boxes.Boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.Boxes()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // The button and the event loop still work.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(boxes.Boxes().size(), std::size_t{2});
  }

  // Errors that no handler guards reach notify.
  void errorFromAQueuedCallAndATimer() {
    TBoxAnswerer boxes;
    QTimer::singleShot(0, [] { throw std::logic_error("z kolejki"); });
    QVERIFY(QTest::qWaitFor([&] { return boxes.Boxes().size() == 1; }, 5000));
    QTimer::singleShot(0, [] { throw 42; });
    QVERIFY(QTest::qWaitFor([&] { return boxes.Boxes().size() == 2; }, 5000));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QVERIFY(QTest::qWaitFor([&] { return later; }, 5000));
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("z kolejki"));
    // An error without a description still gets a message the user can read.
    QVERIFY(!boxes.Boxes()[1].text.isEmpty());
  }

  void qtTextsFollowTheUsersLanguage() {
    QMessageBox english(QMessageBox::Warning, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(english.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
             QStringLiteral("Yes"));
    QVERIFY(!InstallQtTranslations(*qApp, QLocale(QLocale::Swahili, QLocale::Kenya)));
    QVERIFY(InstallQtTranslations(*qApp, QLocale(QLocale::Polish, QLocale::Poland)));
    QMessageBox polish(QMessageBox::Warning, QString(), QString(),
                       QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(polish.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
             QStringLiteral("Tak"));
    QCOMPARE(polish.button(QMessageBox::No)->text().remove(QLatin1Char('&')),
             QStringLiteral("Nie"));
  }
};

}  // namespace ethconf::test

int main(int argc, char** argv) {
  ethconf::TGuardedApplication app(argc, argv);
  ethconf::test::TGuardedApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "guarded_application_test.moc"

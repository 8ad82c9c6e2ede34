// The load and save commands on a real window: the dialogs' set-up, the overwrite question, the
// extension rule, short and long files, and the failures that end in a box or in the
// application-wide error handler, with the controls unlocked and the cursor restored.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/editor/config_editor.h"
#include "app/editor/config_group.h"
#include "app/guarded_application.h"
#include "app/main_form.h"
#include "config/eth_file.h"
#include "tests/app/box_answerer.h"
#include "tests/app/read_only_folder.h"

namespace ethconf::test {

namespace {

constexpr const char* kLoadError = "Nie można wczytać pliku z konfiguracją!";
constexpr const char* kOverwrite = "Plik o podanej nazwie już istnieje. Czy nadpisać?";

QString U(const char* text) {
  return QString::fromUtf8(text);
}

QByteArray Image(const TDeviceRecords& records) {
  const TEthFileImage image = EthFileImage(records);
  return QByteArray(reinterpret_cast<const char*>(image.data()), kEthFileSize);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

void Store(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

// What the command had set on its dialog, and the window's state while it was up.
struct TDialogSeen {
  QString directory;
  QString defaultSuffix;
  QStringList nameFilters;
  QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
  bool confirmsOverwrite = true;
  bool commandsLocked = false;
  bool busyCursor = false;
};

}  // namespace

class MainFormFilesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> m_folder;
  std::unique_ptr<TMainForm> m_form;
  std::optional<TBoxAnswerer> m_boxes;
  QString m_choice;  // what the user picks in the next dialog; empty cancels
  std::vector<TDialogSeen> m_dialogs;

  QString Path(const QString& name) const { return m_folder->filePath(name); }
  QPushButton* Button(const char* name) const {
    return m_form->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  bool Idle() const {
    return m_form->findChild<QGroupBox*>(QStringLiteral("gbCommands"))->isEnabled() &&
           m_form->findChild<QGroupBox*>(QStringLiteral("gbConnection"))->isEnabled() &&
           m_form->Editor().jvgbConfig()->isEnabled() &&
           QGuiApplication::overrideCursor() == nullptr;
  }
  void Save(const QString& choice) {
    m_choice = choice;
    QTest::mouseClick(Button("btnSaveFile"), Qt::LeftButton);
  }
  void Load(const QString& choice) {
    m_choice = choice;
    QTest::mouseClick(Button("btnLoadFile"), Qt::LeftButton);
  }

 private slots:
  void init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("Konfiguracje")));
    m_dialogs.clear();
    TMainFormServices services = SystemServices();
    services.ReadPortReport = [] { return TPortReport{}; };
    services.ExecutablePath = Path(QStringLiteral("ethconf"));
    services.RunFileDialog = [this](QFileDialog& dialog) {
      m_dialogs.push_back(
          {dialog.directory().absolutePath(), dialog.defaultSuffix(), dialog.nameFilters(),
           dialog.acceptMode(), !dialog.testOption(QFileDialog::DontConfirmOverwrite),
           !m_form->findChild<QGroupBox*>(QStringLiteral("gbCommands"))->isEnabled(),
           QGuiApplication::overrideCursor() != nullptr});
      return m_choice;
    };
    m_form = std::make_unique<TMainForm>(nullptr, std::move(services));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_boxes.emplace();
  }

  void cleanup() {
    m_boxes.reset();
    m_form.reset();
    m_folder.reset();
  }

  void savingTheInitialContentsWritesTheDefaultImage() {
    Save(Path(QStringLiteral("Konfiguracje/first.eth")));
    const QByteArray bytes = Contents(Path(QStringLiteral("Konfiguracje/first.eth")));
    QCOMPARE(bytes.size(), 332);
    QCOMPARE(bytes.left(19).toHex(' '), QByteArray("01 c0 a8 6f 6f ff ff ff 00 c0 a8 6f 01 c0 "
                                                   "a8 6f 01 ae 08"));
    QCOMPARE(bytes.mid(324).toHex(' '), QByteArray("7b 00 0c 00 05 00 00 00"));
    QCOMPARE(bytes, Image(m_form->Records()));
    QCOMPARE(m_form->Sequencer().States().size(), std::size_t{5});
    QVERIFY(m_boxes->Boxes().empty());
    QVERIFY(Idle());

    QCOMPARE(m_dialogs.size(), std::size_t{1});
    const TDialogSeen& seen = m_dialogs.front();
    QCOMPARE(seen.directory, Path(QStringLiteral("Konfiguracje")));
    QCOMPARE(seen.defaultSuffix, QStringLiteral("eth"));
    QCOMPARE(seen.nameFilters,
             QStringList{QStringLiteral("Pliki konfiguracyjne MV-7/ETH (*.eth)")});
    QCOMPARE(seen.acceptMode, QFileDialog::AcceptSave);
    QVERIFY(!seen.confirmsOverwrite);
    QVERIFY(seen.commandsLocked);
    QVERIFY(!seen.busyCursor);
  }

  void cancellingTheSaveStillTakesTheEditorIntoTheRecords() {
    m_form->Records().FEthConfig = {};
    Save(QString());
    QCOMPARE(m_form->Sequencer().States().size(), std::size_t{5});
    QCOMPARE(Image(m_form->Records()).left(1), QByteArray("\x01"));
    QCOMPARE(QDir(Path(QStringLiteral("Konfiguracje"))).entryList(QDir::Files).size(), 0);
    QVERIFY(Idle());
  }

  void theOverwriteQuestionDecides() {
    const QString file = Path(QStringLiteral("old.eth"));
    const QByteArray old(400, '\x5A');
    Store(file, old);

    m_boxes->Script({QMessageBox::No});
    Save(file);
    QCOMPARE(Contents(file), old);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QCOMPARE(m_boxes->Boxes()[0].text, U(kOverwrite));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Warning);
    QCOMPARE(m_boxes->Boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(Idle());

    m_boxes->Script({QMessageBox::Yes});
    Save(file);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{2});
    // Replaced whole: no byte of the longer old file is left.
    QCOMPARE(Contents(file), Image(m_form->Records()));
    QVERIFY(Idle());
  }

  void aNameWithoutExtensionGetsEth() {
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("x.d")));
    Save(Path(QStringLiteral("x.d/conf")));
    QCOMPARE(Contents(Path(QStringLiteral("x.d/conf.eth"))).size(), 332);
    QVERIFY(!QFile::exists(Path(QStringLiteral("x.d/conf"))));

    Save(Path(QStringLiteral("dot.")));
    QCOMPARE(Contents(Path(QStringLiteral("dot."))).size(), 332);
    QVERIFY(!QFile::exists(Path(QStringLiteral("dot..eth"))));
  }

  void theQuestionIsAboutTheNameThatWillBeWritten() {
    const QByteArray old("keep me");
    Store(Path(QStringLiteral("conf.eth")), old);
    m_boxes->Script({QMessageBox::No});
    Save(Path(QStringLiteral("conf")));
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QCOMPARE(Contents(Path(QStringLiteral("conf.eth"))), old);
  }

  void aFileThatCannotBeCreatedGoesToTheApplicationWideHandler() {
    const QString file = Path(QStringLiteral("missing/c.eth"));
    m_choice = file;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_form->btnSaveFileClick());
    QVERIFY(Idle());

    Save(file);
    QTRY_COMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QVERIFY(m_boxes->Boxes()[0].text.contains(file));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Critical);
    QVERIFY(Idle());
  }

  void aFailedSaveLeavesThePreviousFile() {
    const QString folder = Path(QStringLiteral("locked"));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("locked")));
    const QString file = folder + QStringLiteral("/prev.eth");
    const QByteArray old(332, '\x11');
    Store(file, old);
    const TReadOnlyFolder locked(folder);
    if (!locked.IsReadOnly())
      QSKIP("cannot make a folder read-only here");

    m_boxes->Script({QMessageBox::Yes});
    Save(file);
    QTRY_COMPARE(m_boxes->Boxes().size(), std::size_t{2});
    QCOMPARE(m_boxes->Boxes()[1].icon, QMessageBox::Critical);
    QCOMPARE(Contents(file), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QVERIFY(Idle());
  }

  void loadingRestoresTheRecordsByteForByte() {
    const QString file = Path(QStringLiteral("a.eth"));
    Save(file);
    const QByteArray saved = Contents(file);

    Store(Path(QStringLiteral("zero.eth")), QByteArray(332, '\0'));
    Load(Path(QStringLiteral("zero.eth")));
    QCOMPARE(Image(m_form->Records()), QByteArray(332, '\0'));

    Load(file);
    QCOMPARE(Image(m_form->Records()), saved);
    Save(Path(QStringLiteral("b.eth")));
    // The editor shows what was loaded.
    QCOMPARE(Contents(Path(QStringLiteral("b.eth"))), saved);
    QVERIFY(m_boxes->Boxes().empty());
    QVERIFY(Idle());

    const TDialogSeen& open = m_dialogs[1];
    QCOMPARE(open.acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(open.directory, Path(QStringLiteral("Konfiguracje")));
    QCOMPARE(open.defaultSuffix, QStringLiteral("eth"));
    QVERIFY(open.commandsLocked);
  }

  void shortAndLongFilesLoadWhatTheyHold() {
    const QByteArray before = Image(m_form->Records());
    QByteArray config(19, '\0');
    config[0] = 1;
    config[1] = 10;
    Store(Path(QStringLiteral("short.eth")), config);
    Load(Path(QStringLiteral("short.eth")));
    QCOMPARE(Image(m_form->Records()), config + before.mid(19));

    QByteArray longer = QByteArray(332, '\0') + QByteArray(68, '\x7F');
    longer[0] = 1;
    Store(Path(QStringLiteral("long.eth")), longer);
    Load(Path(QStringLiteral("long.eth")));
    QCOMPARE(Image(m_form->Records()), longer.left(332));

    Store(Path(QStringLiteral("empty.eth")), QByteArray());
    Load(Path(QStringLiteral("empty.eth")));
    QCOMPARE(Image(m_form->Records()), longer.left(332));
    QVERIFY(m_boxes->Boxes().empty());
    QVERIFY(Idle());
  }

  void aSynchronisationHourOutOfRangeLoadsAndReports() {
    QByteArray bytes(332, '\0');
    bytes[326] = 24;
    Store(Path(QStringLiteral("hour.eth")), bytes);
    Load(Path(QStringLiteral("hour.eth")));
    QCOMPARE(Image(m_form->Records()), bytes);
    QCOMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QCOMPARE(m_boxes->Boxes()[0].text, U(kLoadError));
    QCOMPARE(m_boxes->Boxes()[0].icon, QMessageBox::Critical);
    QVERIFY(Idle());
  }

  void aMissingFileGoesToTheApplicationWideHandler() {
    const QByteArray before = Image(m_form->Records());
    const QString file = Path(QStringLiteral("none.eth"));
    m_choice = file;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_form->btnLoadFileClick());
    QVERIFY(Idle());

    Load(file);
    QTRY_COMPARE(m_boxes->Boxes().size(), std::size_t{1});
    QVERIFY(m_boxes->Boxes()[0].text.contains(file));
    QCOMPARE(Image(m_form->Records()), before);
    QVERIFY(Idle());
  }

  void cancellingTheLoadChangesNothing() {
    const QByteArray before = Image(m_form->Records());
    Load(QString());
    QCOMPARE(Image(m_form->Records()), before);
    QVERIFY(m_boxes->Boxes().empty());
    QVERIFY(Idle());
  }
};

}  // namespace ethconf::test

int main(int argc, char** argv) {
  // The application-wide error handler is part of what is tested.
  ethconf::TGuardedApplication app(argc, argv);
  ethconf::test::MainFormFilesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_form_files_test.moc"

// The load and save commands: four device records to and from a ".eth" file.

#include <QFileDialog>
#include <QFileInfo>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "app/editor/config_editor.h"
#include "app/main_form.h"
#include "config/eth_file.h"
#include "config/texts.h"

namespace ethconf {

namespace {

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

// Runs the step and then the ending, whatever the step did; an error of the step goes on after
// the ending, on its way to the application-wide error handler.
template <typename Step, typename Ending>
void ThenAlways(Step&& step, Ending&& ending) {
  std::exception_ptr failure;
  try {
    step();
  } catch (...) {
    failure = std::current_exception();
  }
  ending();
  if (failure)
    std::rethrow_exception(failure);
}

// A file that cannot be opened or created is not reported by the command itself: the error goes
// to the application-wide handler with its cause.
std::runtime_error FileAccessError(const char* what, const QString& path,
                                   const std::string& cause) {
  return std::runtime_error(std::string(what) + " \"" + path.toStdString() + "\".\n" + cause);
}

}  // namespace

void TMainForm::PrepareFileDialog(QFileDialog& dialog) const {
  dialog.setDirectory(AppPath + QString::fromUtf8(texts::kFileFolder) + QLatin1Char('/'));
  dialog.setDefaultSuffix(QString::fromUtf8(kEthFileExtension));
  dialog.setNameFilter(QString::fromUtf8(texts::kFileFilterDescription));
}

void TMainForm::btnLoadFileClick() {
  LockControls();
  ThenAlways(
      [this] {
        QFileDialog dlgOpen1(this);
        PrepareFileDialog(dlgOpen1);
        dlgOpen1.setAcceptMode(QFileDialog::AcceptOpen);
        dlgOpen1.setFileMode(QFileDialog::ExistingFile);
        const QString chosen = FServices.RunFileDialog(dlgOpen1);
        if (chosen.isEmpty())
          return;

        ShowBusyCursor();
        ThenAlways(
            [&] {
              const TFileResult result = LoadEthFile(ToPath(chosen), FRecords);
              if (result.outcome == TFileOutcome::openFailed) {
                throw FileAccessError("Nie można otworzyć pliku", chosen, result.cause);
              }
              if (!result.ok()) {
                ShowError(texts::kFileLoadError);
                return;
              }
              try {
                RecordsToEditor();
              } catch (const std::exception&) {
                ShowError(texts::kFileLoadError);
              }
            },
            [this] {
              RestoreCursor();
              ProcessPendingEvents();
            });
      },
      [this] { UnlockControls(); });
}

void TMainForm::btnSaveFileClick() {
  LockControls();
  ThenAlways(
      [this] {
        // Before the dialog: the records take the editor's values even when the user cancels.
        FEditor->EditorToRecords(FRecords, FSequencer->States());

        QFileDialog dlgSave1(this);
        PrepareFileDialog(dlgSave1);
        dlgSave1.setAcceptMode(QFileDialog::AcceptSave);
        dlgSave1.setFileMode(QFileDialog::AnyFile);
        // The command asks itself, about the name it is going to write.
        dlgSave1.setOption(QFileDialog::DontConfirmOverwrite);
        const QString chosen = FServices.RunFileDialog(dlgSave1);
        if (chosen.isEmpty())
          return;

        const QString target = QString::fromStdString(WithDefaultExtension(chosen.toStdString()));
        if (QFileInfo::exists(target) && !AskQuestion(texts::kFileOverwriteQuestion))
          return;

        ShowBusyCursor();
        ThenAlways(
            [&] {
              const TFileResult result = SaveEthFile(ToPath(target), FRecords);
              if (result.outcome == TFileOutcome::openFailed) {
                throw FileAccessError("Nie można utworzyć pliku", target, result.cause);
              }
              if (!result.ok())
                ShowError(texts::kFileSaveError);
            },
            [this] {
              RestoreCursor();
              ProcessPendingEvents();
            });
      },
      [this] { UnlockControls(); });
}

}  // namespace ethconf

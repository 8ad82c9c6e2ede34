#include "tests/app/read_only_folder.h"

#include <QDir>
#include <QFile>

namespace ethconf::test {

namespace {

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ExeOwner;
constexpr QFile::Permissions kWritable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

bool CanCreateFileIn(const QString& folder) {
  QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
  if (!probe.open(QIODevice::NewOnly))
    return false;
  probe.close();
  probe.remove();
  return true;
}

}  // namespace

TReadOnlyFolder::TReadOnlyFolder(QString path) : m_path(std::move(path)) {
  QFile::setPermissions(m_path, kReadOnly);
  if (CanCreateFileIn(m_path))
    m_immutable = SetFolderImmutable(m_path, true);
}

TReadOnlyFolder::~TReadOnlyFolder() {
  if (m_immutable)
    SetFolderImmutable(m_path, false);
  QFile::setPermissions(m_path, kWritable);
}

bool TReadOnlyFolder::IsReadOnly() const {
  return !CanCreateFileIn(m_path);
}

}  // namespace ethconf::test

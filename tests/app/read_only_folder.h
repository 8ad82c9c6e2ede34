#pragma once
// Makes a folder read-only for the lifetime of the object, for the superuser too where the
// system allows it (the immutable flag on Linux), and restores it afterwards.

#include <QString>

namespace ethconf::test {

class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(QString path);
  ~TReadOnlyFolder();
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

  // False when no file can be kept from being created there (the test then skips).
  bool IsReadOnly() const;

 private:
  QString m_path;
  bool m_immutable = false;
};

// The platform's last resort when permissions do not stop the current user; false when there is
// none or it failed.
bool SetFolderImmutable(const QString& path, bool immutable);

}  // namespace ethconf::test

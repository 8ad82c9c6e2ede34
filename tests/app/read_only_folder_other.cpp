#include "tests/app/read_only_folder.h"

namespace ethconf::test {

bool SetFolderImmutable(const QString&, bool) {
  return false;
}

}  // namespace ethconf::test

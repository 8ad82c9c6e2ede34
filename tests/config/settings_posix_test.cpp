#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "config/settings.h"

namespace ethconf {
namespace {

namespace fs = std::filesystem;

// Sets or clears the immutable flag, which stops even the superuser from adding files.
bool SetImmutable(const fs::path& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0)
    return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return ok;
}

bool CanCreateFileIn(const fs::path& folder) {
  const fs::path probe = folder / "probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0)
    return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

// A settings file in a folder nobody may write to.
class ReadOnlySettingsFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_folder = fs::temp_directory_path() / ("ethconf-settings-ro-" + std::to_string(random()));
    fs::create_directories(m_folder);
    std::ofstream(File()) << "[Main]\nComPort='COM 2'\nDetectCOM=0\n";
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::replace);
    if (CanCreateFileIn(m_folder))
      m_immutable = SetImmutable(m_folder, true);
    if (CanCreateFileIn(m_folder))
      GTEST_SKIP() << "cannot make a folder read-only here";
  }
  void TearDown() override {
    if (m_immutable)
      SetImmutable(m_folder, false);
    std::error_code ignored;
    fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::replace, ignored);
    fs::remove_all(m_folder, ignored);
  }
  fs::path File() const { return m_folder / "ethconf.ini"; }

 private:
  fs::path m_folder;
  bool m_immutable = false;
};

TEST_F(ReadOnlySettingsFolderTest, WriteFailsIsReportedAndThePreviousFileStaysWhole) {
  TIniFileResult result;
  EXPECT_NO_THROW(result = SaveClosingSettings(File(), "COM 5", true));
  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Cause.empty());
  std::ifstream in(File(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "[Main]\nComPort='COM 2'\nDetectCOM=0\n");
}

}  // namespace
}  // namespace ethconf

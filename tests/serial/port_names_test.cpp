// The port map on a fake tree: COM<n> links win, the fixed device names, the unsafe folder.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "serial/port_names.h"

namespace ethconf {
namespace {

namespace fs = std::filesystem;

class PortMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ethconf-portmap-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_root = pattern;
    m_roots.PortFolder = m_root / "run" / "ethconf" / "ports";
    m_roots.DeviceFolder = m_root / "dev";
    fs::create_directories(m_root / "run");
    fs::create_directories(m_roots.DeviceFolder);
  }
  void TearDown() override { fs::remove_all(m_root); }

  void MakeDevice(const std::string& name) { std::ofstream(m_roots.DeviceFolder / name) << ""; }

  fs::path m_root;
  TPortRoots m_roots;
};

TEST_F(PortMapTest, PortFolderIsCreatedPrivate) {
  EXPECT_EQ(PortFolder(m_roots), m_roots.PortFolder);
  struct stat info {};
  ASSERT_EQ(::lstat(m_roots.PortFolder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(info.st_uid, ::geteuid());
  // A second call finds it and accepts it.
  EXPECT_EQ(PortFolder(m_roots), m_roots.PortFolder);
}

TEST_F(PortMapTest, LinkWinsOverTheFixedDevice) {
  MakeDevice("ttyS4");
  MakeDevice("pts7");
  fs::create_symlink(m_roots.DeviceFolder / "pts7", PortFolder(m_roots) / "COM5");
  EXPECT_EQ(DevicePathForPort(5, m_roots), (m_roots.PortFolder / "COM5").string());
  EXPECT_EQ(DevicePathForPort(4, m_roots), (m_roots.DeviceFolder / "ttyS3").string());
  // A link to nothing still names the port: opening it then reports a missing device.
  fs::create_symlink(m_root / "gone", m_roots.PortFolder / "COM40");
  EXPECT_EQ(DevicePathForPort(40, m_roots), (m_roots.PortFolder / "COM40").string());
  // Without the folder the fixed names apply and nothing is created.
  fs::remove_all(m_roots.PortFolder);
  EXPECT_EQ(DevicePathForPort(5, m_roots), (m_roots.DeviceFolder / "ttyS4").string());
  EXPECT_FALSE(fs::exists(m_roots.PortFolder));
}

TEST_F(PortMapTest, UnsafeFolderIsRefused) {
  PortFolder(m_roots);
  for (const mode_t mode : {0770, 0707, 0777}) {
    ASSERT_EQ(::chmod(m_roots.PortFolder.c_str(), mode), 0);
    EXPECT_THROW(PortFolder(m_roots), std::runtime_error) << std::oct << mode;
    EXPECT_THROW(DevicePathForPort(1, m_roots), std::runtime_error) << std::oct << mode;
  }
  ASSERT_EQ(::chmod(m_roots.PortFolder.c_str(), 0700), 0);
  // A link in place of the folder is refused too.
  fs::remove_all(m_roots.PortFolder);
  fs::create_directories(m_root / "elsewhere");
  fs::create_directory_symlink(m_root / "elsewhere", m_roots.PortFolder);
  EXPECT_THROW(PortFolder(m_roots), std::runtime_error);
  if (::geteuid() == 0) {
    fs::remove(m_roots.PortFolder);
    fs::create_directory(m_roots.PortFolder);
    ASSERT_EQ(::chmod(m_roots.PortFolder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(m_roots.PortFolder.c_str(), 65534, 65534), 0);
    EXPECT_THROW(PortFolder(m_roots), std::runtime_error);
  }
}

TEST(PortMap, FixedDeviceNumbers) {
  const struct {
    std::uint16_t Port;
    const char* Device;
  } cases[] = {{1, "ttyS0"},     {32, "ttyS31"},  {33, "ttyUSB0"}, {36, "ttyUSB3"},
               {64, "ttyUSB31"}, {65, "ttyACM0"}, {96, "ttyACM31"}};
  for (const auto& c : cases) {
    EXPECT_EQ(DeviceFileForPort(c.Port), c.Device);
    EXPECT_EQ(PortNumberForDevice(c.Device), c.Port) << c.Device;
    EXPECT_EQ(PortNumberForDevice(std::string("/dev/") + c.Device), c.Port) << c.Device;
  }
  for (const std::uint16_t port : {0, 97, 200, 65535}) {
    EXPECT_EQ(DeviceFileForPort(port), "") << port;
  }
  for (const char* name : {"ttyS32", "ttyUSB32", "ttyACM40", "ttyS01", "ttyS", "ttyUSB-1", "ttyS1x",
                           "tty0", "pts/3", "", "ttyAMA0"}) {
    EXPECT_EQ(PortNumberForDevice(name), 0) << name;
  }
}

TEST(PortMap, LinkNames) {
  EXPECT_EQ(PortNumberForLinkName("COM1"), 1);
  EXPECT_EQ(PortNumberForLinkName("COM97"), 97);
  EXPECT_EQ(PortNumberForLinkName("COM65535"), 65535);
  for (const char* name : {"COM0", "COM01", "COM65536", "COM", "com3", "COM3 ", "COM-3", "XCOM3"}) {
    EXPECT_EQ(PortNumberForLinkName(name), 0) << name;
  }
}

TEST(PortMap, DefaultFolderFollowsTheRuntimeFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved != nullptr ? saved : "";
  ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  EXPECT_EQ(DefaultPortRoots().PortFolder, fs::path("/run/user/4242/ethconf/ports"));
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DefaultPortRoots().PortFolder,
            fs::path("/tmp/ethconf-" + std::to_string(::geteuid()) + "/ports"));
  EXPECT_EQ(DefaultPortRoots().DeviceFolder, fs::path("/dev"));
  if (saved != nullptr) {
    ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  }
}

}  // namespace
}  // namespace ethconf

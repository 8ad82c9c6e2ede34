#include <sys/stat.h>

#include <gtest/gtest.h>

#include "config/eth_file.h"
#include "temp_folder.h"

namespace ethconf {
namespace {

class EthFilePosixTest : public TTempFolderTest {};

TEST_F(EthFilePosixTest, ReadFailureAfterOpeningIsReportedAsSuch) {
  // A folder opens for reading but refuses to be read as a file.
  std::filesystem::create_directory(Folder() / "folder.eth");
  TDeviceRecords records;
  records.FEthConfig.Port = 77;
  const TFileResult result = LoadEthFile(Folder() / "folder.eth", records);
  EXPECT_EQ(result.outcome, TFileOutcome::readFailed);
  EXPECT_FALSE(result.cause.empty());
  EXPECT_EQ(records.FEthConfig.Port, 77);
}

TEST_F(EthFilePosixTest, ReplacedFileKeepsItsAccessRights) {
  const auto path = Folder() / "conf.eth";
  WriteBytes(path, ByteString(10, 1));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(SaveEthFile(path, TDeviceRecords{}).ok());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(EthFilePosixTest, SavingThroughALinkReplacesTheLinkedFile) {
  const auto real = Folder() / "real.eth";
  const auto link = Folder() / "link.eth";
  WriteBytes(real, ByteString(10, 1));
  std::filesystem::create_symlink(real, link);
  TDeviceRecords records;
  records.FEthConfig.Port = 4242;
  ASSERT_TRUE(SaveEthFile(link, records).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(real).size(), kEthFileSize);
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"link.eth", "real.eth"}));
}

}  // namespace
}  // namespace ethconf

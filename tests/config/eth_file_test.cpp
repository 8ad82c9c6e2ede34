#include "config/eth_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/editor_values.h"
#include "temp_folder.h"

namespace ethconf {
namespace {

// Records whose every byte differs from its neighbours, so a misplaced byte shows.
TDeviceRecords PatternRecords(std::uint8_t seed) {
  ByteString bytes(kEthFileSize);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  TDeviceRecords records;
  ApplyEthFileBytes(bytes, records);
  records.FEthPassword.Password.bytes.fill('p');
  records.FEthToken.Token.bytes.fill('t');
  return records;
}

ByteString ImageBytes(const TDeviceRecords& records) {
  const TEthFileImage image = EthFileImage(records);
  return ByteString(image.begin(), image.end());
}

TEST(EthFileImage, InitialEditorContentsGiveTheDefaultFile) {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(TEditorValues{}, records, states);
  const TEthFileImage image = EthFileImage(records);

  const ByteString head = {0x01, 0xC0, 0xA8, 0x6F, 0x6F, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
                           0xA8, 0x6F, 0x01, 0xC0, 0xA8, 0x6F, 0x01, 0xAE, 0x08};
  const ByteString tail = {0x7B, 0x00, 0x0C, 0x00, 0x05, 0x00, 0x00, 0x00};
  EXPECT_EQ(ByteString(image.begin(), image.begin() + 19), head);
  EXPECT_EQ(ByteString(image.begin() + 324, image.end()), tail);
  const TImage<TEthREST> rest = ToImage(records.FEthREST);
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), image.begin() + 19));
  const TImage<TEthNTP> ntp = ToImage(records.FEthNTP);
  EXPECT_TRUE(std::equal(ntp.begin(), ntp.end(), image.begin() + 259));
}

TEST(ApplyEthFileBytes, EachRecordTakesWhatTheBytesStillHold) {
  const TDeviceRecords old = PatternRecords(1);
  const TDeviceRecords file = PatternRecords(100);
  const ByteString full = ImageBytes(file);

  struct TCase {
    std::size_t length;
    bool config, rest, ntp, period;  // replaced whole
  };
  const TCase cases[] = {
      {0, false, false, false, false}, {19, true, false, false, false},
      {259, true, true, false, false}, {328, true, true, true, false},
      {332, true, true, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.length);
    TDeviceRecords records = old;
    ApplyEthFileBytes(ByteView(full).first(c.length), records);
    EXPECT_EQ(records.FEthConfig, c.config ? file.FEthConfig : old.FEthConfig);
    EXPECT_EQ(records.FEthREST, c.rest ? file.FEthREST : old.FEthREST);
    EXPECT_EQ(records.FEthNTP, c.ntp ? file.FEthNTP : old.FEthNTP);
    EXPECT_EQ(records.FEthPeriod, c.period ? file.FEthPeriod : old.FEthPeriod);
    EXPECT_EQ(records.FEthPassword, old.FEthPassword);
    EXPECT_EQ(records.FEthToken, old.FEthToken);
  }
}

TEST(ApplyEthFileBytes, ARecordCutShortKeepsItsLastBytes) {
  const TDeviceRecords old = PatternRecords(1);
  const ByteString full = ImageBytes(PatternRecords(100));
  TDeviceRecords records = old;
  ApplyEthFileBytes(ByteView(full).first(100), records);

  const TImage<TEthREST> rest = ToImage(records.FEthREST);
  const TImage<TEthREST> oldRest = ToImage(old.FEthREST);
  EXPECT_TRUE(std::equal(rest.begin(), rest.begin() + 81, full.begin() + 19));
  EXPECT_TRUE(std::equal(rest.begin() + 81, rest.end(), oldRest.begin() + 81));
  EXPECT_EQ(records.FEthNTP, old.FEthNTP);
}

TEST(WithDefaultExtension, AppendsEthOnlyWhenTheLastComponentHasNoDot) {
  const std::pair<std::string, std::string> cases[] = {
      {"conf", "conf.eth"},
      {"x.d/conf", "x.d/conf.eth"},
      {"C:\\Konfiguracje\\x.d\\conf", "C:\\Konfiguracje\\x.d\\conf.eth"},
      {"x.d\\sub/conf", "x.d\\sub/conf.eth"},
      {"conf.", "conf."},
      {"dir/conf.", "dir/conf."},
      {"conf.eth", "conf.eth"},
      {"conf.bin", "conf.bin"},
      {"dir/.hidden", "dir/.hidden"},
  };
  for (const auto& [typed, saved] : cases) {
    EXPECT_EQ(WithDefaultExtension(typed), saved) << typed;
  }
}

class EthFileTest : public TTempFolderTest {};

TEST_F(EthFileTest, SaveWritesTheImageAndLoadRestoresTheFourRecords) {
  const TDeviceRecords saved = PatternRecords(3);
  const auto path = Folder() / "conf.eth";
  ASSERT_TRUE(SaveEthFile(path, saved).ok());
  EXPECT_EQ(ReadBytes(path), ImageBytes(saved));
  EXPECT_EQ(FolderContents(), std::set<std::string>{"conf.eth"});

  TDeviceRecords loaded;
  const TFileResult result = LoadEthFile(path, loaded);
  ASSERT_TRUE(result.ok()) << result.cause;
  EXPECT_EQ(loaded.FEthConfig, saved.FEthConfig);
  EXPECT_EQ(loaded.FEthREST, saved.FEthREST);
  EXPECT_EQ(loaded.FEthNTP, saved.FEthNTP);
  EXPECT_EQ(loaded.FEthPeriod, saved.FEthPeriod);
  EXPECT_EQ(loaded.FEthPassword, TEthPassword{});
  EXPECT_EQ(loaded.FEthToken, TEthToken{});
}

TEST_F(EthFileTest, SavingTheInitialEditorGivesTheExpected332Bytes) {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(TEditorValues{}, records, states);
  const auto path = Folder() / "initial.eth";
  ASSERT_TRUE(SaveEthFile(path, records).ok());
  const ByteString bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 332u);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(ByteString(bytes.begin() + 324, bytes.end()),
            (ByteString{0x7B, 0x00, 0x0C, 0x00, 0x05, 0x00, 0x00, 0x00}));
}

TEST_F(EthFileTest, SaveReplacesALongerFileWhole) {
  const auto path = Folder() / "conf.eth";
  WriteBytes(path, ByteString(1000, 0xAA));
  ASSERT_TRUE(SaveEthFile(path, PatternRecords(5)).ok());
  EXPECT_EQ(ReadBytes(path), ImageBytes(PatternRecords(5)));
}

TEST_F(EthFileTest, ShortEmptyAndLongFilesLoadWhatTheyHold) {
  const TDeviceRecords old = PatternRecords(1);
  const ByteString file = ImageBytes(PatternRecords(100));
  const auto path = Folder() / "f.eth";

  WriteBytes(path, {});
  TDeviceRecords records = old;
  ASSERT_TRUE(LoadEthFile(path, records).ok());
  EXPECT_EQ(records, old);

  WriteBytes(path, ByteString(file.begin(), file.begin() + 19));
  records = old;
  ASSERT_TRUE(LoadEthFile(path, records).ok());
  EXPECT_EQ(records.FEthConfig, PatternRecords(100).FEthConfig);
  EXPECT_EQ(records.FEthREST, old.FEthREST);
  EXPECT_EQ(records.FEthNTP, old.FEthNTP);
  EXPECT_EQ(records.FEthPeriod, old.FEthPeriod);

  ByteString longer = file;
  longer.resize(400, 0xEE);
  WriteBytes(path, longer);
  records = old;
  ASSERT_TRUE(LoadEthFile(path, records).ok());
  EXPECT_EQ(ImageBytes(records), file);
}

TEST_F(EthFileTest, EmptyFileOverZeroRecordsShowsTheZeroEditor) {
  const auto path = Folder() / "empty.eth";
  WriteBytes(path, {});
  TDeviceRecords records;
  ASSERT_TRUE(LoadEthFile(path, records).ok());
  TEditorValues values;
  RecordsToEditor(records, values);
  EXPECT_TRUE(values.staticIp);
  EXPECT_EQ(values.ip, (TIpv4{0, 0, 0, 0}));
  EXPECT_EQ(values.port, 1);
  EXPECT_EQ(values.addr1, "");
  EXPECT_EQ(values.syncHour, 0);
  EXPECT_EQ(values.dataInterval, 5);
  EXPECT_FALSE(values.restEnabled);
}

TEST_F(EthFileTest, SyncHourOutOfRangeLoadsAllRecordsThenFailsToShow) {
  TDeviceRecords source;
  std::vector<TMachineState> states;
  TEditorValues typed;
  typed.ntpPort = 4123;
  typed.dataInterval = 77;
  EditorToRecords(typed, source, states);
  ByteString bytes = ImageBytes(source);
  bytes[326] = 24;
  const auto path = Folder() / "bad-time.eth";
  WriteBytes(path, bytes);

  TDeviceRecords records;
  ASSERT_TRUE(LoadEthFile(path, records).ok());
  EXPECT_EQ(ImageBytes(records), bytes);
  EXPECT_EQ(records.FEthNTP.SyncHour, 24);
  EXPECT_EQ(records.FEthPeriod.DataInterval, 77);

  TEditorValues values;
  values.ntpPort = 1;
  EXPECT_THROW(RecordsToEditor(records, values), TConversionError);
  EXPECT_EQ(values.ntpPort, 4123);
  EXPECT_EQ(values.dataInterval, TEditorValues{}.dataInterval);
}

TEST_F(EthFileTest, ReadOnlyFileLoads) {
  const auto path = Folder() / "ro.eth";
  WriteBytes(path, ImageBytes(PatternRecords(9)));
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  TDeviceRecords records;
  const TFileResult result = LoadEthFile(path, records);
  ASSERT_TRUE(result.ok()) << result.cause;
  EXPECT_EQ(ImageBytes(records), ImageBytes(PatternRecords(9)));
}

TEST_F(EthFileTest, MissingFileFailsToOpenWithACauseAndChangesNothing) {
  TDeviceRecords records = PatternRecords(2);
  const TFileResult result = LoadEthFile(Folder() / "absent.eth", records);
  EXPECT_EQ(result.outcome, TFileOutcome::openFailed);
  EXPECT_FALSE(result.cause.empty());
  EXPECT_EQ(records, PatternRecords(2));
}

TEST_F(EthFileTest, TypedNameInAFolderWithADotGetsTheExtension) {
  std::filesystem::create_directory(Folder() / "x.d");
  const std::string chosen = (Folder() / "x.d" / "conf").string();
  ASSERT_TRUE(SaveEthFile(WithDefaultExtension(chosen), PatternRecords(4)).ok());
  EXPECT_TRUE(std::filesystem::is_regular_file(Folder() / "x.d" / "conf.eth"));
  EXPECT_FALSE(std::filesystem::exists(Folder() / "x.d" / "conf"));

  const std::string dotted = (Folder() / "x.d" / "named.").string();
  ASSERT_TRUE(SaveEthFile(WithDefaultExtension(dotted), PatternRecords(4)).ok());
  EXPECT_TRUE(std::filesystem::is_regular_file(dotted));
}

TEST_F(EthFileTest, SaveIntoAMissingFolderFailsToCreateWithACause) {
  const TFileResult result = SaveEthFile(Folder() / "missing" / "conf.eth", PatternRecords(1));
  EXPECT_EQ(result.outcome, TFileOutcome::openFailed);
  EXPECT_FALSE(result.cause.empty());
  EXPECT_TRUE(FolderContents().empty());
}

TEST_F(EthFileTest, SaveOverAFolderFailsToCreate) {
  std::filesystem::create_directory(Folder() / "taken.eth");
  const TFileResult result = SaveEthFile(Folder() / "taken.eth", PatternRecords(1));
  EXPECT_EQ(result.outcome, TFileOutcome::openFailed);
  EXPECT_FALSE(result.cause.empty());
  EXPECT_EQ(FolderContents(), std::set<std::string>{"taken.eth"});
}

// Passes everything to the real file except the step chosen to fail: one of the four record
// writes (0 to 3) or the commit (4).
class TFailingFile final : public IReplacementFile {
 public:
  TFailingFile(std::unique_ptr<IReplacementFile> inner, int failingStep)
      : m_inner(std::move(inner)), m_failingStep(failingStep) {}
  bool Write(ByteView bytes, std::string& cause) override {
    if (m_step++ == m_failingStep) {
      cause = "disk full";
      return false;
    }
    return m_inner->Write(bytes, cause);
  }
  bool Commit(std::string& cause) override {
    if (m_step == m_failingStep) {
      cause = "disk full";
      return false;
    }
    return m_inner->Commit(cause);
  }

 private:
  std::unique_ptr<IReplacementFile> m_inner;
  int m_failingStep;
  int m_step = 0;
};

TEST_F(EthFileTest, FailedWriteLeavesThePreviousFileOrNoneAndNoTemporaryFile) {
  const ByteString previous(500, 0x5A);
  for (int failingStep = 0; failingStep <= 4; ++failingStep) {
    SCOPED_TRACE(failingStep);
    const auto factory = [failingStep](const std::filesystem::path& target,
                                       std::string& cause) -> std::unique_ptr<IReplacementFile> {
      auto real = CreateReplacementFile(target, cause);
      return real ? std::make_unique<TFailingFile>(std::move(real), failingStep) : nullptr;
    };

    const auto existing = Folder() / "kept.eth";
    WriteBytes(existing, previous);
    const TFileResult overwrite = SaveEthFile(existing, PatternRecords(6), factory);
    EXPECT_EQ(overwrite.outcome, TFileOutcome::writeFailed);
    EXPECT_EQ(overwrite.cause, "disk full");
    EXPECT_EQ(ReadBytes(existing), previous);

    const TFileResult fresh = SaveEthFile(Folder() / "new.eth", PatternRecords(6), factory);
    EXPECT_EQ(fresh.outcome, TFileOutcome::writeFailed);
    EXPECT_EQ(FolderContents(), std::set<std::string>{"kept.eth"});
  }
}

}  // namespace
}  // namespace ethconf

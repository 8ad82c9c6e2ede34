#include "config/eth_file.h"

#include <algorithm>

namespace ethconf {
namespace {

// Overwrites the record's first bytes with what the file holds from offset on.
template <class R>
std::size_t ApplyRecordBytes(ByteView bytes, std::size_t offset, R& record) {
  const std::size_t available = offset < bytes.size() ? bytes.size() - offset : 0;
  const std::size_t count = std::min(available, R::kSize);
  if (count > 0) {
    TImage<R> image = ToImage(record);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, image.begin());
    FromImage(record, std::span<const std::uint8_t, R::kSize>(image));
  }
  return offset + R::kSize;
}

template <class R>
std::size_t PutImage(const R& record, std::size_t offset, TEthFileImage& image) {
  const TImage<R> part = ToImage(record);
  std::copy(part.begin(), part.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
  return offset + R::kSize;
}

template <class R>
bool WriteImage(IReplacementFile& file, const R& record, std::string& cause) {
  const TImage<R> image = ToImage(record);
  return file.Write(image, cause);
}

}  // namespace

TEthFileImage EthFileImage(const TDeviceRecords& records) {
  TEthFileImage image{};
  std::size_t offset = PutImage(records.FEthConfig, 0, image);
  offset = PutImage(records.FEthREST, offset, image);
  offset = PutImage(records.FEthNTP, offset, image);
  PutImage(records.FEthPeriod, offset, image);
  return image;
}

void ApplyEthFileBytes(ByteView bytes, TDeviceRecords& records) {
  std::size_t offset = ApplyRecordBytes(bytes, 0, records.FEthConfig);
  offset = ApplyRecordBytes(bytes, offset, records.FEthREST);
  offset = ApplyRecordBytes(bytes, offset, records.FEthNTP);
  ApplyRecordBytes(bytes, offset, records.FEthPeriod);
}

std::string WithDefaultExtension(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  const std::string_view name =
      separator == std::string_view::npos ? path : path.substr(separator + 1);
  std::string result(path);
  if (name.find('.') == std::string_view::npos) {
    result += ".";
    result += kEthFileExtension;
  }
  return result;
}

TFileResult LoadEthFile(const std::filesystem::path& path, TDeviceRecords& records) {
  ByteString bytes;
  const TFileResult result = ReadFileHead(path, kEthFileSize, bytes);
  ApplyEthFileBytes(bytes, records);
  return result;
}

TFileResult SaveEthFile(const std::filesystem::path& path, const TDeviceRecords& records,
                        const TReplacementFileFactory& createFile) {
  TFileResult result;
  const std::unique_ptr<IReplacementFile> file = createFile(path, result.cause);
  if (!file) {
    result.outcome = TFileOutcome::openFailed;
    return result;
  }
  const bool written = WriteImage(*file, records.FEthConfig, result.cause) &&
                       WriteImage(*file, records.FEthREST, result.cause) &&
                       WriteImage(*file, records.FEthNTP, result.cause) &&
                       WriteImage(*file, records.FEthPeriod, result.cause) &&
                       file->Commit(result.cause);
  if (!written) {
    result.outcome = TFileOutcome::writeFailed;
  }
  return result;
}

}  // namespace ethconf

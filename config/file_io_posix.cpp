#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "config/file_io.h"

namespace ethconf {
namespace {

std::string ErrnoText(int error) {
  return std::system_category().message(error);
}

// Closes the descriptor on every path out of a scope.
class TFd {
 public:
  explicit TFd(int fd) : m_fd(fd) {}
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd() { Close(); }
  int Get() const { return m_fd; }
  // Returns the error of close(), which is where some file systems report a failed write.
  int Close() {
    int error = 0;
    if (m_fd >= 0 && ::close(m_fd) != 0) {
      error = errno;
    }
    m_fd = -1;
    return error;
  }

 private:
  int m_fd;
};

class TPosixReplacementFile final : public IReplacementFile {
 public:
  TPosixReplacementFile(int fd, std::filesystem::path temp, std::filesystem::path target)
      : m_fd(fd), m_temp(std::move(temp)), m_target(std::move(target)) {}

  ~TPosixReplacementFile() override {
    m_fd.Close();
    if (!m_committed) {
      ::unlink(m_temp.c_str());
    }
  }

  bool Write(ByteView bytes, std::string& cause) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(m_fd.Get(), bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) {
          continue;
        }
        cause = ErrnoText(errno);
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool Commit(std::string& cause) override {
    if (::fsync(m_fd.Get()) != 0) {
      cause = ErrnoText(errno);
      return false;
    }
    if (const int error = m_fd.Close(); error != 0) {
      cause = ErrnoText(error);
      return false;
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
      cause = ErrnoText(errno);
      return false;
    }
    m_committed = true;
    SyncFolder();
    return true;
  }

 private:
  // Makes the rename itself durable. The new file is complete either way, so a failure here is
  // not the save's failure.
  void SyncFolder() const {
    const std::filesystem::path folder =
        m_target.parent_path().empty() ? std::filesystem::path(".") : m_target.parent_path();
    TFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
      ::fsync(dir.Get());
    }
  }

  TFd m_fd;
  std::filesystem::path m_temp;
  std::filesystem::path m_target;
  bool m_committed = false;
};

std::string RandomSuffix() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string suffix;
  auto value = generator();
  for (int i = 0; i < 12; ++i, value >>= 4) {
    suffix += kDigits[value & 0xF];
  }
  return suffix;
}

}  // namespace

TFileResult ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes,
                         ByteString& bytes) {
  bytes.clear();
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    return {TFileOutcome::openFailed, ErrnoText(errno)};
  }
  bytes.resize(maxBytes);
  std::size_t done = 0;
  while (done < maxBytes) {
    const ssize_t n = ::read(fd.Get(), bytes.data() + done, maxBytes - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      bytes.resize(done);
      return {TFileOutcome::readFailed, ErrnoText(error)};
    }
    if (n == 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return {};
}

std::unique_ptr<IReplacementFile> CreateReplacementFile(const std::filesystem::path& target,
                                                        std::string& cause) {
  std::error_code ignored;
  // A link is followed, so the file it points to is replaced rather than the link itself.
  const std::filesystem::path resolved = std::filesystem::is_symlink(target, ignored)
                                             ? std::filesystem::weakly_canonical(target, ignored)
                                             : target;
  if (resolved.filename().empty()) {
    cause = ErrnoText(EISDIR);
    return nullptr;
  }
  struct stat existing {};
  const bool exists = ::stat(resolved.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    cause = ErrnoText(errno);
    return nullptr;
  }
  // Writing in place would fail on these, so replacing must not succeed either.
  if (exists && S_ISDIR(existing.st_mode)) {
    cause = ErrnoText(EISDIR);
    return nullptr;
  }
  if (exists && ::access(resolved.c_str(), W_OK) != 0) {
    cause = ErrnoText(errno);
    return nullptr;
  }

  const std::filesystem::path folder = resolved.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    // Appended piece by piece: GCC 12 at -O3 misreads the chained operator+ as overlapping.
    std::string name = ".";
    name += resolved.filename().string();
    name += '.';
    name += RandomSuffix();
    name += ".tmp";
    const std::filesystem::path temp = folder / name;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) {
        continue;
      }
      cause = ErrnoText(errno);
      return nullptr;
    }
    if (exists) {
      // The replacement keeps the access rights of the file it replaces.
      ::fchmod(fd, existing.st_mode & 07777);
    }
    return std::make_unique<TPosixReplacementFile>(fd, std::move(temp), resolved);
  }
  cause = ErrnoText(EEXIST);
  return nullptr;
}

}  // namespace ethconf

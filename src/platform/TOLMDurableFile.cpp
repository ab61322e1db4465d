#include "platform/TOLMDurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

std::string describeErrno(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

TOLMStatus TOLMDurableFile::writeDurably(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::string temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return TOLMStatus::failure(describeErrno("cannot create a temporary file for", path));

  // Keep the permissions of the file being replaced; new files are private.
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
  ::fchmod(fd, mode);

  const bool written = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    errno = written ? errno : savedErrno;
    const std::string error = describeErrno("cannot write", temporary);
    ::unlink(temporary.c_str());
    return TOLMStatus::failure(error);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string error = describeErrno("cannot replace", path);
    ::unlink(temporary.c_str());
    return TOLMStatus::failure(error);
  }
  // Make the rename itself durable.
  const int dirFd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return TOLMStatus::success();
}

TOLMResult<std::optional<std::vector<std::uint8_t>>> TOLMDurableFile::readFile(const std::string& path) {
  using Result = TOLMResult<std::optional<std::vector<std::uint8_t>>>;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Result::success(std::nullopt);
    return Result::failure(describeErrno("cannot open", path));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Result::failure("not a regular file: " + path);
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  std::uint8_t buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      const std::string error = describeErrno("cannot read", path);
      ::close(fd);
      return Result::failure(error);
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  ::close(fd);
  return Result::success(std::move(bytes));
}

TOLMResult<std::string> TOLMDurableFile::setAside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string target = path + ".unreadable-" + stamp;
  // Never overwrite an earlier copy set aside in the same second.
  for (int n = 2; ::access(target.c_str(), F_OK) == 0; ++n) {
    target = path + ".unreadable-" + stamp + "-" + std::to_string(n);
  }
  if (::rename(path.c_str(), target.c_str()) != 0) {
    return TOLMResult<std::string>::failure(describeErrno("cannot move aside", path));
  }
  return TOLMResult<std::string>::success(target);
}

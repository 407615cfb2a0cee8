#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/exceptions.h"

namespace tolvane {
namespace {

std::string SystemReason(int error) { return std::strerror(error); }

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
  throw EInOutError("Datei " + FullPath(path) + " kann nicht geöffnet werden. " +
                    SystemReason(error));
}

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
  throw EFCreateError("Datei \"" + FullPath(path) +
                      "\" kann nicht erstellt werden. " + SystemReason(error));
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closes now and reports the error of close (write errors of some file
  // systems only show up here).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

std::string DirectoryOf(const std::string& full_path) {
  const size_t slash = full_path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return full_path.substr(0, slash);
}

}  // namespace

bool IsExistingFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  return S_ISREG(info.st_mode);
}

std::string FullPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

std::string ReadFileBytes(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) ThrowOpenError(path, errno);
  FileDescriptor file(fd);
  struct stat info;
  if (::fstat(fd, &info) != 0) ThrowOpenError(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowOpenError(path, EISDIR);

  std::string bytes;
  size_t used = 0;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    bytes.resize(static_cast<size_t>(info.st_size));
  } else {
    bytes.resize(64 * 1024);
  }
  for (;;) {
    if (used == bytes.size()) {
      // The file grew or its size is unknown: read on until end of file.
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t count = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (count < 0) {
      if (errno == EINTR) continue;
      ThrowOpenError(path, errno);
    }
    if (count == 0) break;
    used += static_cast<size_t>(count);
  }
  bytes.resize(used);
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string full_path = FullPath(path);
  const std::string directory = DirectoryOf(full_path);

  struct stat target;
  const bool target_exists = ::stat(full_path.c_str(), &target) == 0;
  if (target_exists && S_ISDIR(target.st_mode)) ThrowCreateError(path, EISDIR);

  std::string temp_path = directory + "/.tolvane-XXXXXX";
  const int fd = ::mkstemp(temp_path.data());
  if (fd < 0) ThrowCreateError(path, errno);
  FileDescriptor file(fd);

  const auto fail = [&](int error) {
    if (file.Get() >= 0) file.Close();
    ::unlink(temp_path.c_str());
    ThrowCreateError(path, error);
  };

  mode_t mode;
  if (target_exists) {
    mode = target.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(errno);
  if (!WriteAll(fd, bytes)) fail(errno);
  if (::fsync(fd) != 0) fail(errno);
  if (file.Close() != 0) fail(errno);
  if (::rename(temp_path.c_str(), full_path.c_str()) != 0) fail(errno);
}

}  // namespace tolvane

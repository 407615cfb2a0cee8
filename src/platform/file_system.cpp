#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "platform/exceptions.h"
#include "platform/large_buffer.h"

namespace tolvane {
namespace {

std::string SystemReason(int error) { return std::strerror(error); }

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
  throw EInOutError("Datei " + FullPath(path) +
                    " kann nicht geöffnet werden. " + SystemReason(error));
}

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
  throw EFCreateError("Datei \"" + FullPath(path) +
                      "\" kann nicht erstellt werden. " + SystemReason(error));
}

// Owns an open file descriptor.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closes now and returns the result of close: some file systems report
  // write errors only there.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reads up to size bytes; returns the count (0 at end of file) or -1.
ssize_t ReadRetrying(int fd, char* buffer, size_t size) {
  ssize_t count;
  do {
    count = ::read(fd, buffer, size);
  } while (count < 0 && errno == EINTR);
  return count;
}

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

// The directory part of a path as given ("." for a bare name), and the name.
std::string DirectoryPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new file with a name that no other file in the directory has,
// with 0666 as requested mode so that the umask and default ACLs apply as for
// a plain create. Returns the descriptor, or -1 with errno set.
int CreateTemporaryFile(const std::string& directory, const std::string& name,
                        std::string& temp_path) {
  static std::atomic<unsigned> counter{0};
  const auto seed = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long long unique =
        (seed + counter.fetch_add(1)) * 0x9E3779B97F4A7C15ULL;
    temp_path = directory + "/." + name.substr(0, 64) + "." +
                std::to_string(::getpid()) + "." +
                std::to_string(unique % 1000000007ULL) + ".tmp";
    const int fd = OpenRetrying(temp_path.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Reads the open file to its end into bytes. A regular file is read into a
// string of its size; whatever follows (a file that grows, or one whose size
// is unknown, like a pipe or a file of /proc) is appended until end of file.
// Returns 0 or the error of a failed read.
int ReadAll(int fd, const struct stat& info, std::string& bytes) {
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    // Room beyond the file for the few bytes that decoding Windows-1252
    // adds and for the parser's padding, so the text grows in place; the
    // room is never written unless used.
    const size_t size = static_cast<size_t>(info.st_size);
    bytes.reserve(size + size / 16 + 64);
    AdviseHugePages(bytes.data(), bytes.capacity());
    bytes.resize(static_cast<size_t>(info.st_size));
  }
  size_t used = 0;
  while (used < bytes.size()) {
    const ssize_t count =
        ReadRetrying(fd, bytes.data() + used, bytes.size() - used);
    if (count < 0) return errno;
    if (count == 0) break;
    used += static_cast<size_t>(count);
  }
  if (used < bytes.size()) {
    bytes.resize(used);  // the file was shortened while we read it
    return 0;
  }
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t count = ReadRetrying(fd, chunk, sizeof chunk);
    if (count < 0) return errno;
    if (count == 0) return 0;
    bytes.append(chunk, static_cast<size_t>(count));
  }
}

// The system calls see a path only up to its first NUL character, which would
// make them act on a different file.
bool IsValidPath(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

bool IsExistingFile(const std::string& path) {
  struct stat info;
  if (!IsValidPath(path) || ::stat(path.c_str(), &info) != 0) return false;
  return S_ISREG(info.st_mode);
}

std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

std::string ReadFileBytes(const std::string& path) {
  if (!IsValidPath(path)) ThrowOpenError(path, ENOENT);
  // Opened without blocking so that a named pipe without a writer cannot hang
  // the run; reads block again afterwards.
  const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) ThrowOpenError(path, errno);
  FileDescriptor file(fd);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    ThrowOpenError(path, errno);
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) ThrowOpenError(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowOpenError(path, EISDIR);

  try {
    std::string bytes;
    const int error = ReadAll(fd, info, bytes);
    if (error != 0) ThrowOpenError(path, error);
    return bytes;
  } catch (const std::bad_alloc&) {
    ThrowOpenError(path, ENOMEM);
  } catch (const std::length_error&) {
    ThrowOpenError(path, ENOMEM);
  }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  TAtomicFile file(path);
  file.Write(bytes);
  file.Commit();
}

TAtomicFile::TAtomicFile(const std::string& APath) : FPath(APath), FTarget(APath) { FError = Open(); }

int TAtomicFile::Open() {
  if (!IsValidPath(FPath)) return ENOENT;
  // An existing target that is a symbolic link is written through: the file
  // it names is replaced and the link stays, as with a plain create.
  struct stat link_info;
  if (::lstat(FPath.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode)) {
    if (char* resolved = ::realpath(FPath.c_str(), nullptr)) {
      FTarget = resolved;
      std::free(resolved);
    }
  }

  struct stat existing;
  const bool exists = ::stat(FTarget.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return EISDIR;
    // A plain create would fail on a file without write permission; renaming
    // over it would silently replace a file its owner protected.
    if (::access(FTarget.c_str(), W_OK) != 0) return errno;
  } else if (FPath.back() == '/') {
    return EISDIR;
  }

  FFd = CreateTemporaryFile(DirectoryPart(FTarget), NamePart(FTarget), FTempPath);
  if (FFd < 0) {
    const int error = errno;
    FTempPath.clear();  // names no file of ours
    return error;
  }
  if (exists && ::fchmod(FFd, existing.st_mode & 0777) != 0) return errno;
  return 0;
}

TAtomicFile::~TAtomicFile() {
  if (FFd >= 0) ::close(FFd);
  if (!FCommitted && !FTempPath.empty()) ::unlink(FTempPath.c_str());
}

void TAtomicFile::Fail(int AError) {
  if (FError == 0) FError = AError;
}

void TAtomicFile::Write(std::string_view ABytes) {
  if (FError == 0 && !WriteAll(FFd, ABytes)) Fail(errno);
}

void TAtomicFile::Commit() {
  if (FError == 0 && ::fsync(FFd) != 0) Fail(errno);
  if (FFd >= 0) {
    // Some file systems report write errors only when the file is closed.
    const int closed = ::close(FFd);
    FFd = -1;
    if (closed != 0) Fail(errno);
  }
  if (FError == 0 && ::rename(FTempPath.c_str(), FTarget.c_str()) != 0) Fail(errno);
  if (FError != 0) ThrowCreateError(FPath, FError);
  FCommitted = true;
}

}  // namespace tolvane

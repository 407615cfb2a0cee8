#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// True when the path names an existing regular file (a symbolic link counts
// when its target is one). Directories, pipes and devices are not files.
bool IsExistingFile(const std::string& path);

// The absolute form of a path, for messages ("/work/x/api.json").
std::string FullPath(const std::string& path);

// Reads the whole file. Fails with EInOutError
// "Datei <full path> kann nicht geöffnet werden. <system reason>".
std::string ReadFileBytes(const std::string& path);

// Writes the bytes to a new temporary file in the target's directory and
// renames it over the target, keeping an existing file's mode. On failure
// nothing is left behind and an existing target is unchanged; the failure is
// EFCreateError 'Datei "<full path>" kann nicht erstellt werden. <reason>'.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same, for bytes that arrive in pieces: each Write goes on to the
// temporary file at once, so a large file is never held in memory. A failure
// is kept, not thrown, and Commit throws it (the first one) where a whole
// write would have failed; otherwise Commit renames the file over the
// target. Without a successful Commit nothing is left behind.
class TAtomicFile {
 public:
  explicit TAtomicFile(const std::string& APath);
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;
  ~TAtomicFile();

  void Write(std::string_view ABytes);
  void Commit();

 private:
  // Checks the target and creates the temporary file: 0 or the failure.
  int Open();
  void Fail(int AError);

  std::string FPath;
  std::string FTarget;
  std::string FTempPath;
  int FFd = -1;
  int FError = 0;
  bool FCommitted = false;
};

}  // namespace tolvane

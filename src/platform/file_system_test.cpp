#include "platform/file_system.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "platform/exceptions.h"

namespace tolvane {
namespace {

using namespace std::string_literals;

const std::string kSkipped = "<skipped>";

// Runs the body in a child process and returns the text it produced. The
// child can give up privileges or lower limits without touching the tests.
std::string RunInChild(const std::function<std::string()>& body) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return "<pipe failed>";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    const std::string result = body();
    const ssize_t written = ::write(pipe_ends[1], result.data(), result.size());
    ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  ::close(pipe_ends[1]);
  std::string result;
  char buffer[4096];
  ssize_t count;
  while ((count = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
    result.append(buffer, static_cast<size_t>(count));
  }
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return result;
}

// Permission checks do not apply to root, so a root test run performs such a
// case as the user "nobody". Returns false when that is not possible.
bool DropRootPrivileges() {
  if (::geteuid() != 0) return true;
  return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// The failure message of a call, or "" when it succeeds.
std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "";
}

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvane-fs-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    // Reachable for the unprivileged child of the permission cases.
    ::chmod(dir_.c_str(), 0755);
    old_umask_ = ::umask(022);
  }
  void TearDown() override {
    ::umask(old_umask_);
    std::system(("chmod -R u+rwx '" + dir_ + "' && rm -rf '" + dir_ + "'").c_str());
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  void Write(const std::string& name, const std::string& bytes,
             mode_t mode = 0644) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    ::chmod(Path(name).c_str(), mode);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  static mode_t Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  }

  // The names in a directory, to prove that no temporary file is left.
  static std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(directory.c_str())) {
      while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
      }
      ::closedir(d);
    }
    return names;
  }

  std::string dir_;
  mode_t old_umask_ = 0;
};

TEST_F(FileSystemTest, IsExistingFileOnlyForRegularFiles) {
  Write("file", "x");
  Write("empty", "");
  ::mkdir(Path("dir").c_str(), 0755);
  ::mkfifo(Path("fifo").c_str(), 0644);
  ::symlink(Path("file").c_str(), Path("link-to-file").c_str());
  ::symlink(Path("dir").c_str(), Path("link-to-dir").c_str());
  ::symlink(Path("missing").c_str(), Path("dangling").c_str());
  const struct {
    std::string path;
    bool expected;
  } cases[] = {
      {Path("file"), true},          {Path("empty"), true},
      {Path("link-to-file"), true},  {Path("dir"), false},
      {Path("fifo"), false},         {Path("link-to-dir"), false},
      {Path("dangling"), false},     {Path("missing"), false},
      {Path("file/x"), false},       {"/dev/null", false},
      {"", false},                   {Path("file") + "\0.bak"s, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsExistingFile(c.path), c.expected) << c.path;
  }
}

TEST_F(FileSystemTest, FullPathIsAbsoluteAndNormal) {
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(FullPath("/a/./b/../c.json"), "/a/c.json");
  EXPECT_EQ(FullPath("api.json"), std::string(cwd) + "/api.json");
  EXPECT_EQ(FullPath("specs/../pet store.json"),
            std::string(cwd) + "/pet store.json");
}

TEST_F(FileSystemTest, ReadsWholeFiles) {
  std::string big;
  for (int i = 0; i < 300000; ++i) big += static_cast<char>(i * 7);
  const std::string cases[] = {"", "a", "a\0b\r\n"s, big};
  for (const std::string& bytes : cases) {
    Write("doc.json", bytes);
    EXPECT_EQ(ReadFileBytes(Path("doc.json")), bytes) << bytes.size();
  }
  // Files whose size is not known up front are read until their end.
  EXPECT_NE(ReadFileBytes("/proc/self/status").find("Name:"), std::string::npos);
}

TEST_F(FileSystemTest, NamedPipeWithoutWriterDoesNotHang) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
  EXPECT_EQ(ReadFileBytes(Path("fifo")), "");
}

TEST_F(FileSystemTest, ReadFailuresNameFullPathAndReason) {
  ::mkdir(Path("dir").c_str(), 0755);
  const struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {Path("missing.json"), "EInOutError: Datei " + Path("missing.json") +
                                 " kann nicht geöffnet werden. No such file "
                                 "or directory"},
      {Path("dir"), "EInOutError: Datei " + Path("dir") +
                        " kann nicht geöffnet werden. Is a directory"},
      {dir_ + "/./dir/../missing.json",
       "EInOutError: Datei " + Path("missing.json") +
           " kann nicht geöffnet werden. No such file or directory"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureOf([&] { ReadFileBytes(c.path); }), c.expected);
  }
}

TEST_F(FileSystemTest, UnreadableFileFailsWithPermissionDenied) {
  Write("secret.json", "{}", 0000);
  const std::string result = RunInChild([&] {
    if (!DropRootPrivileges()) return kSkipped;
    return FailureOf([&] { ReadFileBytes(Path("secret.json")); });
  });
  if (result == kSkipped) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(result, "EInOutError: Datei " + Path("secret.json") +
                        " kann nicht geöffnet werden. Permission denied");
}

TEST_F(FileSystemTest, WriteCreatesFileWithUmaskMode) {
  WriteFileAtomically(Path("unit.pas"), "unit u;\r\n"s);
  EXPECT_EQ(Read(Path("unit.pas")), "unit u;\r\n");
  EXPECT_EQ(Mode(Path("unit.pas")), 0644u);
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"unit.pas"});
}

TEST_F(FileSystemTest, WriteReplacesContentAndKeepsMode) {
  Write("unit.pas", std::string(100000, 'o'), 0640);
  WriteFileAtomically(Path("unit.pas"), "new\0text"s);
  EXPECT_EQ(Read(Path("unit.pas")), "new\0text"s);
  EXPECT_EQ(Mode(Path("unit.pas")), 0640u);
  WriteFileAtomically(Path("unit.pas"), "");
  EXPECT_EQ(Read(Path("unit.pas")), "");
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"unit.pas"});
}

TEST_F(FileSystemTest, WriteThroughSymbolicLinkKeepsTheLink) {
  ::mkdir(Path("real").c_str(), 0755);
  Write("real/unit.pas", "old", 0600);
  ::symlink("real/unit.pas", Path("unit.pas").c_str());
  WriteFileAtomically(Path("unit.pas"), "new");
  struct stat info {};
  ASSERT_EQ(::lstat(Path("unit.pas").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Read(Path("real/unit.pas")), "new");
  EXPECT_EQ(Mode(Path("real/unit.pas")), 0600u);
  EXPECT_EQ(Entries(Path("real")), std::set<std::string>{"unit.pas"});
}

TEST_F(FileSystemTest, WriteFailuresLeaveEverythingAsItWas) {
  Write("unit.pas", "old unit");
  Write("plain", "a file");
  ::mkdir(Path("out.pas").c_str(), 0755);
  const std::set<std::string> before = Entries(dir_);
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {Path("missing/unit.pas"), "No such file or directory"},
      {Path("out.pas"), "Is a directory"},
      {Path("plain/unit.pas"), "Not a directory"},
      {Path("new/"), "Is a directory"},
      // Cut at the NUL, the path would name the existing unit.
      {Path("unit.pas") + "\0.bak"s, "No such file or directory"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureOf([&] { WriteFileAtomically(c.path, "text"); }),
              "EFCreateError: Datei \"" + FullPath(c.path) +
                  "\" kann nicht erstellt werden. " + c.reason);
    EXPECT_EQ(Entries(dir_), before) << c.path;
    EXPECT_TRUE(Entries(Path("out.pas")).empty());
  }
  EXPECT_EQ(Read(Path("unit.pas")), "old unit");
}

TEST_F(FileSystemTest, WriteFailsWithoutPermission) {
  ::mkdir(Path("ro").c_str(), 0755);
  Write("ro/unit.pas", "old unit", 0666);      // writable file, read-only dir
  Write("ro/locked.pas", "locked unit", 0444);  // read-only file
  Write("locked.pas", "locked unit", 0444);     // read-only file, writable dir
  ::chmod(Path("ro").c_str(), 0555);
  ::chmod(dir_.c_str(), 0777);
  const std::string targets[] = {Path("ro/unit.pas"), Path("ro/new.pas"),
                                 Path("ro/locked.pas"), Path("locked.pas")};
  for (const std::string& target : targets) {
    const std::string result = RunInChild([&] {
      if (!DropRootPrivileges()) return kSkipped;
      return FailureOf([&] { WriteFileAtomically(target, "new text"); });
    });
    if (result == kSkipped) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result, "EFCreateError: Datei \"" + target +
                          "\" kann nicht erstellt werden. Permission denied");
  }
  EXPECT_EQ(Read(Path("ro/unit.pas")), "old unit");
  EXPECT_EQ(Read(Path("ro/locked.pas")), "locked unit");
  EXPECT_EQ(Read(Path("locked.pas")), "locked unit");
  EXPECT_EQ(Entries(Path("ro")),
            (std::set<std::string>{"unit.pas", "locked.pas"}));
  EXPECT_EQ(Entries(dir_), (std::set<std::string>{"ro", "locked.pas"}));
}

TEST_F(FileSystemTest, FailedWriteMidwayRemovesTheTemporaryFile) {
  Write("unit.pas", "old unit");
  const std::string result = RunInChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    // The failure of the second piece is kept until Commit.
    return FailureOf([&] {
      TAtomicFile file(Path("unit.pas"));
      for (int piece = 0; piece < 3; ++piece) file.Write(std::string(600, 'x'));
      file.Commit();
    });
  });
  EXPECT_EQ(result, "EFCreateError: Datei \"" + Path("unit.pas") +
                        "\" kann nicht erstellt werden. File too large");
  EXPECT_EQ(Read(Path("unit.pas")), "old unit");
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"unit.pas"});
}

TEST_F(FileSystemTest, PiecesReplaceTheTargetOnlyOnCommit) {
  Write("unit.pas", "old unit");
  {
    TAtomicFile dropped(Path("unit.pas"));
    dropped.Write("never ");
    dropped.Write("committed");
  }
  EXPECT_EQ(Read(Path("unit.pas")), "old unit");
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"unit.pas"});
  TAtomicFile file(Path("unit.pas"));
  file.Write("unit ");
  file.Write("");
  file.Write("u;");
  EXPECT_EQ(Read(Path("unit.pas")), "old unit");
  file.Commit();
  EXPECT_EQ(Read(Path("unit.pas")), "unit u;");
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"unit.pas"});
}

}  // namespace
}  // namespace tolvane

#pragma once

// The one way tests run the real tolvane binary: what it printed, its exit
// status and its peak memory, with a time limit after which it is killed.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "peak_memory.h"

extern char** environ;

namespace tolvane::testing {

struct BinaryRun {
  bool finished = false;  // false when the time limit killed it
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
  long max_rss_kb = 0;
};

inline std::string ReadAll(int AFd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t count = ::read(AFd, buffer, sizeof buffer);
    if (count <= 0) break;
    text.append(buffer, static_cast<size_t>(count));
  }
  return text;
}

// Runs TOLVANE_BINARY with AArgs in the working directory ADirectory; kills
// it after ASeconds.
inline BinaryRun RunTolvane(const std::vector<std::string>& AArgs, const std::string& ADirectory = ".",
                            int ASeconds = 600) {
  int out_pipe[2];
  int err_pipe[2];
  if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) std::abort();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, ADirectory.c_str());
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
  posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
  std::vector<std::string> args = {TOLVANE_BINARY};
  args.insert(args.end(), AArgs.begin(), AArgs.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, TOLVANE_BINARY, &actions, nullptr, argv.data(), environ) != 0) std::abort();
  posix_spawn_file_actions_destroy(&actions);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);

  BinaryRun run;
  PeakMemorySampler memory(pid, "tolvane");
  std::atomic<bool> done{false};
  std::atomic<bool> killed{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(ASeconds);
    while (!done && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!done) {
      killed = true;
      ::kill(pid, SIGKILL);
    }
  });
  std::thread err_reader([&] { run.err = ReadAll(err_pipe[0]); });
  run.out = ReadAll(out_pipe[0]);
  err_reader.join();
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int wait_status = 0;
  struct rusage usage {};
  ::wait4(pid, &wait_status, 0, &usage);
  done = true;
  watchdog.join();
  run.finished = !killed;
  if (run.finished && WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  run.max_rss_kb = memory.Stop();
  return run;
}

}  // namespace tolvane::testing

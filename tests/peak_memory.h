#pragma once

// Peak resident memory of a child process, read from the kernel's high-water
// mark of its own address space (VmHWM in /proc/<pid>/status) while it runs.
// The rusage that wait4 reports is not used for this: when a child replaces
// its image by exec, the kernel folds the high-water mark of the address space
// it had before (the test process's, shared or copied) into the figure, so a
// test process that once used much memory would be charged to the child.

#include <sys/types.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace tolvane::testing {

// Memory figures of a build with AddressSanitizer (shadow memory, quarantine)
// say nothing about the program's own use; tests check them only without it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

class PeakMemorySampler {
 public:
  // AProgramName is the name the process carries after exec; samples taken
  // before the exec (still the test's image) are ignored.
  PeakMemorySampler(pid_t APid, std::string AProgramName)
      : pid_(APid), name_(std::move(AProgramName)), thread_([this] { Run(); }) {}
  ~PeakMemorySampler() { Stop(); }

  // Ends sampling (call once the child has exited) and returns the highest
  // VmHWM seen, in KiB; 0 when no sample of the program could be taken.
  long Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return peak_kb_;
  }

 private:
  void Run() {
    const std::string path = "/proc/" + std::to_string(pid_) + "/status";
    while (!stop_) {
      std::ifstream status(path);
      std::string line;
      bool is_program = false;
      while (std::getline(status, line)) {
        if (line.rfind("Name:", 0) == 0) {
          const size_t start = line.find_first_not_of(" \t", 5);
          is_program = start != std::string::npos && line.compare(start, std::string::npos, name_) == 0;
        } else if (is_program && line.rfind("VmHWM:", 0) == 0) {
          peak_kb_ = std::max(peak_kb_, std::stol(line.substr(6)));
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  pid_t pid_;
  std::string name_;
  std::atomic<bool> stop_{false};
  long peak_kb_ = 0;
  std::thread thread_;
};

}  // namespace tolvane::testing

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

}  // namespace tolvane

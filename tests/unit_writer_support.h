#pragma once

// Helpers for tests of the unit writer: a temporary folder, reading a unit
// back as lines, and masking the time stamp of its header.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tolvane::testing {

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes out of scope.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-unit-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The lines of a unit's bytes, split at CR LF. The bytes must end with CR LF;
// otherwise the last element is "<no final CR LF>" so that comparisons fail.
inline std::vector<std::string> SplitUnitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      lines.push_back("<no final CR LF>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The header's second line with its date and time replaced by a fixed mask,
// once it has been checked to have the "yyyy-mm-dd hh:nn:ss" shape.
inline std::vector<std::string> MaskTimeStamp(std::vector<std::string> lines) {
  static const std::string kPrefix = "  Created by Tolvane v1.3 ";
  if (lines.size() < 2 || lines[1].rfind(kPrefix, 0) != 0) return lines;
  const std::string stamp = lines[1].substr(kPrefix.size());
  bool shaped = stamp.size() == 19;
  for (size_t i = 0; shaped && i < stamp.size(); ++i) {
    const char c = stamp[i];
    if (i == 4 || i == 7) {
      shaped = c == '-';
    } else if (i == 10) {
      shaped = c == ' ';
    } else if (i == 13 || i == 16) {
      shaped = c == ':';
    } else {
      shaped = c >= '0' && c <= '9';
    }
  }
  if (shaped) lines[1] = kPrefix + "<time>";
  return lines;
}

inline std::vector<std::string> ReadUnitLines(const std::string& path) {
  return MaskTimeStamp(SplitUnitLines(ReadBytes(path)));
}

// The 17 lines of a unit without any class or client section, named after
// AUnitName; the time stamp masked.
inline std::vector<std::string> EmptyUnitLines(const std::string& AUnitName) {
  return {"(*", "  Created by Tolvane v1.3 <time>", "*)", "", "unit " + AUnitName + ";", "",
          "interface", "", "uses", "  System.JSON;", "", "type", "", "implementation", "", "",
          "end."};
}

// The unit that converting the Pet document with the class filter Pet
// writes (Pet: category, name, tags), the time stamp masked as "<time>".
inline std::vector<std::string> PetWithClassFilterUnit() {
  return {
      "(*",
      "  Created by Tolvane v1.3 <time>",
      "*)",
      "",
      "unit petstore;",
      "",
      "interface",
      "",
      "uses",
      "  System.JSON;",
      "",
      "type",
      "",
      "  TPet = class",
      "  private",
      "    Fcategory : TCategory;",
      "    Fname : string;",
      "    Ftags : TArray<TTag>;",
      "  public",
      "    destructor Destroy; override;",
      "    property category : TCategory read Fcategory write Fcategory;",
      "    property &name : string read Fname write Fname;",
      "    property tags : TArray<TTag> read Ftags write Ftags;",
      "  end;",
      "",
      "implementation",
      "",
      "",
      "{ TPet }",
      "",
      "destructor TPet.Destroy;",
      "var",
      "  T : TObject;",
      "begin",
      "  if Assigned(Fcategory) then",
      "    Fcategory.Free;",
      "  for T in Ftags do",
      "    T.Free;",
      "  inherited;",
      "end;",
      "",
      "end.",
  };
}

}  // namespace tolvane::testing

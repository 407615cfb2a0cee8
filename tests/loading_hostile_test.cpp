// Inputs meant to break the loader: each must give one failure line or load.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "loading_support.h"
#include "platform/exceptions.h"
#include "swagger/convert_swagger.h"
#include "unit_writer_support.h"

namespace tolvane::testing {
namespace {

std::string Example() { return ReadBytes(std::string(TOLVANE_SOURCE_DIR) + "/examples/petstore.json"); }

std::string DocumentWithDescription(const std::string& ADescription) {
  return R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}, "definitions": {"D": {"description": ")" +
         ADescription + "\"}}}";
}

// The outcome of loading in process: "<loaded>" or the failure line.
std::string Load(const std::string& AText) {
  try {
    LoadSwaggerText(AText);
  } catch (const Exception& failure) {
    return std::string(failure.ClassName()) + ": " + failure.Message();
  }
  return "<loaded>";
}

std::string LoadedDescription(const std::string& ABytes) {
  TempFolder folder;
  WriteBytes(folder.File("doc.json"), ABytes);
  return std::string(LoadSwagger(folder.File("doc.json"))->Fdefinitions->FItems[0]->Fdescription);
}

TEST(LoadingHostileTest, TruncatedDocumentsFailWithOneLine) {
  const std::string example = Example();
  for (size_t length = 0; length < example.size() - 2; length += 7) {
    const std::string outcome = Load(example.substr(0, length));
    EXPECT_EQ(outcome.rfind("EJSONException: ", 0), 0u) << length << ": " << outcome;
  }
  TempFolder folder;
  WriteBytes(folder.File("cut.json"), example.substr(0, example.size() / 2));
  const BinaryRun run = RunTolvane({"cut.json"}, folder.Path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "Reading cut.json\n");
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
}

TEST(LoadingHostileTest, DeepNestingFails) {
  TempFolder folder;
  const std::string prefix = R"({"swagger": "2.0", "x": )";
  const struct {
    std::string name;
    std::string text;
    std::string line;
  } cases[] = {
      {"arrays.json", prefix + std::string(100000, '[') + std::string(100000, ']') + "}",
       "EJSONException: Nesting deeper than 512 levels (line 1, column 536)"},
      {"objects.json", [&] {
         std::string text = prefix;
         for (int i = 0; i < 100000; ++i) text += "{\"a\":";
         return text + "1" + std::string(100000, '}') + "}";
       }(),
       "EJSONException: Nesting deeper than 512 levels (line 1, column 2580)"},
  };
  for (const auto& c : cases) {
    WriteBytes(folder.File(c.name), c.text);
    const BinaryRun run = RunTolvane({c.name}, folder.Path());
    EXPECT_EQ(run.out, "Reading " + c.name + "\n" + c.line + "\n");
    EXPECT_EQ(run.status, 1);
  }
}

TEST(LoadingHostileTest, InvalidUtf8AndUtf16Decode) {
  // After a UTF-8 byte order mark, invalid sequences become U+FFFD.
  EXPECT_EQ(LoadedDescription("\xEF\xBB\xBF" + DocumentWithDescription("\xE2\x82" "A\xED\xA0\x80\xFF")),
            "\xEF\xBF\xBD" "A\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  // Without one, every byte is a Windows-1252 character.
  EXPECT_EQ(LoadedDescription(DocumentWithDescription("\x80\xFF\x81")), "\xE2\x82\xAC\xC3\xBF\xC2\x81");

  const auto utf16 = [](const std::u16string& AText, bool ABigEndian, bool AOddByte) {
    std::string bytes = ABigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : AText) {
      const char high = static_cast<char>(unit >> 8);
      const char low = static_cast<char>(unit & 0xFF);
      bytes += ABigEndian ? std::string{high, low} : std::string{low, high};
    }
    if (AOddByte) bytes += 'x';
    return bytes;
  };
  std::u16string text;
  for (const char c : DocumentWithDescription("a#b")) text += static_cast<char16_t>(c);
  text[text.find(u'#')] = 0xD800;  // an unpaired high surrogate
  for (const bool big_endian : {false, true}) {
    EXPECT_EQ(LoadedDescription(utf16(text, big_endian, false)), "a\xEF\xBF\xBD" "b");
    TempFolder folder;
    WriteBytes(folder.File("odd.json"), utf16(text, big_endian, true));
    const BinaryRun run = RunTolvane({"odd.json"}, folder.Path());
    EXPECT_EQ(run.out,
              "Reading odd.json\nEJSONException: The document root must not be followed by other "
              "values (line 1, column 105)\n");
    EXPECT_EQ(run.status, 1);
  }
}

TEST(LoadingHostileTest, NulBytes) {
  using namespace std::string_literals;
  EXPECT_EQ(LoadedDescription(DocumentWithDescription("a\\u0000b")), "a\0b"s);
  EXPECT_EQ(Load(DocumentWithDescription("a\0b"s)),
            "EJSONException: Missing a closing quotation mark in string (line 1, column 99)");
  EXPECT_EQ(Load(DocumentWithDescription("ab") + "\0{}"s),
            "EJSONException: The document root must not be followed by other values (line 1, column 104)");
}

TEST(LoadingHostileTest, RandomlyDamagedDocumentsLoadOrFail) {
  const std::string example = Example();
  std::mt19937 random(20240611);
  const char kBytes[] = "{}[]\":,0-e.tfn\\u\x00\xFF\xC3 ";
  for (int round = 0; round < 300; ++round) {
    std::string text = example;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      text[random() % text.size()] = kBytes[random() % (sizeof kBytes - 1)];
    }
    const std::string outcome = Load(text);
    EXPECT_EQ(outcome.find('\n'), std::string::npos);
  }
}

TEST(LoadingHostileTest, LongStringLoadsInLittleMemory) {
  TempFolder folder;
  const std::string path = folder.File("long.json");
  constexpr size_t kChunk = 1 << 20;
  constexpr size_t kChunks = 200;
  {
    std::ofstream out(path, std::ios::binary);
    out << R"({"swagger": "2.0", "info": {"title": "long", "description": ")";
    const std::string chunk(kChunk, 'a');
    for (size_t i = 0; i < kChunks; ++i) out << chunk;
    out << R"("}, "paths": {}, "securityDefinitions": {}, "definitions": {}})";
  }
  const auto size = std::filesystem::file_size(path);
  const BinaryRun run = RunTolvane({"long.json"}, folder.Path());
  EXPECT_EQ(run.status, 0) << run.out;
  if (!kSanitizedBuild) {
    EXPECT_GT(run.max_rss_kb, 0);
    EXPECT_LT(static_cast<double>(run.max_rss_kb) * 1024, 4.0 * static_cast<double>(size));
  }
}

}  // namespace
}  // namespace tolvane::testing

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMDate.h"

// The fuzzer's seed archives were written by an earlier build: they must keep
// reading, and writing what they hold must give the same bytes, or files
// already on users' disks would stop loading.
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

fs::path corpusFolder() { return fs::path(VEKKARO_SOURCE_DIR) / "fuzz" / "corpus" / "archive"; }

Bytes contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TOLMArchiveObject decodeFile(const std::string& name) {
  const auto result = TOLMUnarchiver::unarchiveObjectWithData(contents(corpusFolder() / name));
  EXPECT_TRUE(result.ok()) << name << ": " << result.error();
  return result.ok() ? result.value() : TOLMArchiveObject();
}

TEST(ArchiveCorpus, StoredArchivesStillReadAndWriteTheSameBytes) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(corpusFolder())) {
    SCOPED_TRACE(entry.path().filename().string());
    const Bytes bytes = contents(entry.path());
    const auto result = TOLMUnarchiver::unarchiveObjectWithData(bytes);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(TOLMArchiver::archivedDataWithRootObject(result.value()), bytes);
    ++files;
  }
  EXPECT_GT(files, 0) << "no archives in " << corpusFolder();
}

TEST(ArchiveCorpus, StoredArchivesHoldWhatWasWritten) {
  const auto date = decodeFile("date.vkar").recordAs<TOLMDate>();
  ASSERT_TRUE(date);
  EXPECT_EQ(date->convertToString(), "07/04/2005 9:05:00");

  const auto calendar = decodeFile("calendar.vkar").dictionaryValue();
  ASSERT_TRUE(calendar);
  const auto day = (*(*(*calendar)["2005"].dictionaryValue())["7"].dictionaryValue())["4"].dictionaryValue();
  ASSERT_TRUE(day);
  EXPECT_EQ(*(*day)["misc"].stringValue(), "notes");
  const auto entry = (*(*day)["times"].listValue())[0].dictionaryValue();
  EXPECT_EQ(*(*entry)["time"].stringValue(), "7:00:00");
  EXPECT_EQ((*entry)["beep"].boolValue(), false);

  const TOLMArchiveObject colourObject = decodeFile("colour.vkar");
  const TOLMColor* colour = colourObject.colorValue();
  ASSERT_TRUE(colour);
  EXPECT_EQ(*colour, (TOLMColor{0.0, 0.0, 1.0, 0.5}));
}

}  // namespace

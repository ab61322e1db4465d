#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "platform/TOLMArchiveFile.h"

namespace {

using Object = TOLMArchiveObject;
using Bytes = std::vector<std::uint8_t>;

class ArchiveFile : public ::testing::Test {
 protected:
  std::string pathOf(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

  static Bytes contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static void write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(dir_.path().toStdString().c_str());
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
  }

  static Object alarmsLike(const std::string& name) {
    return Object::list({Object::dictionary({{"name", Object::string(name)}, {"on", Object::boolean(true)}}),
                         Object::color({0, 0, 1, 0.5})});
  }

  QTemporaryDir dir_;
};

TEST_F(ArchiveFile, AMissingFileReadsAsNone) {
  for (const auto& path : {pathOf("alarms"), pathOf("no-such-folder/alarms")}) {
    const auto result = TOLMArchiveFile::unarchiveObjectWithFile(path);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_TRUE(result.value().isNone());
  }
}

TEST_F(ArchiveFile, WritingReplacesTheFileAndLeavesNothingElseBehind) {
  const std::string path = pathOf("alarms");
  ASSERT_TRUE(TOLMArchiveFile::archiveRootObject_toFile(alarmsLike("first"), path).ok());
  const auto status = TOLMArchiveFile::archiveRootObject_toFile(alarmsLike("second"), path);
  ASSERT_TRUE(status.ok()) << status.error();

  const auto result = TOLMArchiveFile::unarchiveObjectWithFile(path);
  ASSERT_TRUE(result.ok()) << result.error();
  EXPECT_TRUE(result.value().isEqual(alarmsLike("second")));
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"alarms"});
}

TEST_F(ArchiveFile, AFileThatCannotBeDecodedIsAnErrorAndIsLeftAsItWas) {
  const Bytes valid = TOLMArchiver::archivedDataWithRootObject(alarmsLike("kept"));
  const struct {
    const char* label;
    Bytes bytes;
    const char* error;
  } cases[] = {
      {"empty file", {}, "archive is empty"},
      {"foreign bytes", {'<', '?', 'x', 'm', 'l'}, "not a Vekkaro archive"},
      {"cut short", Bytes(valid.begin(), valid.end() - 3), "archive truncated"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = pathOf("calendar");
    write(path, c.bytes);
    ::chmod(path.c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    const auto result = TOLMArchiveFile::unarchiveObjectWithFile(path);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(path), std::string::npos) << result.error();
    EXPECT_NE(result.error().find(c.error), std::string::npos) << result.error();

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(contents(path), c.bytes);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  }
}

TEST_F(ArchiveFile, AnUnreadablePathIsAnErrorNamingIt) {
  const std::string folder = pathOf("event");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  auto result = TOLMArchiveFile::unarchiveObjectWithFile(folder);
  ASSERT_FALSE(result.ok());
  EXPECT_NE(result.error().find(folder), std::string::npos) << result.error();

  if (::geteuid() != 0) {  // permissions do not stop root
    const std::string locked = pathOf("locked");
    ASSERT_TRUE(TOLMArchiveFile::archiveRootObject_toFile(Object::null(), locked).ok());
    ::chmod(locked.c_str(), 0);
    result = TOLMArchiveFile::unarchiveObjectWithFile(locked);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(locked), std::string::npos) << result.error();
  }
}

// Limits the size of files this process may write, so a write fails part way
// through even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(ArchiveFile, AFailedWriteLeavesTheOldFileIntact) {
  const std::string path = pathOf("alarms");
  ASSERT_TRUE(TOLMArchiveFile::archiveRootObject_toFile(alarmsLike("old"), path).ok());
  const Bytes old = contents(path);

  Object tooDeep = Object::list(TOLMArchiveList{});
  for (int i = 0; i < 250; ++i) tooDeep = Object::list({tooDeep});
  {
    const auto status = TOLMArchiveFile::archiveRootObject_toFile(tooDeep, path);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find(path), std::string::npos) << status.error();
  }
  {
    const FileSizeLimit limit(old.size() + 8);
    const auto status =
        TOLMArchiveFile::archiveRootObject_toFile(Object::string(std::string(100000, 'x')), path);
    EXPECT_FALSE(status.ok());
  }
  {
    const auto status = TOLMArchiveFile::archiveRootObject_toFile(alarmsLike("new"), pathOf("gone/alarms"));
    EXPECT_FALSE(status.ok());
  }

  EXPECT_EQ(contents(path), old);
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"alarms"});
  const auto result = TOLMArchiveFile::unarchiveObjectWithFile(path);
  ASSERT_TRUE(result.ok()) << result.error();
  EXPECT_TRUE(result.value().isEqual(alarmsLike("old")));
}

}  // namespace

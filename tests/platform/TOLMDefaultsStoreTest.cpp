#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"
#include "support/TOLMTemporaryHome.h"

namespace {

using Value = TOLMDefaultsStore::Value;
using Data = TOLMDefaultsStore::Data;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void writeAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string plist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n" +
         body + "\n</plist>\n";
}

class DefaultsStoreTest : public ::testing::Test {
 protected:
  std::string path() const { return folder.path().toStdString() + "/Vekkaro.plist"; }

  QTemporaryDir folder;
  TOLMNotificationCenter center;
  TOLMVirtualRunLoop loop{center, 1'700'000'000.0};
};

TEST_F(DefaultsStoreTest, EveryKindOfValueSurvivesTheFile) {
  Data allBytes;
  for (int b = 0; b < 256; ++b) allBytes.push_back(static_cast<std::uint8_t>(b));
  const std::vector<std::pair<std::string, Value>> entries = {
      {"written_to", true},
      {"off", false},
      {"preference_version", 3.0},
      {"dockImageOpacity", static_cast<double>(0.6f)},
      {"tenth", 0.1},
      {"negative zero", -0.0},
      {"huge", 1e300},
      {"tiny", 5e-324},
      {"infinite", -std::numeric_limits<double>::infinity()},
      {"empty text", std::string()},
      {"markup", std::string("<key>&amp;</key> \"quoted\" 'single' ]]>")},
      {"non-ASCII", std::string("Grüße, ☃ and 😀")},
      {"  spaces kept  ", std::string("  leading and trailing  ")},
      {"line ends", std::string("one\ntwo\r\nthree\rfour\tfive")},
      {"a<b&c=\"d\"", std::string("awkward key")},
      {"empty data", Data{}},
      {"every byte", allBytes},
  };
  {
    TOLMDefaultsStore store(path(), nullptr);
    for (const auto& [key, value] : entries) store.setObject(key, value);
    ASSERT_TRUE(store.synchronize());
  }
  TOLMDefaultsStore reread(path(), nullptr);
  ASSERT_TRUE(reread.load());
  std::vector<std::string> keys;
  for (const auto& [key, value] : entries) {
    SCOPED_TRACE(key);
    keys.push_back(key);
    const auto stored = reread.objectForKey(key);
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(*stored == value);
    if (const auto* number = std::get_if<double>(&value)) {
      EXPECT_EQ(std::signbit(std::get<double>(*stored)), std::signbit(*number));
    }
  }
  EXPECT_EQ(reread.allKeys(), keys);
}

TEST_F(DefaultsStoreTest, KeysKeepTheOrderTheyWereFirstWritten) {
  TOLMDefaultsStore store(path(), nullptr);
  store.setBool("c", true);
  store.setFloat("a", 1);
  store.setString("b", "x");
  store.setFloat("c", 2);  // rewriting keeps the place
  store.removeObjectForKey("a");
  store.setFloat("a", 3);  // removed and written again: last
  EXPECT_EQ(store.allKeys(), (std::vector<std::string>{"c", "b", "a"}));
  ASSERT_TRUE(store.synchronize());

  const std::string text = readAll(path());
  EXPECT_LT(text.find("<key>c</key>"), text.find("<key>b</key>"));
  EXPECT_LT(text.find("<key>b</key>"), text.find("<key>a</key>"));
  TOLMDefaultsStore reread(path(), nullptr);
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(reread.allKeys(), store.allKeys());
}

TEST_F(DefaultsStoreTest, ChangesAreWrittenOnceAtTheNextPass) {
  TOLMDefaultsStore store(path(), &loop);
  for (int i = 0; i < 5; ++i) store.setFloat("key" + std::to_string(i), i);
  EXPECT_EQ(loop.scheduledTimerCount(), 1u) << "one write for all the changes";
  EXPECT_FALSE(exists(path())) << "not inside the setter";

  loop.runPending();
  TOLMDefaultsStore reread(path(), nullptr);
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(reread.allKeys().size(), 5u);

  // Nothing more to write: no second write happens, and writing a value the
  // store already holds is no change.
  ASSERT_EQ(::unlink(path().c_str()), 0);
  store.setFloat("key3", 3);
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
  loop.advance(10);
  EXPECT_FALSE(exists(path()));
}

TEST_F(DefaultsStoreTest, SynchronizeWritesAtOnceAndClosingWritesWhatIsPending) {
  {
    TOLMDefaultsStore store(path(), &loop);
    store.setString("timeFont", "Times-Bold");
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(loop.scheduledTimerCount(), 0u) << "the pending write is no longer needed";
    EXPECT_NE(readAll(path()).find("Times-Bold"), std::string::npos);
    store.setString("clockShape", "Oval");  // the program quits before the next pass
  }
  TOLMDefaultsStore reread(path(), nullptr);
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(reread.stringForKey("clockShape"), "Oval");
}

TEST_F(DefaultsStoreTest, StandardPathIsUnderHomeAndItsFolderIsMadeWhenMissing) {
  TOLMTemporaryHome home;
  const std::string expected = home.path() + "/Library/Preferences/Vekkaro.plist";
  ASSERT_EQ(TOLMDefaultsStore::standardPath(), expected);
  TOLMDefaultsStore store(TOLMDefaultsStore::standardPath(), nullptr);
  EXPECT_TRUE(store.load()) << "a missing file is an empty store";
  EXPECT_TRUE(store.allKeys().empty());
  store.setBool("written_to", true);
  ASSERT_TRUE(store.synchronize());
  EXPECT_TRUE(exists(expected));
}

struct ConversionCase {
  const char* label;
  std::optional<Value> stored;
  bool asBool;
  double asFloat;
  int asInteger;
};

TEST_F(DefaultsStoreTest, AccessorsConvertNumbers) {
  const std::vector<ConversionCase> cases = {
      {"missing", std::nullopt, false, 0.0, 0},
      {"true", true, true, 1.0, 1},
      {"false", false, false, 0.0, 0},
      {"a check box written as 1.0", 1.0, true, 1.0, 1},
      {"0.0", 0.0, false, 0.0, 0},
      {"whole number stored as a float", 7.0, true, 7.0, 7},
      {"truncated, not rounded", 7.9, true, 7.9, 7},
      {"negative truncates toward zero", -7.9, true, -7.9, -7},
      {"beyond int saturates", 1e20, true, 1e20, INT_MAX},
      {"text is not a number", std::string("5"), false, 0.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TOLMDefaultsStore store(path(), nullptr);
    if (c.stored) store.setObject("k", *c.stored);
    EXPECT_EQ(store.boolForKey("k"), c.asBool);
    EXPECT_EQ(store.floatForKey("k"), c.asFloat);
    EXPECT_EQ(store.integerForKey("k"), c.asInteger);
  }
  TOLMDefaultsStore store(path(), nullptr);
  store.setFloat("nan", std::nan(""));
  EXPECT_EQ(store.integerForKey("nan"), 0);
  store.setString("text", "Oval");
  store.setData("data", Data{1, 2});
  EXPECT_EQ(store.stringForKey("text"), "Oval");
  EXPECT_EQ(store.stringForKey("data"), std::nullopt);
  EXPECT_EQ(store.dataForKey("data"), (Data{1, 2}));
  EXPECT_EQ(store.dataForKey("text"), std::nullopt);
  EXPECT_EQ(store.stringForKey("missing"), std::nullopt);
}

TEST_F(DefaultsStoreTest, RefusesTextTheFileCannotHoldAndKeepsWriting) {
  TOLMDefaultsStore store(path(), nullptr);
  store.setString("good", "kept");
  store.setString("bell", std::string("ring\x07"));
  store.setString("nul", std::string("a\0b", 3));
  store.setString("broken UTF-8", "\xff\xfe");
  store.setString(std::string("key\x01"), "value");
  store.setString("good", "still\x1b");  // the old value stays
  EXPECT_EQ(store.allKeys(), std::vector<std::string>{"good"});
  EXPECT_EQ(store.stringForKey("good"), "kept");
  ASSERT_TRUE(store.synchronize());
  TOLMDefaultsStore reread(path(), nullptr);
  EXPECT_TRUE(reread.load());
}

TEST_F(DefaultsStoreTest, ReadsTheFormsOfAHandWrittenFile) {
  writeAll(path(), plist("<dict>\n"
                         "  <key>snoozeTime</key> <integer>5</integer>\n"
                         "  <key>negative</key> <integer>-12</integer>\n"
                         "  <key>exponent</key> <real>2.5e3</real>\n"
                         "  <key>plus</key> <real>+infinity</real>\n"
                         "  <key>off</key> <false/>\n"
                         "  <key>on</key> <true></true>\n"
                         "  <key>entity</key> <string>&lt;&#233;&#x263A;&gt;</string>\n"
                         "  <key>wrapped</key> <data>\n  AAEC\n  /w==\n  </data>\n"
                         "</dict>"));
  TOLMDefaultsStore store(path(), nullptr);
  ASSERT_TRUE(store.load());
  EXPECT_EQ(store.integerForKey("snoozeTime"), 5);
  EXPECT_EQ(store.floatForKey("negative"), -12.0);
  EXPECT_EQ(store.floatForKey("exponent"), 2500.0);
  EXPECT_EQ(store.floatForKey("plus"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(store.hasKey("off"));
  EXPECT_FALSE(store.boolForKey("off"));
  EXPECT_TRUE(store.boolForKey("on"));
  EXPECT_EQ(store.stringForKey("entity"), "<é☺>");
  EXPECT_EQ(store.dataForKey("wrapped"), (Data{0, 1, 2, 255}));
  EXPECT_EQ(store.allKeys().front(), "snoozeTime");
}

struct BrokenCase {
  const char* label;
  std::string bytes;
};

TEST_F(DefaultsStoreTest, UnusableFileIsSetAsideAndTheStoreStartsEmpty) {
  const std::vector<BrokenCase> cases = {
      {"empty file", ""},
      {"not XML", "written_to = 1\n"},
      {"cut short", plist("<dict><key>written_to</key><true/>").substr(0, 150)},
      {"root is an array", plist("<array><string>x</string></array>")},
      {"not a property list", "<?xml version=\"1.0\"?><html><body/></html>"},
      {"a kind of value the store does not keep", plist("<dict><key>list</key><array/></dict>")},
      {"a number that is not one", plist("<dict><key>snoozeTime</key><real>five</real></dict>")},
      {"bad base64", plist("<dict><key>color</key><data>!!!</data></dict>")},
      {"a key without a value", plist("<dict><key>lonely</key></dict>")},
      {"garbage after the end", plist("<dict/>") + "<dict/>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    QTemporaryDir own;
    const std::string file = own.path().toStdString() + "/Vekkaro.plist";
    writeAll(file, c.bytes);

    TOLMDefaultsStore store(file, nullptr);
    const TOLMStatus status = store.load();
    ASSERT_FALSE(status);
    EXPECT_TRUE(store.allKeys().empty());
    EXPECT_FALSE(exists(file));
    const auto aside = QDir(own.path()).entryList({"Vekkaro.plist.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    const std::string asidePath = own.path().toStdString() + "/" + aside.front().toStdString();
    EXPECT_NE(status.error().find(asidePath), std::string::npos) << status.error();
    EXPECT_EQ(readAll(asidePath), c.bytes) << "kept exactly as found";

    // The store goes on working, and never touches the set-aside copy.
    store.setBool("written_to", true);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(readAll(asidePath), c.bytes);
    TOLMDefaultsStore reread(file, nullptr);
    EXPECT_TRUE(reread.load());
    EXPECT_TRUE(reread.boolForKey("written_to"));
  }
}

TEST_F(DefaultsStoreTest, FileThatCannotBeMovedAsideIsNeverOverwritten) {
  // A name with no room left for the set-aside suffix makes the move fail.
  const std::string file = folder.path().toStdString() + "/" + std::string(230, 'p') + ".plist";
  writeAll(file, "not a property list");
  TOLMDefaultsStore store(file, nullptr);
  const TOLMStatus status = store.load();
  ASSERT_FALSE(status);
  EXPECT_NE(status.error().find("left untouched"), std::string::npos) << status.error();
  EXPECT_TRUE(store.allKeys().empty());

  store.setBool("written_to", true);
  EXPECT_FALSE(store.synchronize());
  EXPECT_EQ(readAll(file), "not a property list");

  // Once the user has moved it away, saving works again.
  ASSERT_EQ(::unlink(file.c_str()), 0);
  EXPECT_TRUE(store.synchronize());
  EXPECT_TRUE(exists(file));
}

}  // namespace

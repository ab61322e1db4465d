#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "archive/TOLMArchiveTestBytes.h"
#include "archive/TOLMArchiveTestRecords.h"

namespace {

using Object = TOLMArchiveObject;
using namespace archive_bytes;


Bytes nested(std::size_t levels) {
  Bytes bytes = kHeader;
  for (std::size_t i = 0; i < levels; ++i) {
    bytes.push_back(0x06);
    const Bytes count = le64(1);
    bytes.insert(bytes.end(), count.begin(), count.end());
  }
  bytes.push_back(0x00);
  return bytes;
}

// An archive holding every kind, a record among them.
Bytes richArchive() {
  return TOLMArchiver::archivedDataWithRootObject(Object::list({
      Object(),
      Object::null(),
      Object::boolean(true),
      Object::integer(-7),
      Object::floating(2.5),
      Object::string("snooze"),
      Object::dictionary({{"beep", Object::boolean(true)}, {"time", Object::string("7:00:00")}}),
      Object::color({1, 0, 0, 1}),
      Object::image({4, 4, {0x89, 'P', 'N', 'G'}}),
      Object::record(TOLMMakeTestRecord()),
  }));
}

class Unarchiver : public ::testing::Test {
 protected:
  void SetUp() override { TOLMRegisterTestRecords(); }
};

TEST_F(Unarchiver, MalformedInputIsAnErrorThatSaysWhy) {
  const struct {
    const char* label;
    Bytes bytes;
    const char* error;
  } cases[] = {
      {"empty", {}, "archive is empty"},
      {"foreign file", text("PK\x03\x04 not an archive"), "not a Vekkaro archive"},
      {"typed stream of another platform", text("\x04\x0bstreamtyped"), "not a Vekkaro archive"},
      {"header cut short", text("VKA"), "archive truncated at byte 3"},
      {"header only", kHeader, "archive truncated at byte 5"},
      {"newer format", {'V', 'K', 'A', 'R', 0x02, 0x00}, "unsupported archive format version 2"},
      {"unknown tag", concat({kHeader, {0x7f}}), "unknown object tag 0x7f at byte 5"},
      {"boolean neither 0 nor 1", concat({kHeader, {0x02, 0x02}}), "invalid boolean value 2 at byte 6"},
      {"plain value as root", concat({kHeader, {0x0b, 1, 'i', 0, 0, 0, 0}}), "a plain value at byte 5"},
      {"end mark as root", concat({kHeader, {0x0c}}), "a record ends at byte 5"},
      {"trailing bytes", concat({kHeader, {0x01, 0x00}}), "trailing bytes after the root object at byte 6"},
      {"huge list count", concat({kHeader, {0x06}, le64(UINT64_MAX)}), "a list at byte 6 claims"},
      {"list count one past the input", concat({kHeader, {0x06}, le64(3), {0, 0}}), "claims 3 entries"},
      {"huge string length", concat({kHeader, {0x05}, le64(UINT64_MAX), text("abc")}), "a string at byte 6"},
      {"huge dictionary count", concat({kHeader, {0x07}, le64(1ull << 62), le64(0)}), "a dictionary at byte 6"},
      {"huge image data", concat({kHeader, {0x09}, le64(0), le64(0), le64(UINT64_MAX - 7)}), "image data"},
      {"huge class name", concat({kHeader, {0x0a}, le64(UINT64_MAX)}), "a class name"},
      {"duplicate key",
       concat({kHeader, {0x07}, le64(2), le64(1), {'a'}, {0x00}, le64(1), {'a'}, {0x01}}),
       "duplicate dictionary key \"a\" at byte 24"},
      {"unknown class", concat({kHeader, {0x0a}, le64(11), text("NoSuchClass"), {0x0c}}),
       "unknown class \"NoSuchClass\" at byte 5"},
      {"unprintable class name", concat({kHeader, {0x0a}, le64(3), {'A', '\n', 0xff}, {0x0c}}),
       "unknown class \"A\\x0a\\xff\""},
      {"100000 levels deep", nested(100000), "archive nested deeper than 200 levels at byte 1805"},
      {"201 levels deep", nested(201), "nested deeper than 200 levels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto result = TOLMUnarchiver::unarchiveObjectWithData(c.bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(c.error), std::string::npos) << result.error();
  }
  EXPECT_TRUE(TOLMUnarchiver::unarchiveObjectWithData(nested(200)).ok()) << "200 levels are allowed";
}

TEST_F(Unarchiver, EveryTruncationOfAValidArchiveFails) {
  const Bytes full = richArchive();
  ASSERT_TRUE(TOLMUnarchiver::unarchiveObjectWithData(full).ok());
  for (std::size_t length = 1; length < full.size(); ++length) {
    // Exactly sized copies so that ASan sees any read past the end.
    const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    const auto result = TOLMUnarchiver::unarchiveObjectWithData(prefix);
    ASSERT_FALSE(result.ok()) << "prefix of " << length << " bytes";
    EXPECT_NE(result.error().find("archive truncated at byte " + std::to_string(length)), std::string::npos)
        << result.error();
  }
}

TEST_F(Unarchiver, FlippedBytesNeverBreakTheDecoder) {
  const Bytes full = richArchive();
  int rejected = 0;
  for (std::size_t i = 0; i < full.size(); ++i) {
    for (const std::uint8_t mask : {0x01, 0x10, 0x80, 0xff}) {
      Bytes damaged = full;
      damaged[i] ^= mask;
      const auto result = TOLMUnarchiver::unarchiveObjectWithData(damaged);
      if (!result.ok()) {
        EXPECT_FALSE(result.error().empty());
        ++rejected;
        continue;
      }
      // A flip that still decodes (inside a number or a text) must give a
      // graph that writes and reads back as itself.
      const auto again = TOLMUnarchiver::unarchiveObjectWithData(
          TOLMArchiver::archivedDataWithRootObject(result.value()));
      ASSERT_TRUE(again.ok()) << "byte " << i << ": " << again.error();
      EXPECT_TRUE(again.value().isEqual(result.value())) << "byte " << i;
    }
  }
  EXPECT_GT(rejected, 0);
}

// A record that writes an integer and a string, read back by factories that
// make the mistakes a record class could make.
class TOLMProbeRecord : public TOLMCoding {
 public:
  explicit TOLMProbeRecord(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }
  void encodeWithCoder(TOLMArchiver& coder) const override {
    const std::int32_t number = 42;
    coder.encodeValueOfObjCType("i", &number);
    coder.encodeObject(Object::string("x"));
  }

 private:
  std::string name_;
};

TEST_F(Unarchiver, ARecordMustReadExactlyWhatItWrote) {
  using Factory = TOLMClassRegistry::Factory;
  const struct {
    const char* name;
    Factory factory;
    const char* error;
  } cases[] = {
      {"ProbeReadsByte",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int8_t b = 0;
         c.decodeValueOfObjCType("c", &b);
         c.decodeObject();
         return std::make_shared<TOLMProbeRecord>("ProbeReadsByte");
       },
       "type mismatch at byte 37: the archive holds \"i\" where \"c\" is read"},
      {"ProbeReadsArray",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t a[6] = {};
         c.decodeValueOfObjCType("[6i]", a);
         return std::make_shared<TOLMProbeRecord>("ProbeReadsArray");
       },
       "the archive holds \"i\" where \"[6i]\" is read"},
      {"ProbeReadsObjectFirst",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         c.decodeObject();
         return std::make_shared<TOLMProbeRecord>("ProbeReadsObjectFirst");
       },
       "a plain value at byte 44 where an object is read"},
      {"ProbeReadsValueForObject",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t n = 0;
         c.decodeValueOfObjCType("i", &n);
         c.decodeValueOfObjCType("i", &n);
         return std::make_shared<TOLMProbeRecord>("ProbeReadsValueForObject");
       },
       "an object at byte 54 where a value of type \"i\" is read"},
      {"ProbeReadsTooLittle",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t n = 0;
         c.decodeValueOfObjCType("i", &n);
         return std::make_shared<TOLMProbeRecord>("ProbeReadsTooLittle");
       },
       "holds more values than it reads"},
      {"ProbeReadsTooMuch",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t n = 0;
         c.decodeValueOfObjCType("i", &n);
         c.decodeObject();
         c.decodeObject();
         return std::make_shared<TOLMProbeRecord>("ProbeReadsTooMuch");
       },
       "a record ends at byte"},
      {"ProbeGivesNothing",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t n = 0;
         c.decodeValueOfObjCType("i", &n);
         c.decodeObject();
         return nullptr;
       },
       "class \"ProbeGivesNothing\" at byte 14 could not be read"},
      {"ProbeGivesOtherClass",
       [](TOLMUnarchiver& c) -> std::shared_ptr<TOLMCoding> {
         std::int32_t n = 0;
         c.decodeValueOfObjCType("i", &n);
         c.decodeObject();
         return std::make_shared<TOLMProbeRecord>("SomethingElse");
       },
       "reads back as \"SomethingElse\""},
      {"ProbeThrows",
       [](TOLMUnarchiver&) -> std::shared_ptr<TOLMCoding> { throw std::runtime_error("bug in a record"); },
       "bug in a record"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TOLMClassRegistry::shared().registerClass(c.name, c.factory);
    // Inside a list, so the error stops the whole read, not just the record.
    const Bytes bytes = TOLMArchiver::archivedDataWithRootObject(
        Object::list({Object::record(std::make_shared<TOLMProbeRecord>(c.name))}));
    const auto result = TOLMUnarchiver::unarchiveObjectWithData(bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(c.error), std::string::npos) << result.error();
  }
}

TEST_F(Unarchiver, AFactoryReadingAfterAFailureGetsZerosAndNone) {
  struct Seen {
    std::int8_t flag = 0x55;
    std::int32_t number = 0x55555555;
    std::int32_t week[7] = {9, 9, 9, 9, 9, 9, 9};
    Object name = Object::string("stale");
    bool valueReadOk = true;
    bool failedInside = false;
  };
  static Seen seen;
  seen = Seen();
  TOLMClassRegistry::shared().registerClass("TOLMTestRecord", [](TOLMUnarchiver& c) {
    seen.valueReadOk = c.decodeValueOfObjCType("c", &seen.flag) && seen.valueReadOk;
    seen.valueReadOk = c.decodeValueOfObjCType("i", &seen.number) && seen.valueReadOk;
    seen.valueReadOk = c.decodeValueOfObjCType("[7i]", seen.week) && seen.valueReadOk;
    seen.name = c.decodeObject();
    c.decodeObject();
    seen.failedInside = c.failed();
    return std::shared_ptr<TOLMCoding>();
  });

  Bytes bytes = TOLMArchiver::archivedDataWithRootObject(Object::record(TOLMMakeTestRecord()));
  // The first value's type code "c" becomes "b".
  const Bytes code = {0x0b, 1, 'c'};
  const auto at = std::search(bytes.begin(), bytes.end(), code.begin(), code.end());
  ASSERT_NE(at, bytes.end());
  at[2] = 'b';

  const auto result = TOLMUnarchiver::unarchiveObjectWithData(bytes);
  TOLMRegisterTestRecords();
  ASSERT_FALSE(result.ok());
  EXPECT_NE(result.error().find("holds \"b\" where \"c\" is read"), std::string::npos) << result.error();
  EXPECT_TRUE(seen.failedInside);
  EXPECT_FALSE(seen.valueReadOk);
  EXPECT_EQ(seen.flag, 0);
  EXPECT_EQ(seen.number, 0);
  for (const std::int32_t day : seen.week) EXPECT_EQ(day, 0);
  EXPECT_TRUE(seen.name.isNone());
}

TEST(UnarchiverValues, UnsupportedTypeCodesFailAndTouchNothingOutside) {
  const Bytes bytes = TOLMArchiver::archivedDataWithRootObject(Object());
  for (const char* type : {"", "q", "[0i]", "[07i]", "[6]", "[6i", "[6i]x", "ii", "[99999999999i]"}) {
    SCOPED_TRACE(type);
    TOLMUnarchiver coder(bytes.data(), bytes.size());
    std::int32_t guard[2] = {7, 7};
    EXPECT_FALSE(coder.decodeValueOfObjCType(type, guard));
    EXPECT_TRUE(coder.failed());
    EXPECT_NE(coder.error().find("unsupported type code"), std::string::npos) << coder.error();
    EXPECT_EQ(guard[0], 7);
    EXPECT_EQ(guard[1], 7);
  }
}

}  // namespace

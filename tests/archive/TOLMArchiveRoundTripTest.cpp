#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "archive/TOLMArchiveTestBytes.h"
#include "archive/TOLMArchiveTestRecords.h"
#include "dates/TOLMDate.h"

namespace {

using Object = TOLMArchiveObject;
using namespace archive_bytes;

Object roundTrip(const Object& object) {
  const Bytes bytes = TOLMArchiver::archivedDataWithRootObject(object);
  auto decoded = TOLMUnarchiver::unarchiveObjectWithData(bytes);
  EXPECT_TRUE(decoded.ok()) << decoded.error();
  return decoded.ok() ? decoded.value() : Object();
}


class ArchiveRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { TOLMRegisterTestRecords(); }
};

TEST_F(ArchiveRoundTrip, EveryKindComesBackEqualAndOfItsKind) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* label;
    Object object;
  } cases[] = {
      {"none", Object()},
      {"null", Object::null()},
      {"true", Object::boolean(true)},
      {"false", Object::boolean(false)},
      {"integer min", Object::integer(std::numeric_limits<std::int64_t>::min())},
      {"integer max", Object::integer(std::numeric_limits<std::int64_t>::max())},
      {"integer -1", Object::integer(-1)},
      {"float -0.0", Object::floating(-0.0)},
      {"float NaN", Object::floating(nan)},
      {"float -inf", Object::floating(-inf)},
      {"float denormal", Object::floating(std::numeric_limits<double>::denorm_min())},
      {"float 0.1", Object::floating(0.1)},
      {"empty string", Object::string("")},
      {"string with NUL and non-UTF-8 path bytes", Object::string(std::string("a\0b/\xe9t\xff", 7))},
      {"UTF-8 string", Object::string("Grüße, 東京 🕰")},
      {"empty list", Object::list(TOLMArchiveList{})},
      {"empty dictionary", Object::dictionary(TOLMArchiveDictionary{})},
      {"colour", Object::color({0.25, 0.5, 0.75, 0.99})},
      {"colour with NaN", Object::color({nan, 0, 1, 1})},
      {"blank image", Object::image({})},
      {"image", Object::image({64.0, 32.5, {0x89, 'P', 'N', 'G', 0x00, 0xff}})},
      {"record", Object::record(TOLMMakeTestRecord())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Object back = roundTrip(c.object);
    EXPECT_EQ(back.kind(), c.object.kind());
    EXPECT_TRUE(back.isEqual(c.object));
  }
  // The sign of zero survives, which plain equality would not show.
  EXPECT_TRUE(std::signbit(*roundTrip(Object::floating(-0.0)).floatValue()));
}

TEST_F(ArchiveRoundTrip, NoneNullBooleanIntegerAndFloatStayDistinct) {
  const Object list = Object::list({Object(), Object::null(), Object::boolean(true), Object::integer(1),
                                    Object::floating(1.0), Object::string("1")});
  const auto back = roundTrip(list).listValue();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), 6u);
  const auto& v = *back;
  EXPECT_TRUE(v[0].isNone());
  EXPECT_TRUE(v[1].isNull());
  EXPECT_EQ(v[2].boolValue(), true);
  EXPECT_FALSE(v[2].integerValue().has_value());
  EXPECT_EQ(v[3].integerValue(), 1);
  EXPECT_FALSE(v[3].boolValue().has_value());
  EXPECT_FALSE(v[3].floatValue().has_value());
  EXPECT_EQ(v[4].floatValue(), 1.0);
  EXPECT_FALSE(v[4].integerValue().has_value());
  for (std::size_t i = 0; i < v.size(); ++i) {
    for (std::size_t j = 0; j < v.size(); ++j) EXPECT_EQ(v[i].isEqual(v[j]), i == j) << i << " vs " << j;
  }
}

TEST_F(ArchiveRoundTrip, NestedTreeIsADeepCopyOfNewMutableObjects) {
  // The calendar's shape: year -> month -> day -> times -> entry.
  auto entry = std::make_shared<TOLMArchiveDictionary>(TOLMArchiveDictionary{
      {"time", Object::string("7:00:00")},
      {"message", Object::string("Message")},
      {"showMessage", Object::boolean(true)},
      {"beep", Object::boolean(false)}});
  auto times = std::make_shared<TOLMArchiveList>(TOLMArchiveList{Object::dictionary(entry)});
  auto day = std::make_shared<TOLMArchiveDictionary>(
      TOLMArchiveDictionary{{"times", Object::list(times)}, {"misc", Object::string("notes")}});
  const Object root = Object::dictionary(
      {{"2005", Object::dictionary({{"7", Object::dictionary({{"4", Object::dictionary(day)}})}})}});

  const Object copy = roundTrip(root);
  ASSERT_TRUE(copy.isEqual(root));
  const auto copiedDay = (*(*(*copy.dictionaryValue())["2005"].dictionaryValue())["7"].dictionaryValue())["4"]
                             .dictionaryValue();
  ASSERT_TRUE(copiedDay);
  EXPECT_NE(copiedDay, day);
  const auto copiedTimes = (*copiedDay)["times"].listValue();
  ASSERT_TRUE(copiedTimes);
  EXPECT_NE(copiedTimes, times);
  EXPECT_NE((*copiedTimes)[0].dictionaryValue(), entry);

  // Changing the copy leaves the original alone.
  (*copiedDay)["misc"] = Object::string("changed");
  copiedTimes->push_back(Object::null());
  (*(*copiedTimes)[0].dictionaryValue())["beep"] = Object::boolean(true);
  EXPECT_EQ(*(*day)["misc"].stringValue(), "notes");
  EXPECT_EQ(times->size(), 1u);
  EXPECT_EQ((*entry)["beep"].boolValue(), false);
  EXPECT_FALSE(copy.isEqual(root));
}

TEST_F(ArchiveRoundTrip, RecordsComeBackAsNewObjectsOfTheClassWritten) {
  auto plain = TOLMMakeTestRecord();
  auto special = std::make_shared<TOLMTestRecord_Special>();
  special->number = 42;
  special->name = Object::null();
  const Object list = Object::list({Object::record(plain), Object::record(special)});

  const auto back = roundTrip(list).listValue();
  ASSERT_TRUE(back && back->size() == 2);
  const auto first = (*back)[0].recordAs<TOLMTestRecord>();
  ASSERT_TRUE(first);
  EXPECT_NE(first, plain);
  EXPECT_EQ(first->className(), "TOLMTestRecord");
  EXPECT_EQ(first->flag, plain->flag);
  EXPECT_EQ(first->number, plain->number);
  EXPECT_EQ(first->week, plain->week);
  EXPECT_TRUE(first->name.isEqual(plain->name));
  EXPECT_TRUE(first->items.isEqual(plain->items));
  EXPECT_NE(first->items.listValue(), plain->items.listValue());

  EXPECT_TRUE((*back)[1].recordAs<TOLMTestRecord_Special>());
  EXPECT_EQ((*back)[1].recordAs<TOLMTestRecord>()->number, 42);
  EXPECT_TRUE((*back)[1].recordAs<TOLMTestRecord>()->name.isNull());
}

TEST_F(ArchiveRoundTrip, DatesAreRegisteredByTheirClassName) {
  const std::int32_t fields[6] = {2005, 7, 4, 9, 5, 0};
  auto date = std::make_shared<TOLMDate>(TOLMDate::initWithIntArray(fields));
  const auto back = roundTrip(Object::record(date)).recordAs<TOLMDate>();
  ASSERT_TRUE(back);
  EXPECT_NE(back, date);
  EXPECT_TRUE(back->isEqualTo(*date));
  EXPECT_EQ(back->dayOfWeek(), date->dayOfWeek());
}

TEST(ArchiveEncoding, PlainObjectsHaveTheDocumentedLittleEndianLayout) {
  const Object object = Object::list({
      Object(),
      Object::null(),
      Object::boolean(true),
      Object::integer(-2),
      Object::floating(1.5),
      Object::string("h\xc3\xa9"),
      Object::dictionary({{"k", Object::boolean(false)}}),
      Object::color({0.0, 0.5, 1.0, 1.0}),
      Object::image({2.0, 1.0, {0x89, 0x50}}),
  });
  const Bytes expected = concat({
      kHeader,
      {0x06}, le64(9),
      {0x00},
      {0x01},
      {0x02, 0x01},
      {0x03, 0xfe, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
      {0x04, 0, 0, 0, 0, 0, 0, 0xf8, 0x3f},
      {0x05}, le64(3), {'h', 0xc3, 0xa9},
      {0x07}, le64(1), le64(1), {'k'}, {0x02, 0x00},
      {0x08}, le64(0), {0, 0, 0, 0, 0, 0, 0xe0, 0x3f}, {0, 0, 0, 0, 0, 0, 0xf0, 0x3f},
      {0, 0, 0, 0, 0, 0, 0xf0, 0x3f},
      {0x09}, {0, 0, 0, 0, 0, 0, 0, 0x40}, {0, 0, 0, 0, 0, 0, 0xf0, 0x3f}, le64(2), {0x89, 0x50},
  });
  EXPECT_EQ(TOLMArchiver::archivedDataWithRootObject(object), expected);
}

TEST(ArchiveEncoding, RecordsWriteClassNameTypedValuesAndAnEndMark) {
  auto record = std::make_shared<TOLMTestRecord>();
  record->flag = 1;
  record->number = 0x01020304;
  record->week = {1, 2, 3, 4, 5, 6, -1};
  record->name = Object::string("x");
  const Bytes expected = concat({
      kHeader,
      {0x0a}, le64(14), text("TOLMTestRecord"),
      {0x0b, 1, 'c', 0x01},
      {0x0b, 1, 'i', 0x04, 0x03, 0x02, 0x01},
      {0x0b, 4, '[', '7', 'i', ']'},
      {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 0xff, 0xff, 0xff, 0xff},
      {0x05}, le64(1), {'x'},
      {0x00},
      {0x0c},
  });
  EXPECT_EQ(TOLMArchiver::archivedDataWithRootObject(Object::record(record)), expected);
}

// A record with a bug of its own must not produce bytes that replace a
// readable file with an unreadable one.
class TOLMBadTypeRecord : public TOLMCoding {
 public:
  std::string className() const override { return "TOLMBadTypeRecord"; }
  void encodeWithCoder(TOLMArchiver& coder) const override {
    const std::int64_t wide = 1;
    coder.encodeValueOfObjCType("q", &wide);
  }
};

TEST(ArchiveEncoding, GraphsThatCannotBeReadBackFailToEncode) {
  Object deep = Object::list(TOLMArchiveList{});
  for (int i = 1; i < 200; ++i) deep = Object::list({deep});
  EXPECT_FALSE(TOLMArchiver::archivedDataWithRootObject(deep).empty()) << "200 levels are allowed";

  auto selfContaining = std::make_shared<TOLMArchiveList>();
  selfContaining->push_back(Object::list(selfContaining));

  const struct {
    const char* label;
    Object object;
    const char* error;
  } cases[] = {
      {"201 levels", Object::list({deep}), "nested deeper than 200 levels"},
      {"a list containing itself", Object::list(selfContaining), "nested deeper than 200 levels"},
      {"unknown type code", Object::record(std::make_shared<TOLMBadTypeRecord>()), "unsupported type code \"q\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TOLMArchiver archiver;
    archiver.encodeObject(c.object);
    EXPECT_TRUE(archiver.failed());
    EXPECT_NE(archiver.error().find(c.error), std::string::npos) << archiver.error();
    EXPECT_TRUE(TOLMArchiver::archivedDataWithRootObject(c.object).empty());
  }
  selfContaining->clear();  // break the cycle so it is freed
}

TEST_F(ArchiveRoundTrip, IsEqualComparesContentsAndRecordsByTheirValues) {
  auto a = TOLMMakeTestRecord();
  auto b = TOLMMakeTestRecord();
  auto c = TOLMMakeTestRecord();
  c->week[6] = 0;
  auto special = std::make_shared<TOLMTestRecord_Special>();
  static_cast<TOLMTestRecord&>(*special) = *a;

  EXPECT_TRUE(Object::record(a).isEqual(Object::record(b)));
  EXPECT_FALSE(Object::record(a).isEqual(Object::record(c)));
  EXPECT_FALSE(Object::record(a).isEqual(Object::record(special))) << "same values, other class";

  EXPECT_TRUE(Object::floating(std::nan("")).isEqual(Object::floating(std::nan(""))));
  EXPECT_FALSE(Object::list({Object::integer(1)}).isEqual(Object::list({Object::integer(1), Object()})));
  EXPECT_FALSE(Object::dictionary({{"a", Object()}}).isEqual(Object::dictionary({{"b", Object()}})));
  EXPECT_FALSE(Object::dictionary({{"a", Object()}}).isEqual(Object::dictionary({{"a", Object::null()}})));
  EXPECT_FALSE(Object::image({1, 1, {1}}).isEqual(Object::image({1, 1, {2}})));

  // A null pointer never makes a list, dictionary or record that holds nothing.
  EXPECT_TRUE(Object::list(std::shared_ptr<TOLMArchiveList>()).isNone());
  EXPECT_TRUE(Object::dictionary(std::shared_ptr<TOLMArchiveDictionary>()).isNone());
  EXPECT_TRUE(Object::record(nullptr).isNone());
}

}  // namespace

#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMClassRegistry.h"
#include "archive/TOLMCoding.h"
#include "archive/TOLMUnarchiver.h"

// A record using every kind of value a real record writes, in a fixed order.
class TOLMTestRecord : public TOLMCoding {
 public:
  std::int8_t flag = 0;
  std::int32_t number = 0;
  std::array<std::int32_t, 7> week{};
  TOLMArchiveObject name;
  TOLMArchiveObject items;

  std::string className() const override { return "TOLMTestRecord"; }
  void encodeWithCoder(TOLMArchiver& coder) const override {
    coder.encodeValueOfObjCType("c", &flag);
    coder.encodeValueOfObjCType("i", &number);
    coder.encodeValueOfObjCType("[7i]", week.data());
    coder.encodeObject(name);
    coder.encodeObject(items);
  }

  template <class T>
  static std::shared_ptr<T> readInto(TOLMUnarchiver& coder) {
    auto record = std::make_shared<T>();
    coder.decodeValueOfObjCType("c", &record->flag);
    coder.decodeValueOfObjCType("i", &record->number);
    coder.decodeValueOfObjCType("[7i]", record->week.data());
    record->name = coder.decodeObject();
    record->items = coder.decodeObject();
    return coder.failed() ? nullptr : record;
  }
};

// A subclass writing the same values, which must come back as itself.
class TOLMTestRecord_Special : public TOLMTestRecord {
 public:
  std::string className() const override { return "TOLMTestRecord_Special"; }
};

inline void TOLMRegisterTestRecords() {
  auto& registry = TOLMClassRegistry::shared();
  registry.registerClass("TOLMTestRecord",
                         [](TOLMUnarchiver& c) { return TOLMTestRecord::readInto<TOLMTestRecord>(c); });
  registry.registerClass("TOLMTestRecord_Special", [](TOLMUnarchiver& c) {
    return TOLMTestRecord::readInto<TOLMTestRecord_Special>(c);
  });
}

inline std::shared_ptr<TOLMTestRecord> TOLMMakeTestRecord() {
  auto record = std::make_shared<TOLMTestRecord>();
  record->flag = -3;
  record->number = -123456789;
  record->week = {1, 0, -1, INT32_MAX, INT32_MIN, 7, 65536};
  record->name = TOLMArchiveObject::string("Wake up");
  record->items = TOLMArchiveObject::list({TOLMArchiveObject::string("echo hi"), TOLMArchiveObject::null()});
  return record;
}

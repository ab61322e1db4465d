#include "archive/TOLMArchiveObject.h"

#include <cmath>

#include "archive/TOLMArchiveFormat.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMCoding.h"

TOLMArchiveObject TOLMArchiveObject::null() { return TOLMArchiveObject(Storage(TOLMNull{})); }
TOLMArchiveObject TOLMArchiveObject::boolean(bool value) { return TOLMArchiveObject(Storage(value)); }
TOLMArchiveObject TOLMArchiveObject::integer(std::int64_t value) { return TOLMArchiveObject(Storage(value)); }
TOLMArchiveObject TOLMArchiveObject::floating(double value) { return TOLMArchiveObject(Storage(value)); }
TOLMArchiveObject TOLMArchiveObject::string(std::string value) {
  return TOLMArchiveObject(Storage(std::move(value)));
}

// A null list, dictionary or record pointer is none, so no object of those
// kinds ever holds a null pointer.
TOLMArchiveObject TOLMArchiveObject::list(std::shared_ptr<TOLMArchiveList> value) {
  if (!value) return {};
  return TOLMArchiveObject(Storage(std::move(value)));
}
TOLMArchiveObject TOLMArchiveObject::list(TOLMArchiveList value) {
  return list(std::make_shared<TOLMArchiveList>(std::move(value)));
}
TOLMArchiveObject TOLMArchiveObject::dictionary(std::shared_ptr<TOLMArchiveDictionary> value) {
  if (!value) return {};
  return TOLMArchiveObject(Storage(std::move(value)));
}
TOLMArchiveObject TOLMArchiveObject::dictionary(TOLMArchiveDictionary value) {
  return dictionary(std::make_shared<TOLMArchiveDictionary>(std::move(value)));
}
TOLMArchiveObject TOLMArchiveObject::color(TOLMColor value) { return TOLMArchiveObject(Storage(value)); }
TOLMArchiveObject TOLMArchiveObject::image(TOLMImage value) {
  return TOLMArchiveObject(Storage(std::move(value)));
}
TOLMArchiveObject TOLMArchiveObject::record(std::shared_ptr<TOLMCoding> value) {
  if (!value) return {};
  return TOLMArchiveObject(Storage(std::move(value)));
}

// The variant's alternatives are declared in the order of Kind.
TOLMArchiveObject::Kind TOLMArchiveObject::kind() const { return static_cast<Kind>(storage_.index()); }

std::optional<bool> TOLMArchiveObject::boolValue() const {
  if (const auto* v = std::get_if<bool>(&storage_)) return *v;
  return std::nullopt;
}
std::optional<std::int64_t> TOLMArchiveObject::integerValue() const {
  if (const auto* v = std::get_if<std::int64_t>(&storage_)) return *v;
  return std::nullopt;
}
std::optional<double> TOLMArchiveObject::floatValue() const {
  if (const auto* v = std::get_if<double>(&storage_)) return *v;
  return std::nullopt;
}
const std::string* TOLMArchiveObject::stringValue() const { return std::get_if<std::string>(&storage_); }
std::shared_ptr<TOLMArchiveList> TOLMArchiveObject::listValue() const {
  if (const auto* v = std::get_if<std::shared_ptr<TOLMArchiveList>>(&storage_)) return *v;
  return nullptr;
}
std::shared_ptr<TOLMArchiveDictionary> TOLMArchiveObject::dictionaryValue() const {
  if (const auto* v = std::get_if<std::shared_ptr<TOLMArchiveDictionary>>(&storage_)) return *v;
  return nullptr;
}
const TOLMColor* TOLMArchiveObject::colorValue() const { return std::get_if<TOLMColor>(&storage_); }
const TOLMImage* TOLMArchiveObject::imageValue() const { return std::get_if<TOLMImage>(&storage_); }
std::shared_ptr<TOLMCoding> TOLMArchiveObject::recordValue() const {
  if (const auto* v = std::get_if<std::shared_ptr<TOLMCoding>>(&storage_)) return *v;
  return nullptr;
}

namespace {

// NaN equals NaN so that a decoded copy is equal to what was written.
bool sameFloat(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool equalAt(const TOLMArchiveObject& a, const TOLMArchiveObject& b, int depth);

bool equalLists(const TOLMArchiveList& a, const TOLMArchiveList& b, int depth) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!equalAt(a[i], b[i], depth)) return false;
  }
  return true;
}

bool equalDictionaries(const TOLMArchiveDictionary& a, const TOLMArchiveDictionary& b, int depth) {
  if (a.size() != b.size()) return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
    if (i->first != j->first || !equalAt(i->second, j->second, depth)) return false;
  }
  return true;
}

bool equalRecords(const TOLMCoding& a, const TOLMCoding& b) {
  if (a.className() != b.className()) return false;
  TOLMArchiver left;
  a.encodeWithCoder(left);
  TOLMArchiver right;
  b.encodeWithCoder(right);
  return !left.failed() && !right.failed() && left.data() == right.data();
}

// The depth bound keeps a graph that (wrongly) contains itself from
// recursing without end.
bool equalAt(const TOLMArchiveObject& a, const TOLMArchiveObject& b, int depth) {
  using Kind = TOLMArchiveObject::Kind;
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Kind::None:
    case Kind::Null:
      return true;
    case Kind::Boolean:
      return a.boolValue() == b.boolValue();
    case Kind::Integer:
      return a.integerValue() == b.integerValue();
    case Kind::Float:
      return sameFloat(*a.floatValue(), *b.floatValue());
    case Kind::String:
      return *a.stringValue() == *b.stringValue();
    case Kind::Color: {
      const TOLMColor& x = *a.colorValue();
      const TOLMColor& y = *b.colorValue();
      return sameFloat(x.red, y.red) && sameFloat(x.green, y.green) && sameFloat(x.blue, y.blue) &&
             sameFloat(x.alpha, y.alpha);
    }
    case Kind::Image: {
      const TOLMImage& x = *a.imageValue();
      const TOLMImage& y = *b.imageValue();
      return sameFloat(x.width, y.width) && sameFloat(x.height, y.height) && x.pngData == y.pngData;
    }
    case Kind::List: {
      const auto x = a.listValue();
      const auto y = b.listValue();
      if (x == y) return true;
      return depth < TOLMArchiveFormat::kMaxDepth && equalLists(*x, *y, depth + 1);
    }
    case Kind::Dictionary: {
      const auto x = a.dictionaryValue();
      const auto y = b.dictionaryValue();
      if (x == y) return true;
      return depth < TOLMArchiveFormat::kMaxDepth && equalDictionaries(*x, *y, depth + 1);
    }
    case Kind::Record: {
      const auto x = a.recordValue();
      const auto y = b.recordValue();
      return x == y || equalRecords(*x, *y);
    }
  }
  return false;
}

}  // namespace

bool TOLMArchiveObject::isEqual(const TOLMArchiveObject& other) const { return equalAt(*this, other, 0); }

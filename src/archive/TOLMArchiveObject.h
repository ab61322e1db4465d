#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class TOLMCoding;
class TOLMArchiveObject;

// The object kinds an archive can hold. Lists and dictionaries are shared and
// mutable (a reader may change what it decoded); records are the program's own
// classes, found again by their registered class name when decoded.
using TOLMArchiveList = std::vector<TOLMArchiveObject>;
using TOLMArchiveDictionary = std::map<std::string, TOLMArchiveObject>;

// The null object: a placeholder that is present, unlike none.
struct TOLMNull {
  bool operator==(const TOLMNull&) const = default;
};

// A colour with components from 0.0 to 1.0.
struct TOLMColor {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
  double alpha = 1.0;
  bool operator==(const TOLMColor&) const = default;
};

// An image: its size in points and its pixels as PNG bytes (empty for a blank image).
struct TOLMImage {
  double width = 0.0;
  double height = 0.0;
  std::vector<std::uint8_t> pngData;
  bool operator==(const TOLMImage&) const = default;
};

class TOLMArchiveObject {
 public:
  enum class Kind { None, Null, Boolean, Integer, Float, String, List, Dictionary, Color, Image, Record };

  TOLMArchiveObject() = default;  // none

  static TOLMArchiveObject null();
  static TOLMArchiveObject boolean(bool value);
  static TOLMArchiveObject integer(std::int64_t value);
  static TOLMArchiveObject floating(double value);
  static TOLMArchiveObject string(std::string value);
  static TOLMArchiveObject list(std::shared_ptr<TOLMArchiveList> value);
  static TOLMArchiveObject list(TOLMArchiveList value);
  static TOLMArchiveObject dictionary(std::shared_ptr<TOLMArchiveDictionary> value);
  static TOLMArchiveObject dictionary(TOLMArchiveDictionary value);
  static TOLMArchiveObject color(TOLMColor value);
  static TOLMArchiveObject image(TOLMImage value);
  // A null pointer gives none.
  static TOLMArchiveObject record(std::shared_ptr<TOLMCoding> value);

  Kind kind() const;
  bool isNone() const { return kind() == Kind::None; }
  bool isNull() const { return kind() == Kind::Null; }

  // Each accessor answers only for its own kind (a boolean is not an integer).
  std::optional<bool> boolValue() const;
  std::optional<std::int64_t> integerValue() const;
  std::optional<double> floatValue() const;
  const std::string* stringValue() const;
  std::shared_ptr<TOLMArchiveList> listValue() const;
  std::shared_ptr<TOLMArchiveDictionary> dictionaryValue() const;
  const TOLMColor* colorValue() const;
  const TOLMImage* imageValue() const;
  std::shared_ptr<TOLMCoding> recordValue() const;
  template <class T>
  std::shared_ptr<T> recordAs() const {
    return std::dynamic_pointer_cast<T>(recordValue());
  }

  // Deep equality: same kinds and equal contents; records compare by their
  // encoded value sequences.
  bool isEqual(const TOLMArchiveObject& other) const;

 private:
  using Storage = std::variant<std::monostate, TOLMNull, bool, std::int64_t, double, std::string,
                               std::shared_ptr<TOLMArchiveList>, std::shared_ptr<TOLMArchiveDictionary>,
                               TOLMColor, TOLMImage, std::shared_ptr<TOLMCoding>>;
  explicit TOLMArchiveObject(Storage storage) : storage_(std::move(storage)) {}
  Storage storage_;
};

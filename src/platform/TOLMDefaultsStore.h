#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "base/TOLMResult.h"

class TOLMRunLoop;
class TOLMTimer;

// The user defaults: a flat map of typed values kept in memory and persisted as
// an XML property list. Changes are written durably at the next pass of the run
// loop (coalesced) and by synchronize().
class TOLMDefaultsStore {
 public:
  using Data = std::vector<std::uint8_t>;
  using Value = std::variant<bool, double, std::string, Data>;

  // loop may be null: then only synchronize() writes.
  TOLMDefaultsStore(std::string path, TOLMRunLoop* loop);
  ~TOLMDefaultsStore();

  // The file under $HOME: ~/Library/Preferences/Vekkaro.plist
  static std::string standardPath();

  // Reads the file. A missing file gives an empty store. A file that cannot be
  // read or parsed is set aside (never overwritten) and the store starts empty;
  // the error says where the file went.
  TOLMStatus load();
  // Writes now if anything changed.
  TOLMStatus synchronize();

  std::optional<Value> objectForKey(const std::string& key) const;
  // Refuses (and logs) a key or text that a property list cannot carry:
  // invalid UTF-8, or control characters other than tab, newline and return.
  void setObject(const std::string& key, Value value);
  void removeObjectForKey(const std::string& key);
  bool hasKey(const std::string& key) const;
  // Keys in the order they were first written.
  std::vector<std::string> allKeys() const;

  // Conversions of a number: non-zero is true; a missing key reads as false, 0.0, 0.
  bool boolForKey(const std::string& key) const;
  double floatForKey(const std::string& key) const;
  int integerForKey(const std::string& key) const;  // truncates
  std::optional<std::string> stringForKey(const std::string& key) const;
  std::optional<Data> dataForKey(const std::string& key) const;

  void setBool(const std::string& key, bool value) { setObject(key, Value(value)); }
  void setFloat(const std::string& key, double value) { setObject(key, Value(value)); }
  void setString(const std::string& key, std::string value) { setObject(key, Value(std::move(value))); }
  void setData(const std::string& key, Data value) { setObject(key, Value(std::move(value))); }

  const std::string& path() const { return path_; }

 private:
  void markDirty();
  void cancelPendingWrite();
  void clear();
  std::vector<std::uint8_t> propertyList() const;
  TOLMStatus readPropertyList(const std::vector<std::uint8_t>& bytes);

  std::string path_;
  TOLMRunLoop* loop_;
  std::unordered_map<std::string, Value> values_;
  std::vector<std::string> order_;
  bool dirty_ = false;
  std::shared_ptr<TOLMTimer> pendingWrite_;
  // Set when an unusable file could not be moved aside: it must not be replaced.
  std::string writeBlocked_;
};

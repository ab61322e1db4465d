#pragma once

#include <optional>
#include <string>
#include <utility>

// A value or the reason there is none. Used at every edge that can fail
// (files, decoding, parsing, media, commands) so failures travel as values.
template <class T>
class TOLMResult {
 public:
  static TOLMResult success(T value) { return TOLMResult(std::move(value), {}); }
  static TOLMResult failure(std::string error) { return TOLMResult(std::nullopt, std::move(error)); }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const std::string& error() const { return error_; }

 private:
  TOLMResult(std::optional<T> value, std::string error)
      : value_(std::move(value)), error_(std::move(error)) {}

  std::optional<T> value_;
  std::string error_;
};

// Success or the reason for failure, for operations with no result value.
class TOLMStatus {
 public:
  static TOLMStatus success() { return TOLMStatus({}); }
  static TOLMStatus failure(std::string error) {
    return TOLMStatus(error.empty() ? std::string("unknown error") : std::move(error));
  }

  bool ok() const { return error_.empty(); }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return error_; }

 private:
  explicit TOLMStatus(std::string error) : error_(std::move(error)) {}
  std::string error_;
};

#pragma once

#include <array>
#include <cstddef>

// The stored form of a preference value.
enum class TOLMPreferenceForm { Boolean, Float, WholeNumber, Text, Color, Image, Rectangle };

// Images a default can name.
enum class TOLMDefaultImage { None, ApplicationImage, Blank128 };

struct TOLMPreferenceDefault {
  const char* key;
  TOLMPreferenceForm form;
  double number = 0.0;          // Boolean (0/1), Float, WholeNumber
  const char* text = nullptr;   // Text
  double color[4] = {0, 0, 0, 1};  // Color: red, green, blue, alpha
  TOLMDefaultImage image = TOLMDefaultImage::None;
  double rect[4] = {0, 0, 0, 0};   // Rectangle: x, y, width, height
};

inline constexpr std::size_t TOLMPreferenceKeyCount = 80;

// Every key with its factory default, in the order the reset writes them.
const std::array<TOLMPreferenceDefault, TOLMPreferenceKeyCount>& TOLMPreferenceDefaults();
// The entry of a key; null for a key that is not in the table.
const TOLMPreferenceDefault* TOLMPreferenceDefaultForKey(const char* key);

// The current version of the key set.
inline constexpr double TOLMPreferenceVersion = 3.0;

#pragma once

#include <QUrl>
#include <optional>
#include <string>

#include "base/TOLMResult.h"

class TOLMAlarm;

// The song an alarm plays at its turn, from its first enabled music source:
// random folder, single file, URL, music library. Random sources draw anew at
// every call.
class TOLMSongChooser {
 public:
  // None when no source is enabled; a failure says why the song cannot be had.
  static std::optional<TOLMResult<QUrl>> songForAlarm(const TOLMAlarm& alarm);

  static TOLMResult<QUrl> randomSongForDirectory(const std::string& folder);
  static TOLMResult<QUrl> songForFile(const std::string& path);
  static TOLMResult<QUrl> songForURL(const std::string& text);
  static TOLMResult<QUrl> songForXML(const std::string& path);

  // Compared without regard to letter case.
  static bool hasSongExtension(const std::string& fileName);
};

// A random integer from location up to, not including, location + length,
// drawn from the C library's random().
int randomNumberInRange(int location, int length);

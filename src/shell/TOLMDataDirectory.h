#pragma once

#include <string>

// The per-user data folder "~/Library/Preferences/Vekkaro" that holds the
// alarms, calendar and event files.
class TOLMDataDirectory {
 public:
  static std::string path();  // from $HOME
  // Creates it (with missing parents) when nothing exists there. A failure is
  // not fatal: each owner reports its own failed save.
  static bool ensureExists(const std::string& path);
};

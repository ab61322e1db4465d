#pragma once

// With no display to draw on, run on Qt's offscreen platform and say so, so the
// alarms still fire on a machine without a desktop session.
class TOLMHeadlessFallback {
 public:
  // Returns true when it switched to offscreen.
  static bool applyIfNoDisplay();
};

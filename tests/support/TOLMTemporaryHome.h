#pragma once

#include <QTemporaryDir>
#include <QString>
#include <cstdlib>
#include <string>

// Points $HOME at a fresh empty folder for the lifetime of the object.
class TOLMTemporaryHome {
 public:
  TOLMTemporaryHome() {
    const char* old = std::getenv("HOME");
    hadHome_ = old != nullptr;
    if (old) oldHome_ = old;
    ::setenv("HOME", dir_.path().toLocal8Bit().constData(), 1);
  }
  ~TOLMTemporaryHome() {
    if (hadHome_) {
      ::setenv("HOME", oldHome_.c_str(), 1);
    } else {
      ::unsetenv("HOME");
    }
  }
  TOLMTemporaryHome(const TOLMTemporaryHome&) = delete;
  TOLMTemporaryHome& operator=(const TOLMTemporaryHome&) = delete;

  std::string path() const { return dir_.path().toStdString(); }
  QString qPath() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  bool hadHome_ = false;
  std::string oldHome_;
};

#pragma once

#include <QObject>
#include <QImage>

class QMenu;
class QSystemTrayIcon;

// The application icon: on every window and, where the desktop has one, in the
// system tray with the application's menu.
class TOLMTrayIcon : public QObject {
  Q_OBJECT
 public:
  explicit TOLMTrayIcon(QObject* parent = nullptr);
  ~TOLMTrayIcon() override;

  // setApplicationIconImage:
  void setApplicationIconImage(const QImage& image);
  const QImage& applicationIconImage() const { return image_; }
  void setMenu(QMenu* menu);
  void show();
  bool isVisible() const;

 private:
  QImage image_;
  QSystemTrayIcon* tray_ = nullptr;
};

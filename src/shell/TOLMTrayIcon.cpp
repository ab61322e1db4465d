#include "shell/TOLMTrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

TOLMTrayIcon::TOLMTrayIcon(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this)) {
  tray_->setToolTip(QStringLiteral("Vekkaro"));
}

TOLMTrayIcon::~TOLMTrayIcon() = default;

void TOLMTrayIcon::setApplicationIconImage(const QImage& image) {
  image_ = image;
  const QIcon icon(QPixmap::fromImage(image));
  QApplication::setWindowIcon(icon);
  tray_->setIcon(icon);
}

void TOLMTrayIcon::setMenu(QMenu* menu) { tray_->setContextMenu(menu); }

void TOLMTrayIcon::show() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

bool TOLMTrayIcon::isVisible() const { return tray_->isVisible(); }

#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>
#include <csignal>

#include "platform/TOLMApplicationImage.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMQtRunLoop.h"
#include "platform/TOLMSignalWatcher.h"
#include "shell/TOLMCompositionRoot.h"
#include "shell/TOLMHeadlessFallback.h"

int main(int argc, char** argv) {
  TOLMHeadlessFallback::applyIfNoDisplay();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vekkaro"));
  QApplication::setWindowIcon(TOLMApplicationImage::icon());
  // With a tray icon the application keeps running when its windows close.
  QApplication::setQuitOnLastWindowClosed(!QSystemTrayIcon::isSystemTrayAvailable());

  TOLMNotificationCenter& center = TOLMNotificationCenter::defaultCenter();
  TOLMQtRunLoop loop(center);
  TOLMCompositionRoot root(loop, center, QDir::homePath().toStdString());
  root.setQuitHandler([] { QApplication::quit(); });

  // A logout (SIGHUP) or kill ends the program through the same path as Quit.
  TOLMSignalWatcher terminationSignals({SIGTERM, SIGINT, SIGHUP}, [](int) { QApplication::quit(); });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, [&root] { root.terminate(); });

  root.launch();
  const int status = QApplication::exec();
  root.terminate();
  return status;
}

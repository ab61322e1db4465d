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

  // A quit asked for before the main loop runs (a signal during start-up) would
  // otherwise be lost, so it is remembered.
  bool quitRequested = false;
  auto quit = [&quitRequested] {
    quitRequested = true;
    QApplication::quit();
  };
  // A logout (SIGHUP) or kill ends the program through the same path as Quit.
  TOLMSignalWatcher terminationSignals({SIGTERM, SIGINT, SIGHUP}, [&quit](int) { quit(); });

  TOLMNotificationCenter& center = TOLMNotificationCenter::defaultCenter();
  TOLMQtRunLoop loop(center);
  TOLMCompositionRoot root(loop, center, QDir::homePath().toStdString());
  root.setQuitHandler(quit);

  QObject::connect(&application, &QCoreApplication::aboutToQuit, [&root] { root.terminate(); });

  root.launch();
  const int status = quitRequested ? 0 : QApplication::exec();
  root.terminate();
  return status;
}

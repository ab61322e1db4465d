#include "shell/TOLMMainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

void toggle(QWidget* window) {
  if (window->isVisible()) {
    window->hide();
  } else {
    window->show();
    window->raise();
    window->activateWindow();
  }
}

}  // namespace

TOLMMainMenu::TOLMMainMenu(QObject* parent)
    : QObject(parent),
      applicationMenu_(new QMenu(QStringLiteral("Application"))),
      windowMenu_(new QMenu(QStringLiteral("Window"))),
      helpMenu_(new QMenu(QStringLiteral("Help"))),
      trayMenu_(new QMenu()) {
  QAction* quit = applicationMenu_->addAction(QStringLiteral("Quit Vekkaro"));
  quit->setShortcut(QKeySequence::Quit);
  connect(quit, &QAction::triggered, this, [this] { if (quit_) quit_(); });
  QAction* help = helpMenu_->addAction(QStringLiteral("Vekkaro Help"));
  help->setShortcut(QKeySequence::HelpContents);
  connect(help, &QAction::triggered, this, [this] { if (showHelp_) showHelp_(); });
  trayMenu_->addSeparator();
  QAction* trayQuit = trayMenu_->addAction(QStringLiteral("Quit Vekkaro"));
  connect(trayQuit, &QAction::triggered, this, [this] { if (quit_) quit_(); });
}

TOLMMainMenu::~TOLMMainMenu() {
  delete applicationMenu_;
  delete windowMenu_;
  delete helpMenu_;
  delete trayMenu_;
}

void TOLMMainMenu::installIn(QMenuBar* bar) {
  bar->addMenu(applicationMenu_);
  bar->addMenu(windowMenu_);
  bar->addMenu(helpMenu_);
}

void TOLMMainMenu::setApplicationMenuTitle(const QString& title) { applicationMenu_->setTitle(title); }

QString TOLMMainMenu::applicationMenuTitle() const { return applicationMenu_->title(); }

void TOLMMainMenu::addWindow(const QString& title, QWidget* window) {
  for (QMenu* menu : {windowMenu_, trayMenu_}) {
    QAction* action = new QAction(title, menu);
    connect(action, &QAction::triggered, window, [window] { toggle(window); });
    QAction* before = menu == trayMenu_ ? menu->actions().value(menu->actions().size() - 2) : nullptr;
    menu->insertAction(before, action);
  }
}

void TOLMMainMenu::setHelpAction(std::function<void()> showHelp) { showHelp_ = std::move(showHelp); }

void TOLMMainMenu::setQuitAction(std::function<void()> quit) { quit_ = std::move(quit); }

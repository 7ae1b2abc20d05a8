#include "app/dialogs/HelpWindow.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/DialogResources.h"

namespace dkscr {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitDialogResources();
  setWindowTitle(tr("Kel-Deckscribe Help"));
  browser = new QTextBrowser(this);
  browser->setSearchPaths({QStringLiteral(":/help")});
  browser->setOpenExternalLinks(true);
  back_ = new QToolButton(this);
  back_->setText(tr("&Back"));
  contents_ = new QToolButton(this);
  contents_->setText(tr("&Contents"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(back_);
  bar->addWidget(contents_);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(browser, 1);
  resize(560, 480);

  back_->setEnabled(false);
  connect(browser, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(back_, &QToolButton::clicked, browser, &QTextBrowser::backward);
  connect(contents_, &QToolButton::clicked, this, [this] { ShowTopic(QString()); });
  connect(browser, &QTextBrowser::sourceChanged, this, [this] {
    // The contents page's own title is the window's: named once, not twice.
    const QString base = tr("Kel-Deckscribe Help");
    const QString title = browser->documentTitle();
    setWindowTitle(title.isEmpty() || title == base ? base : base + QStringLiteral(" - ") + title);
  });
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::ShowTopic(const QString& topic) {
  const QString page = topic.isEmpty() ? QString::fromLatin1(kHelpContents) : topic;
  browser->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
}

QString HelpWindow::CurrentTopic() const { return browser->source().fileName(); }

HelpWindow* ShowHelp(QWidget* requester, const QString& topic) {
  // One help window per window that asks for help, owned by it: a modal dialog blocks
  // every window but its own, so its help must be its own.
  QWidget* owner = requester ? requester->window() : nullptr;
  HelpWindow* window = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                              : nullptr;
  if (window == nullptr) window = new HelpWindow(owner);
  window->ShowTopic(topic);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace dkscr

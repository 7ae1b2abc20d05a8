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

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitDialogResources();
  setWindowTitle(tr("Kel-Deckscribe Help"));
  Browser = new QTextBrowser(this);
  Browser->setSearchPaths({QStringLiteral(":/help")});
  Browser->setOpenExternalLinks(true);
  FBack = new QToolButton(this);
  FBack->setText(tr("&Back"));
  FContents = new QToolButton(this);
  FContents->setText(tr("&Contents"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(FBack);
  bar->addWidget(FContents);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(Browser, 1);
  resize(560, 480);

  FBack->setEnabled(false);
  connect(Browser, &QTextBrowser::backwardAvailable, FBack, &QToolButton::setEnabled);
  connect(FBack, &QToolButton::clicked, Browser, &QTextBrowser::backward);
  connect(FContents, &QToolButton::clicked, this, [this] { ShowTopic(QString()); });
  connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
    // The contents page's own title is the window's: named once, not twice.
    const QString base = tr("Kel-Deckscribe Help");
    const QString title = Browser->documentTitle();
    setWindowTitle(title.isEmpty() || title == base ? base : base + QStringLiteral(" - ") + title);
  });
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
}

void THelpWindow::ShowTopic(const QString& topic) {
  const QString page = topic.isEmpty() ? QString::fromLatin1(kHelpContents) : topic;
  Browser->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
}

QString THelpWindow::CurrentTopic() const { return Browser->source().fileName(); }

THelpWindow* ShowHelp(QWidget* requester, const QString& topic) {
  // One help window per window that asks for help, owned by it: a modal dialog blocks
  // every window but its own, so its help must be its own.
  QWidget* owner = requester ? requester->window() : nullptr;
  THelpWindow* window = owner ? owner->findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                              : nullptr;
  if (window == nullptr) window = new THelpWindow(owner);
  window->ShowTopic(topic);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace dkscr

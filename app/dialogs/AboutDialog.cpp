#include "app/dialogs/AboutDialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/FrameAnimation.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  InitDialogResources();
  setWindowTitle(tr("About Kel-Deckscribe"));

  auto* iconFrame = new QFrame(this);
  iconFrame->setFrameShape(QFrame::Box);
  animation = new FrameAnimation(QStringLiteral(":/dialogs/icons/aniabout.png"), 4, 400,
                                   true, iconFrame);
  auto* iconLayout = new QVBoxLayout(iconFrame);
  iconLayout->setContentsMargins(2, 2, 2, 2);
  iconLayout->addWidget(animation);

  productName = new QLabel(tr("Kel-Deckscribe"), this);
  QFont big(QStringLiteral("Tahoma"));
  big.setPixelSize(20);
  big.setBold(true);
  productName->setFont(big);
  productVersion = new QLabel(tr("Version 3.0"), this);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  // The help shipped inside the program, not a page on a network that may not be there.
  helpLink = new QLabel(QStringLiteral("<a href=\"help:contents\">%1</a>")
                            .arg(tr("Deckscribe Help").toHtmlEscaped()),
                        this);
  helpLink->setTextFormat(Qt::RichText);
  helpLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  helpLink->setAccessibleName(tr("Deckscribe Help"));
  connect(helpLink, &QLabel::linkActivated, this, [this] { ShowHelp(this, QString()); });
  okButton = new QPushButton(tr("OK"), this);

  auto* names = new QVBoxLayout;
  names->addWidget(productName);
  names->addWidget(productVersion);
  auto* top = new QHBoxLayout;
  top->addWidget(iconFrame, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(names, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line);
  layout->addWidget(helpLink);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  new KeyPreview(this, [this] { accept(); }, [this] { reject(); });
  animation->Start();
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) CenterOnOwner(this);
}

}  // namespace dkscr

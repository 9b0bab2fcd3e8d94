#include "generator/window/AboutBox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "generator/window/Generator.h"
#include "platform/Help.h"

namespace orv {

TAboutBox::TAboutBox(TGenerator& generator) : QDialog(nullptr, Qt::Tool), generator_(generator) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    ProgramIcon = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_MediaVolume);
    ProgramIcon->setPixmap(icon.pixmap(32, 32));
    auto* texts = new QVBoxLayout;
    ProductName = new QLabel(QStringLiteral("Orvana"), this);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersion), this);
    texts->addWidget(ProductName);
    texts->addWidget(Version);
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addLayout(texts);
    top->addStretch();
    layout->addLayout(top);
    auto* buttons = new QHBoxLayout;
    HelpButton = new QPushButton(QStringLiteral("Help"), this);
    HelpButton->setAutoDefault(false);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(HelpButton);
    buttons->addWidget(OKButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(HelpButton, &QPushButton::clicked, this, &TAboutBox::HelpButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    connect(OKButton, &QPushButton::clicked, &generator_, &TGenerator::FormActivate);
    connect(this, &QDialog::finished, &generator_, [this] { generator_.setEnabled(true); });
    generator_.AboutBox = this;
}

TAboutBox::~TAboutBox() {
    if (generator_.AboutBox == this) generator_.AboutBox = nullptr;
}

void TAboutBox::HelpButtonClick() {
    ShowHelpTopic(HelpFile, QStringLiteral("IDH_3"));
}

void TAboutBox::OKButtonClick() {
    accept();
}

}  // namespace orv

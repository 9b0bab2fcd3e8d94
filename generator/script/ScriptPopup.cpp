#include "generator/script/ScriptPopup.h"

#include "generator/script/ScriptHost.h"
#include "platform/Help.h"
#include "platform/Screen.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {
namespace {

// A first field that is no keyword may be any length; the window shows its
// start only, so it keeps its size.
constexpr int kShownKeyword = 40;

}  // namespace

TScriptPopup::TScriptPopup(ScriptHost& host) : QWidget(nullptr, Qt::Tool), host_(host) {
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2 = new QPushButton(QStringLiteral("Next"), this);
    Label1 = new QLabel(this);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Label1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TScriptPopup::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TScriptPopup::Button2Click);
}

void TScriptPopup::FormShow() {
    setWindowTitle(QStringLiteral("ORV " ORV_VERSION_TEXT " Script"));
}

void TScriptPopup::FormHide() { host_.SetWindowEnabled(true); }

void TScriptPopup::Button1Click() { close(); }

void TScriptPopup::Button2Click() {
    host_.SetPlaying(false);
    hide();
}

void TScriptPopup::ShowLine(int32_t line, const std::string& keyword) {
    QString shown = QString::fromStdString(keyword);
    if (shown.size() > kShownKeyword) shown = shown.left(kShownKeyword) + QStringLiteral("...");
    Label1->setText(QStringLiteral("Line %1: %2").arg(line).arg(shown));
}

void TScriptPopup::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    FormShow();
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(this);
    }
}

void TScriptPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Minimising is no hiding: the run goes on.
    if (!event->spontaneous()) FormHide();
}

void TScriptPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ShowHelpTopic(HelpFile, QStringLiteral("IDH_4"));
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace orv

#include "generator/window/WaitForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "generator/window/Generator.h"
#include "platform/Screen.h"

namespace orv {

// A tool window without title-bar buttons: the export ends by itself or by
// Cancel, never by the window manager.
TWaitForm::TWaitForm(TGenerator& generator)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      generator_(generator) {
    setWindowTitle(QStringLiteral("Orvana"));
    Label1 = new QLabel(QStringLiteral("Please wait, generating and saving test tone..."), this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(Button1, &QPushButton::clicked, this, &TWaitForm::Button1Click);
    generator_.WaitForm = this;
}

TWaitForm::~TWaitForm() {
    if (generator_.WaitForm == this) generator_.WaitForm = nullptr;
}

void TWaitForm::Button1Click() { ExportCancelled = true; }

void TWaitForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    CentreOnScreen(this);
}

void TWaitForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Button1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Alt+F4 and the like cancel rather than hide the window mid-export.
void TWaitForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    Button1->click();
}

}  // namespace orv

#include "generator/window/Controls.h"

#include <QPainter>

namespace orv {

TShape::TShape(QColor color, QWidget* parent) : QWidget(parent), color_(color) {}

void TShape::SetColor(QColor color) {
    color_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TPageBar(this));
    // Both captions are always shown whole; the page widens to fit them.
    tabBar()->setUsesScrollButtons(false);
    tabBar()->setElideMode(Qt::ElideNone);
    connect(this, &QTabWidget::currentChanged, this, [this] {
        if (userDepth_ > 0) emit UserChange();
    });
}

void TPageControl::keyPressEvent(QKeyEvent* event) {
    BeginUser();
    QTabWidget::keyPressEvent(event);
    EndUser();
}

void TPageBar::mousePressEvent(QMouseEvent* event) {
    owner_->BeginUser();
    QTabBar::mousePressEvent(event);
    owner_->EndUser();
}

void TPageBar::mouseReleaseEvent(QMouseEvent* event) {
    owner_->BeginUser();
    QTabBar::mouseReleaseEvent(event);
    owner_->EndUser();
}

void TPageBar::keyPressEvent(QKeyEvent* event) {
    owner_->BeginUser();
    QTabBar::keyPressEvent(event);
    owner_->EndUser();
}

void TPageBar::wheelEvent(QWheelEvent* event) {
    owner_->BeginUser();
    QTabBar::wheelEvent(event);
    owner_->EndUser();
}

}  // namespace orv

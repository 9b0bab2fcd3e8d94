#include "generator/window/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/NumberText.h"

namespace orv {

TUpDown::TUpDown(QLineEdit* associate, int32_t min, int32_t max, int32_t position,
                 char decimalSeparator, QWidget* parent)
    : QWidget(parent), associate_(associate), min_(min), max_(max),
      position_(position), sep_(decimalSeparator) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    UpButton = new QToolButton(this);
    DownButton = new QToolButton(this);
    for (QToolButton* b : {UpButton, DownButton}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(16);
        layout->addWidget(b);
    }
    UpButton->setArrowType(Qt::UpArrow);
    DownButton->setArrowType(Qt::DownArrow);
    connect(UpButton, &QToolButton::clicked, this, [this] { Click(true); });
    connect(DownButton, &QToolButton::clicked, this, [this] { Click(false); });
}

int32_t TUpDown::ReadPosition() const {
    const auto value = TextToFloat(associate_->text().toStdString(), sep_);
    if (!value) return position_;
    return RoundToInt(*value).value_or(position_);
}

void TUpDown::Click(bool up) {
    const int64_t current = ReadPosition();
    const int64_t wanted = current + (up ? increment_ : -increment_);
    const int32_t next = static_cast<int32_t>(std::clamp<int64_t>(wanted, min_, max_));
    // A number beyond the range must not be pulled back against the arrow.
    if (up ? next < current : next > current) return;
    position_ = next;
    associate_->setText(QString::fromStdString(IntToText(next)));
}

}  // namespace orv

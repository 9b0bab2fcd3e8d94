#include "generator/window/FreqPopup.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>
#include <QWindow>

#include "common/NumberText.h"
#include "generator/window/FreqRange.h"
#include "generator/window/Generator.h"
#include "platform/Dialogs.h"

namespace orv {

namespace {

constexpr int kHeight = 105;

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFreqPopup::TFreqPopup(TGenerator& generator)
    : QWidget(nullptr, Qt::Tool), generator_(generator) {
    setWindowTitle(QStringLiteral("Constant Tone Frequency"));
    FreqSlider = new QSlider(Qt::Horizontal, this);
    // Tick marks at the two ends only.
    connect(FreqSlider, &QSlider::rangeChanged, this,
            [this](int min, int max) { FreqSlider->setTickInterval(max - min); });
    FreqSlider->setRange(100, 4000);
    FreqSlider->setValue(1000);
    FreqSlider->setTickPosition(QSlider::TicksBelow);
    MinFreqEdit = new QLineEdit(QStringLiteral("2"), this);
    MaxFreqEdit = new QLineEdit(this);

    // Code-side changes (position, limits) pass through settingByCode_, so
    // every other change is the user's: keys, wheel, clicks and drags.
    connect(FreqSlider, &QSlider::valueChanged, this, [this] {
        if (!settingByCode_) FreqSliderChange();
    });
    for (QLineEdit* edit : {MinFreqEdit, MaxFreqEdit}) edit->installEventFilter(this);

    setFixedHeight(kHeight);
    resize(979, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    generator_.FreqPopup = this;
}

TFreqPopup::~TFreqPopup() {
    if (generator_.FreqPopup == this) generator_.FreqPopup = nullptr;
}

void TFreqPopup::SetSliderPosition(int32_t position) {
    settingByCode_ = true;
    FreqSlider->setValue(position);
    settingByCode_ = false;
}

void TFreqPopup::SetRange(int32_t minimum, int32_t maximum) {
    // The thumb stays inside the new range; that move is not the user's.
    settingByCode_ = true;
    FreqSlider->setRange(minimum, maximum);
    settingByCode_ = false;
}

void TFreqPopup::SetMaximum(int32_t position) {
    // A lower rate can leave the maximum below a raised minimum: the minimum
    // comes down to it, and the lowest field shows that limit.
    if (position < FreqSlider->minimum()) {
        SetRange(position, position);
        ResetToLimit(MinFreqEdit, position);
    } else {
        SetRange(FreqSlider->minimum(), position);
    }
}

void TFreqPopup::FollowRate(int32_t sampleRate) {
    const std::optional<int32_t> maximum = MaxSliderPosition(sampleRate);
    if (!maximum) return;
    SetMaximum(*maximum);
    MaxFreqEdit->setText(ToQString(IntToText(sampleRate / 2)));
}

void TFreqPopup::ShowOrHide(bool shown) {
    if (shown) {
        FollowRate(generator_.State.SampleRate);
        show();
        raise();
        activateWindow();
    } else {
        hide();
    }
    ShowConstantPage();
}

void TFreqPopup::ShowConstantPage() {
    if (generator_.SignalType->currentWidget() == generator_.Constant) return;
    generator_.SignalType->setCurrentWidget(generator_.Constant);
    // The state still describes the sweep; without a recomputation the
    // Constant page would go on playing the sweep's current frequency.
    generator_.fEditChange();
}

void TFreqPopup::FreqSliderChange() {
    ShowConstantPage();
    generator_.fEdit->setText(ToQString(IntToText(SliderFrequency(FreqSlider->value()))));
}

void TFreqPopup::ResetToLimit(QLineEdit* edit, int32_t position) {
    edit->setText(ToQString(IntToText(SliderFrequency(position))));
}

LimitInput TFreqPopup::LimitInputs(const QLineEdit* field, const QLineEdit* other) const {
    return {field->text().toStdString(), other->text().toStdString(),
            generator_.fEdit->text().toStdString(), generator_.State.SampleRate,
            generator_.DecimalSeparator};
}

bool TFreqPopup::Accepted(const LimitOutcome& out, QLineEdit* edit, int32_t limit) {
    if (out.BadNumber) {
        Dialogs::Get().Error(this, QStringLiteral("'%1' is not a valid floating point value")
                                       .arg(ToQString(*out.BadNumber)));
        return false;
    }
    if (!out.Position) {
        ResetToLimit(edit, limit);
        return false;
    }
    return true;
}

void TFreqPopup::MinFreqEditExit() {
    const LimitOutcome out = ApplyLowest(LimitInputs(MinFreqEdit, MaxFreqEdit));
    if (!Accepted(out, MinFreqEdit, FreqSlider->minimum())) return;
    // The highest field may hold a number that was never applied; the
    // slider's own maximum is the limit that counts.
    if (*out.Position > FreqSlider->maximum()) {
        ResetToLimit(MinFreqEdit, FreqSlider->minimum());
        return;
    }
    SetRange(*out.Position, FreqSlider->maximum());
    if (out.fEdit) generator_.fEdit->setText(ToQString(*out.fEdit));
}

void TFreqPopup::MaxFreqEditExit() {
    const LimitOutcome out = ApplyHighest(LimitInputs(MaxFreqEdit, MinFreqEdit));
    if (!Accepted(out, MaxFreqEdit, FreqSlider->maximum())) return;
    SetMaximum(*out.Position);
    if (out.fEdit) generator_.fEdit->setText(ToQString(*out.fEdit));
}

void TFreqPopup::MaxFreqEditKeyPress(int Key) {
    // Leaving the field runs its exit rule.
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) FreqSlider->setFocus(Qt::OtherFocusReason);
}

void TFreqPopup::FormClose() {
    generator_.FreqSlider1->setChecked(false);
}

void TFreqPopup::FormResize() {
    setFixedHeight(kHeight);
    FreqSlider->setGeometry(-10, 0, width() - 10, 41);
    const int editHeight = MinFreqEdit->sizeHint().height();
    MinFreqEdit->setGeometry(5, 42, 41, editHeight);
    MaxFreqEdit->setGeometry(width() - 75, 42, 50, editHeight);
}

void TFreqPopup::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFreqPopup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TFreqPopup::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A tool window stays above the window it belongs to.
    if (QWindow* own = windowHandle()) own->setTransientParent(generator_.windowHandle());
    FormResize();
}

bool TFreqPopup::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        MaxFreqEditKeyPress(key);
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    } else if (edit && event->type() == QEvent::FocusOut) {
        // Switching to another window or opening a menu does not leave the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (edit == MinFreqEdit) MinFreqEditExit();
            else MaxFreqEditExit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orv

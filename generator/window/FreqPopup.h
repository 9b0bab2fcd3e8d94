#pragma once
// The frequency slider window: one wide logarithmic slider that sets the
// generator's constant frequency in whole hertz, and two fields that narrow
// the slider to a lowest and a highest frequency.
#include <QWidget>

#include <cstdint>

#include "generator/window/FreqRange.h"

class QLineEdit;
class QSlider;

namespace orv {

class TGenerator;

class TFreqPopup : public QWidget {
    Q_OBJECT
public:
    // Created hidden; registers itself with the generator, which it must not outlive.
    explicit TFreqPopup(TGenerator& generator);
    ~TFreqPopup() override;

    QSlider* FreqSlider;
    QLineEdit* MinFreqEdit;
    QLineEdit* MaxFreqEdit;

    void FreqSliderChange();
    void MinFreqEditExit();
    void MaxFreqEditExit();
    void MaxFreqEditKeyPress(int Key);
    void FormClose();
    void FormResize();

    // The slider's position set by code; FreqSliderChange does not run.
    void SetSliderPosition(int32_t position);
    // Slider maximum and highest field for a new sample rate.
    void FollowRate(int32_t sampleRate);
    // The Tools menu's mark: shown (with the maximum from the current rate) or hidden.
    void ShowOrHide(bool shown);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetRange(int32_t minimum, int32_t maximum);
    void SetMaximum(int32_t position);
    LimitInput LimitInputs(const QLineEdit* field, const QLineEdit* other) const;
    // Reports an unreadable number or resets the field to the slider's limit;
    // true when the outcome is to be applied.
    bool Accepted(const LimitOutcome& out, QLineEdit* edit, int32_t limit);
    void ShowConstantPage();
    void ResetToLimit(QLineEdit* edit, int32_t position);

    TGenerator& generator_;
    bool settingByCode_ = false;
};

}  // namespace orv

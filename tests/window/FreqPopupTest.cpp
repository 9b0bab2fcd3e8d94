#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include "generator/window/FreqPopup.h"
#include "generator/window/FreqRange.h"
#include "generator/window/Generator.h"
#include "tests/window/WindowFixture.h"

namespace orv {
namespace {

TEST(FreqRange, PositionsAndFrequencies) {
    const struct {
        int32_t position;
        int32_t hertz;
    } scale[] = {{100, 3}, {176, 3}, {1000, 20}, {2000, 200}, {3000, 2000}, {4000, 20000},
                 {4042, 22031}, {-1000, 0}};
    for (const auto& c : scale) EXPECT_EQ(SliderFrequency(c.position), c.hertz) << c.position;

    const struct {
        int32_t rate;
        std::optional<int32_t> maximum;
    } rates[] = {{11025, 3440}, {22050, 3741}, {44100, 4042}, {96000, 4380}, {3, std::nullopt},
                 {0, std::nullopt}};
    for (const auto& c : rates) EXPECT_EQ(MaxSliderPosition(c.rate), c.maximum) << c.rate;
}

TEST(FreqRange, LimitRules) {
    const struct Case {
        bool lowest;
        const char* text;
        const char* other;
        const char* f;
        char separator;
        std::optional<int32_t> position;
        std::optional<std::string> fEdit;
        std::optional<std::string> badNumber;
    } cases[] = {
        {true, "1000", "22050", "440", '.', 2699, "1000", {}},
        {true, "440.1", "22050", "300", '.', 2343, "440.100006103516", {}},
        {true, "440.1", "22050", "500", '.', 2343, {}, {}},
        {true, "5.5", "22050", "440", ',', 439, {}, {}},
        {true, "5,5", "22050", "440", ',', {}, {}, {}},
        {true, "", "22050", "440", '.', {}, {}, {}},
        {true, "0", "22050", "440", '.', {}, {}, {}},
        {true, "-5", "abc", "440", '.', {}, {}, {}},
        {true, "22050", "22050", "440", '.', {}, {}, {}},
        {true, "10", "abc", "440", '.', {}, {}, "abc"},
        {true, "1000", "22050", "x", '.', {}, {}, "x"},
        {true, "2 ", "22050,5", "440", ',', 0, {}, {}},
        {false, "5000", "2", "8000", '.', 3398, "5000", {}},
        {false, "30000", "2", "440", '.', {}, {}, {}},
        {false, "22050", "2", "440", '.', {}, {}, {}},
        {false, "22049.5", "2", "440", '.', 4042, {}, {}},
        {false, "5000", "6000", "440", '.', {}, {}, {}},
        {false, "5000", "2.5", "440", ',', {}, {}, "2.5"},
        {false, "", "2", "440", '.', {}, {}, {}},
    };
    for (const Case& c : cases) {
        const LimitInput in{c.text, c.other, c.f, 44100, c.separator};
        const LimitOutcome out = c.lowest ? ApplyLowest(in) : ApplyHighest(in);
        SCOPED_TRACE(std::string(c.lowest ? "lowest " : "highest ") + c.text);
        EXPECT_EQ(out.Position, c.position);
        EXPECT_EQ(out.fEdit, c.fEdit);
        EXPECT_EQ(out.BadNumber, c.badNumber);
    }
}

class FreqPopupTest : public GeneratorTest {
protected:
    void Open() {
        gen_->FreqSlider1Click();
        ASSERT_TRUE(popup_->isVisible());
        popup_->activateWindow();
        QApplication::setActiveWindow(popup_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(popup_.get(), 2000));
    }

    // Types into a limit field and presses Enter, which leaves it for the slider.
    void Enter(QLineEdit* edit, const QString& text) {
        TypeInto(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }

    QSlider* Slider() const { return popup_->FreqSlider; }
};

TEST_F(FreqPopupTest, CreatedHiddenWithItsDesignRange) {
    Create();
    EXPECT_FALSE(popup_->isVisible());
    EXPECT_EQ(popup_->windowTitle(), "Constant Tone Frequency");
    EXPECT_TRUE(popup_->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(Slider()->minimum(), 100);
    EXPECT_EQ(Slider()->maximum(), 4000);
    EXPECT_EQ(popup_->MinFreqEdit->text(), "2");
    EXPECT_EQ(popup_->MaxFreqEdit->text(), "");
    EXPECT_EQ(gen_->FreqPopup, popup_.get());
    popup_.reset();
    EXPECT_EQ(gen_->FreqPopup, nullptr);
}

TEST_F(FreqPopupTest, RecomputationMovesTheHiddenSliderWithoutItsChangeRule) {
    Create();
    EXPECT_EQ(Slider()->value(), 2699);  // 1000 Hz
    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    // Had the slider's change rule run, fEdit would now hold a whole number
    // and the page would be Constant.
    gen_->fEdit->setText("440.4");
    EXPECT_EQ(Slider()->value(), 2343);
    EXPECT_EQ(gen_->fEdit->text(), "440.4");
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    EXPECT_FALSE(popup_->isVisible());
    // Beyond the range the thumb stands at the end.
    gen_->fEdit->setText("2");
    EXPECT_EQ(Slider()->value(), 100);
    EXPECT_EQ(gen_->fEdit->text(), "2");
}

TEST_F(FreqPopupTest, UserMovesSnapToWholeHertz) {
    Create();
    ChooseRate(2);  // 44100 Hz
    Open();
    Slider()->setFocus();
    QTest::keyClick(Slider(), Qt::Key_Home);
    EXPECT_EQ(gen_->fEdit->text(), "3");
    EXPECT_EQ(Slider()->value(), 176);
    QTest::keyClick(Slider(), Qt::Key_End);
    EXPECT_EQ(gen_->fEdit->text(), "22031");
    EXPECT_EQ(Slider()->value(), 4042);
    Slider()->setSliderPosition(4000);  // as a drag does
    EXPECT_EQ(gen_->fEdit->text(), "20000");
    Slider()->setSliderPosition(1000);
    EXPECT_EQ(gen_->fEdit->text(), "20");
    QTest::keyClick(Slider(), Qt::Key_Right);
    EXPECT_EQ(Slider()->value(), 1001);  // still 20 Hz
    EXPECT_EQ(gen_->fEdit->text(), "20");
}

TEST_F(FreqPopupTest, SwitchingToTheConstantPageRecomputes) {
    Create();
    gen_->fEdit->setText("20");
    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    gen_->fEditChange();
    ASSERT_NE(gen_->State.StartFreqNorm, 20.0f / 22050);
    Open();
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Constant);
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 20.0f / 22050);

    // The slider's frequency equals the text already there: only the page changes.
    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    gen_->fEditChange();
    Slider()->setSliderPosition(1001);
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Constant);
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 20.0f / 22050);
    EXPECT_EQ(gen_->State.StepAdd, 0.0f);
    EXPECT_EQ(gen_->State.StepFactor, 1.0f);
}

TEST_F(FreqPopupTest, RateSetsTheMaximumWhetherShownOrNot) {
    Create();
    ChooseRate(2);
    EXPECT_EQ(Slider()->maximum(), 4042);
    EXPECT_EQ(popup_->MaxFreqEdit->text(), "22050");
    ChooseRate(4);
    EXPECT_EQ(Slider()->maximum(), 4380);
    EXPECT_EQ(popup_->MaxFreqEdit->text(), "48000");
}

TEST_F(FreqPopupTest, LimitFieldsApplyOnEnter) {
    Create();
    ChooseRate(2);
    Open();
    gen_->fEdit->setText("440");
    Enter(popup_->MinFreqEdit, "1000");
    EXPECT_TRUE(Slider()->hasFocus());
    EXPECT_EQ(Slider()->minimum(), 2699);
    EXPECT_EQ(gen_->fEdit->text(), "1000");
    EXPECT_EQ(Slider()->value(), 2699);

    Enter(popup_->MaxFreqEdit, "30000");
    EXPECT_EQ(popup_->MaxFreqEdit->text(), "22031");
    EXPECT_EQ(Slider()->maximum(), 4042);

    Enter(popup_->MaxFreqEdit, "5000");
    EXPECT_EQ(Slider()->maximum(), 3398);
    Enter(popup_->MinFreqEdit, "");
    EXPECT_EQ(popup_->MinFreqEdit->text(), "1000");  // the frequency of 2699
    EXPECT_EQ(Slider()->minimum(), 2699);

    Enter(popup_->MinFreqEdit, "300");
    Enter(popup_->MinFreqEdit, "440.1");
    EXPECT_EQ(gen_->fEdit->text(), "1000");
    EXPECT_EQ(Slider()->minimum(), 2343);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(FreqPopupTest, LowestAboveTheConstantFrequencyRaisesIt) {
    Create();
    Open();
    gen_->fEdit->setText("300");
    Enter(popup_->MinFreqEdit, "440.1");
    EXPECT_EQ(gen_->fEdit->text(), "440.100006103516");
}

TEST_F(FreqPopupTest, CommaLocaleStillReadsLimitsWithAPoint) {
    Create(',');
    Open();
    Enter(popup_->MinFreqEdit, "5,5");
    EXPECT_EQ(popup_->MinFreqEdit->text(), "3");
    EXPECT_EQ(Slider()->minimum(), 100);
    Enter(popup_->MinFreqEdit, "5.5");
    EXPECT_EQ(Slider()->minimum(), 439);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(FreqPopupTest, UnreadableOtherFieldIsReportedAndNothingApplied) {
    Create();
    Open();
    popup_->MaxFreqEdit->setText("abc");
    Enter(popup_->MinFreqEdit, "10");
    ASSERT_EQ(dialogs_->Log.size(), 1u);
    EXPECT_EQ(dialogs_->Log[0].Kind, "error");
    EXPECT_EQ(dialogs_->Log[0].Text, "'abc' is not a valid floating point value");
    EXPECT_EQ(Slider()->minimum(), 100);
    EXPECT_EQ(popup_->MinFreqEdit->text(), "10");
}

TEST_F(FreqPopupTest, RangeStaysValid) {
    Create();
    ChooseRate(2);
    Open();
    // A highest number typed but never applied cannot lift the minimum past the maximum.
    popup_->MaxFreqEdit->setText("30000");
    Enter(popup_->MinFreqEdit, "25000");
    EXPECT_EQ(Slider()->minimum(), 100);
    EXPECT_EQ(popup_->MinFreqEdit->text(), "3");
    EXPECT_EQ(Slider()->maximum(), 4042);

    popup_->MaxFreqEdit->setText("22050");
    Enter(popup_->MinFreqEdit, "15000");
    EXPECT_EQ(Slider()->minimum(), 3875);
    ChooseRate(1);  // 22050 Hz: the maximum 3741 falls below that minimum
    EXPECT_EQ(Slider()->maximum(), 3741);
    EXPECT_EQ(Slider()->minimum(), 3741);
    EXPECT_EQ(popup_->MinFreqEdit->text(), "11016");
    EXPECT_EQ(gen_->fEdit->text(), "11025");
}

TEST_F(FreqPopupTest, MenuItemAndCloseBox) {
    Create();
    ChooseRate(2);
    gen_->FreqSlider1->trigger();  // as the menu does
    EXPECT_TRUE(gen_->FreqSlider1->isChecked());
    EXPECT_TRUE(popup_->isVisible());
    gen_->FreqSlider1->trigger();
    EXPECT_FALSE(gen_->FreqSlider1->isChecked());
    EXPECT_FALSE(popup_->isVisible());

    Open();
    Enter(popup_->MinFreqEdit, "1000");
    Enter(popup_->MaxFreqEdit, "5000");
    ASSERT_EQ(Slider()->maximum(), 3398);
    popup_->close();
    EXPECT_FALSE(gen_->FreqSlider1->isChecked());
    EXPECT_FALSE(popup_->isVisible());

    Open();
    EXPECT_TRUE(gen_->FreqSlider1->isChecked());
    EXPECT_EQ(Slider()->maximum(), 4042);
    EXPECT_EQ(popup_->MaxFreqEdit->text(), "22050");
    EXPECT_EQ(Slider()->minimum(), 2699);
    EXPECT_EQ(popup_->MinFreqEdit->text(), "1000");
}

TEST_F(FreqPopupTest, OnlyTheWidthCanChange) {
    Create();
    Open();
    EXPECT_EQ(popup_->size(), QSize(979, 105));
    popup_->resize(800, 300);
    QApplication::processEvents();
    EXPECT_EQ(popup_->height(), 105);
    EXPECT_EQ(popup_->width(), 800);
    EXPECT_EQ(Slider()->width(), 790);
    EXPECT_EQ(popup_->MaxFreqEdit->x(), 725);
}

}  // namespace
}  // namespace orv

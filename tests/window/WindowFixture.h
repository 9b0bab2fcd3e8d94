#pragma once
// The generator window with the fake output and scripted dialogs, created the
// way the program creates it, for the window tests.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "generator/audioout/FakeWaveOut.h"
#include "generator/window/AboutBox.h"
#include "generator/window/FreqPopup.h"
#include "generator/window/Generator.h"
#include "generator/window/SettingsForm.h"
#include "platform/Dialogs.h"

namespace orv {

class GeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        Dialogs::Install(std::move(dialogs));
        fake_.Devices = {"First card", "Second card"};
    }

    void TearDown() override {
        settings_.reset();
        about_.reset();
        popup_.reset();
        gen_.reset();
        Dialogs::Install(nullptr);
    }

    void Create(char decimalSeparator = '.') {
        gen_ = std::make_unique<TGenerator>(fake_, decimalSeparator);
        popup_ = std::make_unique<TFreqPopup>(*gen_);
        about_ = std::make_unique<TAboutBox>(*gen_);
        settings_ = std::make_unique<TSettingsForm>(*gen_);
        gen_->show();
        gen_->activateWindow();
        QApplication::setActiveWindow(gen_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(gen_.get(), 2000));
    }

    void ChooseRate(int index) {
        settings_->FsList->setCurrentIndex(index);
        settings_->FsListChange();
    }

    // Replaces the edit's text by typing; the focus stays in the edit.
    static void TypeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    // Types the text into the edit and leaves it, which runs its exit rule.
    void TypeAndLeave(QLineEdit* edit, const QString& text) {
        TypeInto(edit, text);
        gen_->chkSync->setFocus();
        QApplication::processEvents();
    }

    // Bounded wait; with play set the fake device plays its queued buffers.
    bool WaitFor(const std::function<bool()>& done, bool play = true) {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired()) {
            QApplication::processEvents();
            if (play) fake_.CompleteOne();
        }
        return done();
    }

    void Start() {
        gen_->btnONClick();
        ASSERT_TRUE(WaitFor([&] { return gen_->Playing; }, false));
    }

    QTemporaryDir config_;
    FakeWaveOut fake_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<TGenerator> gen_;
    std::unique_ptr<TFreqPopup> popup_;
    std::unique_ptr<TAboutBox> about_;
    std::unique_ptr<TSettingsForm> settings_;
};

}  // namespace orv

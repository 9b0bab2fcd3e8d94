#include "generator/script/ScriptPopup.h"

#include "FakeHost.h"
#include "platform/Help.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace orv;

namespace {

TEST(ScriptPopup, IsAToolWindowWithCancelAndNext) {
    FakeHost host;
    EXPECT_EQ(host.popup.windowType(), Qt::Tool);
    EXPECT_EQ(host.popup.parentWidget(), nullptr);
    EXPECT_EQ(host.popup.Button1->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(host.popup.Button2->text(), QStringLiteral("Next"));
    EXPECT_FALSE(host.popup.isVisible());
}

TEST(ScriptPopup, ShowingSetsTheCaption) {
    FakeHost host;
    host.popup.setWindowTitle(QStringLiteral("old"));
    host.popup.show();
    EXPECT_EQ(host.popup.windowTitle(), QStringLiteral("ORV 3.21 Script"));
}

TEST(ScriptPopup, ShowsTheLineAndItsKeyword) {
    FakeHost host;
    host.popup.ShowLine(3, "tone");
    EXPECT_EQ(host.popup.Label1->text(), QStringLiteral("Line 3: tone"));
    host.popup.ShowLine(12, "");
    EXPECT_EQ(host.popup.Label1->text(), QStringLiteral("Line 12: "));
}

TEST(ScriptPopup, CancelHidesAndEnablesTheWindowButLeavesPlaying) {
    FakeHost host;
    host.popup.show();
    host.SetWindowEnabled(false);
    host.playing = true;
    host.popup.Button1->click();
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_TRUE(host.enabled);
    EXPECT_TRUE(host.playing);
}

TEST(ScriptPopup, NextClearsPlayingHidesAndEnablesTheWindow) {
    FakeHost host;
    host.popup.show();
    host.SetWindowEnabled(false);
    host.playing = true;
    host.popup.Button2->click();
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_TRUE(host.enabled);
    EXPECT_FALSE(host.playing);
}

TEST(ScriptPopup, F1OpensTopicFour) {
    FakeHost host;
    host.popup.HelpFile = QStringLiteral(ORV_HELP_FILE);
    host.popup.show();
    QTest::keyClick(&host.popup, Qt::Key_F1);
    EXPECT_EQ(ShownHelpTopic(), QStringLiteral("IDH_4"));
}

}  // namespace

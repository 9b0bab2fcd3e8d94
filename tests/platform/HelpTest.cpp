#include "platform/Help.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

using namespace orv;

namespace {

QWidget* HelpWindow()
{
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "HelpWindow") {
            EXPECT_EQ(found, nullptr) << "more than one help window";
            found = w;
        }
    }
    return found;
}

QTextBrowser* Browser()
{
    QWidget* window = HelpWindow();
    return window ? window->findChild<QTextBrowser*>("HelpBrowser") : nullptr;
}

int ScrollPosition()
{
    return Browser()->verticalScrollBar()->value();
}

// Three topics far apart, so each lies beyond the first screen.
QString WriteHelp(const QTemporaryDir& dir)
{
    QString html = "<html><body>";
    for (int topic = 1; topic <= 3; ++topic) {
        html += QString("<h2 id=\"IDH_%1\"><a name=\"IDH_%1\"></a>Topic %1</h2>").arg(topic);
        for (int i = 0; i < 80; ++i)
            html += "<p>Filler line of the topic.</p>";
    }
    html += "</body></html>";
    const QString name = dir.filePath("ORV.html");
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(html.toUtf8());
    return name;
}

TEST(Help, ShowsTheTopicInOneReusedWindow)
{
    QTemporaryDir dir;
    const QString file = WriteHelp(dir);

    ShowHelpTopic(file, "IDH_3");
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->windowTitle(), "Orvana Help");
    EXPECT_FALSE(HelpWindow()->isModal());
    EXPECT_EQ(ShownHelpTopic(), "IDH_3");
    const int third = ScrollPosition();
    EXPECT_GT(third, 0);

    ShowHelpTopic(file, "IDH_2");
    EXPECT_EQ(ShownHelpTopic(), "IDH_2");
    const int second = ScrollPosition();
    EXPECT_GT(second, 0);
    EXPECT_LT(second, third);

    ShowHelpTopic(file, "IDH_1");
    EXPECT_LT(ScrollPosition(), second);
    HelpWindow()->close();
    EXPECT_EQ(ShownHelpTopic(), "");
}

TEST(Help, ALinkToATopicScrollsWithinTheFile)
{
    QTemporaryDir dir;
    const QString file = WriteHelp(dir);
    ShowHelpTopic(file, "IDH_3");
    const int third = ScrollPosition();
    ShowHelpTopic(file, "IDH_1");

    Browser()->setSource(QUrl("#IDH_3"));  // what a click on <a href="#IDH_3"> does
    EXPECT_EQ(ScrollPosition(), third);
    EXPECT_TRUE(Browser()->toPlainText().contains("Topic 1"));
    HelpWindow()->close();
}

TEST(Help, AMissingFileShowsAPageNamingIt)
{
    const QString missing = "/nonexistent-folder/ORV.html";
    ShowHelpTopic(missing, "IDH_2");
    ASSERT_NE(Browser(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_TRUE(Browser()->toPlainText().contains(missing)) << Browser()->toPlainText().toStdString();
    HelpWindow()->close();
}

TEST(Help, AFileThatAppearsLaterIsShown)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ORV.html");
    ShowHelpTopic(file, "IDH_1");
    WriteHelp(dir);
    ShowHelpTopic(file, "IDH_1");
    EXPECT_TRUE(Browser()->toPlainText().contains("Topic 1"));
    HelpWindow()->close();
}

TEST(Help, TheProgramsHelpHoldsItsTopicsInOrder)
{
    int previous = -1;
    for (int topic = 1; topic <= 6; ++topic) {
        const QString name = QString("IDH_%1").arg(topic);
        ShowHelpTopic(ORV_HELP_FILE, name);
        ASSERT_EQ(ShownHelpTopic(), name);
        EXPECT_GT(ScrollPosition(), previous) << name.toStdString();
        previous = ScrollPosition();
    }
    HelpWindow()->close();
}

}  // namespace

// The dialogs and the help window need a QApplication around every test.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Listing the tests happens without the test environment; never open a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvana"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orvana 3.21"));
    return RUN_ALL_TESTS();
}

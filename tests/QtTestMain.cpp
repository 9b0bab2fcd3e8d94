// The windows and dialogs need a QApplication around every test.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Listing the tests happens without the test environment; never open a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvana"));
    return RUN_ALL_TESTS();
}

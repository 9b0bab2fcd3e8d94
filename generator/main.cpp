// The generator program: its windows, then what the command line asks for.
#include <QApplication>
#include <QLocale>

#include "generator/audioout/AlsaWaveOut.h"
#include "generator/window/StartUp.h"
#include "platform/QuitSignals.h"

namespace {

char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128 ? point.at(0).toLatin1() : '.';
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvana"));
    orv::AlsaWaveOut service;
    orv::GeneratorWindows windows(service, SystemDecimalSeparator());
    QObject::connect(&windows.Generator, &orv::TGenerator::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    // A terminal's Ctrl+C or the session's SIGTERM closes the window, which
    // stops the output cleanly.
    orv::CloseOnQuitSignals([&windows] { windows.Generator.close(); });
    if (const std::optional<int> code = orv::StartUp(windows, app.arguments().mid(1))) return *code;
    return app.exec();
}

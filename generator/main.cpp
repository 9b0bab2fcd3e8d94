// The generator program: the main window, then the compatibility settings,
// which set the sample rate.
#include <QApplication>
#include <QLocale>

#include "generator/audioout/AlsaWaveOut.h"
#include "generator/window/Generator.h"
#include "generator/window/SettingsForm.h"

namespace {

char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128 ? point.at(0).toLatin1() : '.';
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvana"));
    const char separator = SystemDecimalSeparator();
    orv::AlsaWaveOut service;
    orv::TGenerator generator(service, separator);
    orv::TSettingsForm settings(generator);
    QObject::connect(&generator, &orv::TGenerator::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    generator.show();
    return app.exec();
}

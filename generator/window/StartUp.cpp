#include "generator/window/StartUp.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace orv {

GeneratorWindows::GeneratorWindows(WaveOutService& service, char decimalSeparator)
    : Generator(service, decimalSeparator),
      ScriptPopup(Generator.ScriptControls()),
      FreqPopup(Generator),
      AboutBox(Generator),
      Settings(Generator),
      WaitForm(Generator) {
    Generator.ScriptPopup = &ScriptPopup;
}

QString CommandLineFileName(const QStringList& parameters) {
    return parameters.join(QLatin1Char(' '));
}

namespace {

// Folders are no files to load or run; the name is taken as given, so a
// relative name is found from the current directory.
bool NamesAFile(const QString& name) {
    const QFileInfo info(name);
    return info.exists() && !info.isDir();
}

}  // namespace

std::optional<int> StartUp(GeneratorWindows& windows, const QStringList& parameters) {
    TGenerator& generator = windows.Generator;
    const QString name = CommandLineFileName(parameters);
    if (parameters.isEmpty())
        (void)generator.LoadPresetFile(QCoreApplication::applicationDirPath() +
                                       QStringLiteral("/Examples.orv"));
    // The extension is compared case-sensitively and without its dot.
    if (NamesAFile(name) && name.endsWith(QStringLiteral("ovs"))) {
        generator.hide();
        return generator.RunScript(name) ? 0 : 1;
    }
    if (NamesAFile(name) && name.endsWith(QStringLiteral("orv"))) (void)generator.LoadPresetFile(name);
    generator.show();
    return std::nullopt;
}

}  // namespace orv

#pragma once
// The generator program's start: its windows in their creation order, and
// what the command line asks for.
#include <QString>
#include <QStringList>

#include <optional>

#include "generator/audioout/WaveOut.h"
#include "generator/script/ScriptPopup.h"
#include "generator/window/AboutBox.h"
#include "generator/window/FreqPopup.h"
#include "generator/window/Generator.h"
#include "generator/window/SettingsForm.h"
#include "generator/window/WaitForm.h"

namespace orv {

// Each window runs its creation step as it is built, in member order; the
// settings window recomputes the generator, so it comes after it.
struct GeneratorWindows {
    GeneratorWindows(WaveOutService& service, char decimalSeparator);

    TGenerator Generator;
    TScriptPopup ScriptPopup;
    TFreqPopup FreqPopup;
    TAboutBox AboutBox;
    TSettingsForm Settings;
    TWaitForm WaitForm;
};

// The parameters after the program name as one file name: joined with single
// blanks, so that an unquoted path with a blank still names its file.
QString CommandLineFileName(const QStringList& parameters);

// Loads the examples, a preset file or runs a script as the parameters ask,
// then shows the generator. After a script the program ends at once: the
// result is then its exit code, and the generator was never shown.
std::optional<int> StartUp(GeneratorWindows& windows, const QStringList& parameters);

}  // namespace orv

#pragma once
// Plays a script file by driving the generator window line by line.
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "generator/script/ScriptHost.h"

namespace orv {

inline constexpr const char* kScriptFilter = "ORV Script|*.ovs|All Files|*.*";

// The open dialog of "Run Script"; empty when the user cancels.
std::optional<QString> AskForScriptFile(QWidget* parent);

enum class ScriptEnd {
    Finished,  // "end", an invalid line, Cancel or Next
    // The file could not be read or a line did not convert. The message has
    // been shown; the popup stays up and the window disabled until the user
    // presses Cancel or Next.
    Failed,
};

// One 100 ms step of a delay. Tests count the steps instead.
using StepSleep = std::function<void()>;
void SleepOneStep();

// Runs the script and returns when the run has ended. Serves the event
// queue while it waits, so it may be entered again from inside itself: the
// outer run then ends as soon as the inner one returns.
ScriptEnd RunScript(ScriptHost& host, const QString& fileName, const StepSleep& sleep = SleepOneStep);

}  // namespace orv

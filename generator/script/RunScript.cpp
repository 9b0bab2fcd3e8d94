#include "generator/script/RunScript.h"

#include "common/NumberText.h"
#include "generator/files/FileBytes.h"
#include "generator/script/ScriptPopup.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>

namespace orv {
namespace {

constexpr const char* kPauseText = "Pause in script. Press OK to continue";
constexpr const char* kInvalidCommand = "Invalid command in line ";

class Runner {
public:
    Runner(ScriptHost& host, const StepSleep& sleep)
        : host_(host), popup_(host.ScriptPopup()), sleep_(sleep), run_(popup_.StartRun()) {}

    ScriptEnd Run(const QString& fileName) {
        if (popup_.delaying) host_.SetPlaying(false);
        const bool loopWas = host_.LoopChecked();
        host_.SetWindowEnabled(false);
        popup_.Label1->clear();
        popup_.show();

        std::string text;
        const FileResult read = ReadFileBytes(QFile::encodeName(fileName).toStdString(), text);
        if (!read.Ok) return Fail(read.ErrorText);
        script::LineReader reader(std::move(text));

        do {
            const script::LineFields fields = script::SplitLine(reader.NextLine());
            ++counter_;
            popup_.ShowLine(counter_, fields.Field(1));
            const std::string error = Perform(fields, reader);
            if (!error.empty()) {
                // The user's Loop comes back at once; the popup stays up.
                host_.SetLoopChecked(loopWas);
                return Fail(error);
            }
            QCoreApplication::processEvents();
            // Sleeps until the next event rather than spinning.
            while (host_.IsPlaying() && !Superseded())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } while (popup_.isVisible() && !Superseded());

        host_.SetLoopChecked(loopWas);
        // A run started inside this one has set the window and the popup.
        if (Superseded()) return ScriptEnd::Finished;
        host_.SetWindowEnabled(true);
        host_.BringWindowToFront();
        popup_.hide();
        return ScriptEnd::Finished;
    }

private:
    bool Superseded() const { return popup_.Superseded(run_); }

    ScriptEnd Fail(const std::string& message) {
        Dialogs::Get().Error(&popup_, QString::fromStdString(message));
        return ScriptEnd::Failed;
    }

    // The command of one line; the conversion error text when it fails.
    std::string Perform(const script::LineFields& fields, script::LineReader& reader) {
        const std::string& keyword = fields.Field(1);
        const std::optional<script::Command> command = script::CommandOf(keyword);
        if (!command) {
            if (!script::IsComment(keyword)) {
                Dialogs::Get().Information(&popup_, QString::fromLatin1(kInvalidCommand) +
                                                        QString::fromStdString(IntToText(counter_)));
                popup_.hide();
            }
            return {};
        }
        switch (*command) {
            case script::Command::Tone:
            case script::Command::Sweep: {
                host_.SetLoopChecked(false);
                const script::ReadResult read = *command == script::Command::Tone
                                                    ? script::ReadToneLine(fields, host_)
                                                    : script::ReadSweepLine(fields, host_);
                if (!read.ok()) return read.error;
                host_.btnONClick();
                return {};
            }
            case script::Command::Delay: return Delay(fields);
            case script::Command::Pause:
                Dialogs::Get().Information(&popup_, QString::fromLatin1(kPauseText));
                return {};
            case script::Command::Repeat:
                reader.Rewind();
                counter_ = 0;
                return {};
            case script::Command::End:
                popup_.hide();
                return {};
        }
        return {};
    }

    // The time is converted before the first step, so a time that does not
    // convert leaves Playing as it was.
    std::string Delay(const script::LineFields& fields) {
        const script::DelayTime time = script::DelaySeconds(fields, host_.Separator());
        if (!time.ok()) return time.error;
        const double tenths = time.seconds * 10.0;
        int64_t steps = 0;
        popup_.delaying = true;
        do {
            host_.SetPlaying(true);
            sleep_();
            QCoreApplication::processEvents();
            ++steps;
        } while (host_.IsPlaying() && !Superseded() && static_cast<double>(steps) < tenths);
        popup_.delaying = false;
        host_.SetPlaying(false);
        return {};
    }

    ScriptHost& host_;
    TScriptPopup& popup_;
    const StepSleep& sleep_;
    const uint64_t run_;
    // Lines read since the start or the last "repeat", the header included.
    int32_t counter_ = 0;
};

}  // namespace

std::optional<QString> AskForScriptFile(QWidget* parent) {
    FileDialogRequest request;
    request.Filter = QString::fromLatin1(kScriptFilter);
    return Dialogs::Get().OpenFile(parent, request);
}

void SleepOneStep() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

ScriptEnd RunScript(ScriptHost& host, const QString& fileName, const StepSleep& sleep) {
    return Runner(host, sleep).Run(fileName);
}

}  // namespace orv

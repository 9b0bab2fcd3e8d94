#pragma once
// A generator window for the runner: records what the runner does to it in
// one log and plays "outputs" through queued events.
#include "generator/script/ScriptHost.h"
#include "generator/script/ScriptPopup.h"
#include "TestSinks.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

namespace orv {

class FakeHost : public ScriptHost {
public:
    FakeHost();

    void SelectCommand(script::Command command) override;
    void SetText(script::Edit edit, const std::string& text) override;
    void SetChecked(script::Check box, bool checked) override;
    void SelectIndex(script::List list, int32_t index) override;

    bool LoopChecked() const override { return loop; }
    void SetLoopChecked(bool checked) override;
    void SetWindowEnabled(bool enabled) override;
    void BringWindowToFront() override;
    void btnONClick() override;
    bool IsPlaying() const override;
    void SetPlaying(bool on) override { playing = on; }
    char Separator() const override { return separator; }
    TScriptPopup& ScriptPopup() override { return popup; }

    // Runs f from the event queue, as a notification or a click would arrive.
    void Later(std::function<void()> f);
    // The output's start and stop notifications.
    void Start();
    void Stop();

    // How the output answers ON press n (from 1); by default it starts and
    // stops by itself.
    std::function<void(FakeHost&, int press)> output;

    bool loop = false;
    bool playing = false;
    bool enabled = true;
    char separator = '.';
    int presses = 0;
    std::vector<std::string> log;
    // The control writes alone, in the script library's notation.
    script::RecordingSink controls;
    // Every status text the popup showed while the runner looked at Playing.
    mutable std::vector<std::string> lines;
    QObject context;
    TScriptPopup popup;
};

}  // namespace orv

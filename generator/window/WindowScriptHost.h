#pragma once
// The generator window as the script runner sees it: line fields go into the
// window's own controls, as if the user had typed and clicked them.
#include "generator/script/ScriptHost.h"

namespace orv {

class TGenerator;

class WindowScriptHost : public ScriptHost {
public:
    explicit WindowScriptHost(TGenerator& generator) : generator_(generator) {}

    void SelectCommand(script::Command command) override;
    void SetText(script::Edit edit, const std::string& text) override;
    void SetChecked(script::Check box, bool checked) override;
    void SelectIndex(script::List list, int32_t index) override;

    bool LoopChecked() const override;
    void SetLoopChecked(bool checked) override;
    void SetWindowEnabled(bool enabled) override;
    void BringWindowToFront() override;
    void btnONClick() override;
    bool IsPlaying() const override;
    void SetPlaying(bool playing) override;
    char Separator() const override;
    TScriptPopup& ScriptPopup() override;

private:
    TGenerator& generator_;
};

}  // namespace orv

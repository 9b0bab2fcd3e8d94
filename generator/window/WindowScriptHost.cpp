#include "generator/window/WindowScriptHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "generator/script/ScriptPopup.h"
#include "generator/window/Generator.h"

namespace orv {

void WindowScriptHost::SelectCommand(script::Command command) {
    // By code, so the page control's change rule does not run.
    generator_.SignalType->setCurrentWidget(command == script::Command::Sweep ? generator_.Sweep
                                                                              : generator_.Constant);
}

void WindowScriptHost::SetText(script::Edit edit, const std::string& text) {
    QLineEdit* target = nullptr;
    switch (edit) {
        case script::Edit::fEdit: target = generator_.fEdit; break;
        case script::Edit::fInit: target = generator_.fInit; break;
        case script::Edit::fFinal: target = generator_.fFinal; break;
        case script::Edit::Duration: target = generator_.Duration; break;
        case script::Edit::Amplitude: target = generator_.Amplitude; break;
        case script::Edit::PhaseEdit: target = generator_.PhaseEdit; break;
        case script::Edit::ModPeriodLeftEdit: target = generator_.ModPeriodLeftEdit; break;
        case script::Edit::ModDepthLeftEdit: target = generator_.ModDepthLeftEdit; break;
        case script::Edit::ModPhaseLeftEdit: target = generator_.ModPhaseLeftEdit; break;
        case script::Edit::ModPeriodRightEdit: target = generator_.ModPeriodRightEdit; break;
        case script::Edit::ModDepthRightEdit: target = generator_.ModDepthRightEdit; break;
        case script::Edit::ModPhaseRightEdit: target = generator_.ModPhaseRightEdit; break;
    }
    if (target) target->setText(QString::fromStdString(text));
}

void WindowScriptHost::SetChecked(script::Check box, bool checked) {
    QCheckBox* target = nullptr;
    switch (box) {
        case script::Check::mono: target = generator_.mono; break;
        case script::Check::Lefttick: target = generator_.Lefttick; break;
        case script::Check::RightTick: target = generator_.RightTick; break;
        case script::Check::Logarithmic: target = generator_.Logarithmic; break;
        case script::Check::ModulationOn: target = generator_.ModulationOn; break;
    }
    if (target) target->setChecked(checked);
}

void WindowScriptHost::SelectIndex(script::List list, int32_t index) {
    QComboBox* target = nullptr;
    switch (list) {
        case script::List::WaveForm: target = generator_.WaveForm; break;
        case script::List::ModFunctionLeft: target = generator_.ModFunctionLeft; break;
        case script::List::ModFunctionRight: target = generator_.ModFunctionRight; break;
    }
    if (!target) return;
    target->setCurrentIndex(index >= 0 && index < target->count() ? index : -1);
}

bool WindowScriptHost::LoopChecked() const { return generator_.Loop->isChecked(); }

void WindowScriptHost::SetLoopChecked(bool checked) { generator_.Loop->setChecked(checked); }

void WindowScriptHost::SetWindowEnabled(bool enabled) { generator_.setEnabled(enabled); }

void WindowScriptHost::BringWindowToFront() {
    generator_.raise();
    generator_.activateWindow();
}

void WindowScriptHost::btnONClick() { generator_.btnONClick(); }

bool WindowScriptHost::IsPlaying() const { return generator_.Playing; }

void WindowScriptHost::SetPlaying(bool playing) { generator_.Playing = playing; }

char WindowScriptHost::Separator() const { return generator_.DecimalSeparator; }

TScriptPopup& WindowScriptHost::ScriptPopup() { return *generator_.ScriptPopup; }

}  // namespace orv

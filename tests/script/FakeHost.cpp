#include "FakeHost.h"

#include <QLabel>
#include <QMetaObject>

#include <utility>

namespace orv {

FakeHost::FakeHost() : popup(*this) {}

void FakeHost::SelectCommand(script::Command command) {
    controls.SelectCommand(command);
    log.push_back(controls.writes.back());
}

void FakeHost::SetText(script::Edit edit, const std::string& text) {
    controls.SetText(edit, text);
    log.push_back(controls.writes.back());
}

void FakeHost::SetChecked(script::Check box, bool checked) {
    controls.SetChecked(box, checked);
    log.push_back(controls.writes.back());
}

void FakeHost::SelectIndex(script::List list, int32_t index) {
    controls.SelectIndex(list, index);
    log.push_back(controls.writes.back());
}

void FakeHost::SetLoopChecked(bool checked) {
    loop = checked;
    log.push_back(checked ? "Loop=1" : "Loop=0");
}

void FakeHost::SetWindowEnabled(bool on) {
    enabled = on;
    log.push_back(on ? "enabled" : "disabled");
}

void FakeHost::BringWindowToFront() { log.push_back("front"); }

void FakeHost::btnONClick() {
    ++presses;
    log.push_back(std::string("ON") + (loop ? " looping" : "") + (enabled ? " enabled" : ""));
    if (output) {
        output(*this, presses);
        return;
    }
    Later([this] { Start(); });
    Later([this] { Stop(); });
}

bool FakeHost::IsPlaying() const {
    const std::string shown = popup.Label1->text().toStdString();
    if (lines.empty() || lines.back() != shown) lines.push_back(shown);
    return playing;
}

void FakeHost::Later(std::function<void()> f) {
    QMetaObject::invokeMethod(&context, std::move(f), Qt::QueuedConnection);
}

void FakeHost::Start() {
    playing = true;
    log.push_back("start");
}

void FakeHost::Stop() {
    playing = false;
    log.push_back("stop");
}

}  // namespace orv

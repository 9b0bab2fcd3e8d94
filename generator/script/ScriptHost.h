#pragma once
// What the script runner needs from a generator window. The window
// implements it in a few lines; tests implement it with a recording fake.
#include <QtGlobal>

// The script library names its field array "slots", which Qt's keyword
// macro would swallow.
#pragma push_macro("slots")
#undef slots
#include "scriptfile/ScriptReader.h"
#pragma pop_macro("slots")

namespace orv {

class TScriptPopup;

// The ControlSink part takes the field writes of tone and sweep lines;
// SelectCommand shows the Constant or the Sweep page of SignalType.
class ScriptHost : public script::ControlSink {
public:
    // The Loop check box. Setting it runs its click handler.
    virtual bool LoopChecked() const = 0;
    virtual void SetLoopChecked(bool checked) = 0;

    // Enables or disables the whole generator window.
    virtual void SetWindowEnabled(bool enabled) = 0;
    virtual void BringWindowToFront() = 0;

    // The ON button's handler, called with no sender.
    virtual void btnONClick() = 0;

    // The window's Playing flag: set by the output's start notification,
    // cleared by its stop notification; delays and Next write it too.
    virtual bool IsPlaying() const = 0;
    virtual void SetPlaying(bool playing) = 0;

    // The decimal separator of the user's numeric locale.
    virtual char Separator() const = 0;

    // The status window, created once with this host.
    virtual TScriptPopup& ScriptPopup() = 0;
};

}  // namespace orv

#pragma once
// SIGINT and SIGTERM handled as a request to close, on the GUI thread.
#include <functional>

namespace orv {

// Installs handlers for SIGINT and SIGTERM that call close from the event
// loop. Call once, after the application object exists. False when the
// handlers could not be installed (the signals then keep their defaults).
bool CloseOnQuitSignals(std::function<void()> close);

}  // namespace orv

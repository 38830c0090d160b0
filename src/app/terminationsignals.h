#pragma once

namespace vartemo {

// SIGTERM and SIGINT (logout, shutdown of the computer, Ctrl+C) close the
// station's windows and end the event loop, so the shutdown sequence runs
// and the log book gets its end entry. Call once, after the application
// object exists.
void QuitOnTerminationSignals();

} // namespace vartemo

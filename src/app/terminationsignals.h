#pragma once

namespace vartemo {

// SIGTERM and SIGINT (logout, shutdown of the computer, Ctrl+C) close the
// station's windows, the modal ones and message boxes first whatever loop
// they run, and end the event loop, so the shutdown sequence runs and the
// log book gets its end entry. Call once, after the application object exists.
void QuitOnTerminationSignals();

// True once SIGTERM or SIGINT came: the station is being ended from outside
// (a shutdown of the computer) and asks the operator nothing on its way out.
bool EndingBySignal();

// Runs the application's event loop. A signal that came during the start-up
// (whose splash steps turn the event loop before the main one runs, where a
// quit would be lost) closes a box the start-up waits on and ends the
// station as soon as the main loop runs.
int ExecEndingOnTerminationSignals();

} // namespace vartemo

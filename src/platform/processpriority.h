#pragma once

namespace vartemo {

// The process priority classes of "Priorita aplikace": 0 "Nízká" (idle),
// 1 "Normální", 2 "Vysoká", 3 "Reálný čas". Every thread of the process
// takes the class's nice value, except that the main thread, which polls the
// karts every 2 ms, never goes below normal; the realtime class is the FIFO scheduler
// where the user may have it, else the highest priority allowed. Returns the
// nice value the threads reached (-21 for the FIFO scheduler).
int ApplyProcessPriorityClass(int priorityClass);

// The nice value of a class: 19, 0, -10, -20.
int NiceOfPriorityClass(int priorityClass);

} // namespace vartemo

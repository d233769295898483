// The flags the user-interface thread and the repair worker share. One run at
// a time in a process, so they are process-wide; atomic, so reading one while
// the other thread writes it is no data race.
#pragma once

#include <atomic>
#include <string>

namespace drelin::batch {

// Set just before a worker starts; cleared by the worker as its very last
// act, so a thread that sees it clear may start the next run.
extern std::atomic<bool> g_bRepairing;
// Set by Stop once the user confirms; read by the worker after each file;
// cleared by the worker at the end of a run, by the stop timer, and when a
// run starts.
extern std::atomic<bool> g_bStopRequested;
// "Done" or "Failed": the result of the file in hand. The worker thread's
// alone.
extern std::string g_strLastResult;

}  // namespace drelin::batch

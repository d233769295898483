// ViewTimer: the view's timers by id, which tidy up after a stopped run.
#pragma once

namespace drelin::batch {

class ViewTimer {
 public:
  virtual ~ViewTimer() = default;
  // Starts the timer `id`, ticking every `periodMs` on the user-interface
  // thread (each tick reaches RepairCommands::OnTimer), and returns the id to
  // stop it with. Starting a timer that runs already restarts it: there is
  // never more than one timer per id.
  virtual int StartTimer(int id, int periodMs) = 0;
  // Stops it; a timer that is not running is left alone.
  virtual void StopTimer(int id) = 0;
};

}  // namespace drelin::batch

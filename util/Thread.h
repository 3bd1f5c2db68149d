// A worker thread that can start suspended, be polled or waited for with a
// bound, and be abandoned after a time-out.
#pragma once

#include <memory>
#include <thread>

#include "Exception.h"

namespace Utils {

class VOR_UTILS_VISIBLE Thread {
public:
    // A thread procedure; its result is not used.
    using Procedure = unsigned int (*)(void* argument);

    // Creates the thread for procedure(argument). Priority -2..2 means lowest,
    // below normal, normal, above normal, highest; any other value is normal.
    // A suspended thread does not call the procedure before resume.
    // Throws ResourceFailure (creating a thread) when the system refuses.
    Thread(Procedure procedure, void* argument, int priority, bool suspended);
    // Waits until the thread has ended, unless it was killed (then it is left to
    // run out on its own). A thread never resumed is discarded without running.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Lets a suspended thread run; does nothing for a running or killed one.
    void resume();
    // True once the procedure has returned, or the thread was killed.
    bool isFinished();
    // Waits for the end: a negative time without limit (then true), 0 only polls,
    // otherwise at most that many seconds (whole milliseconds); true if it ended.
    bool wait(double seconds);
    // Ends a thread that has not finished, as far as this platform allows: see
    // the definition. Afterwards the thread counts as ended.
    void kill();

private:
    struct State;

    std::shared_ptr<State> state_; // shared with the running thread
    std::thread thread_;           // joinable until joined or abandoned
    bool killed_;                  // kill abandoned the thread
};

} // namespace Utils

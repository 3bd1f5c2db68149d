// Worker threads: suspended start through a gate, completion observed through a
// state flag and a condition variable.
#include "Thread.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

#include "SysError.h"

namespace Utils {

namespace {

// Nice offsets for the priorities -2..2; the scheduler has no per-thread priority
// for normal threads, so nice values of the thread stand in for them.
constexpr int lowestPriority = -2;
constexpr std::array<int, 5> niceOffsets = {10, 5, 0, -5, -10};

// The most that one wait call will block, about 30 years; beyond it a bounded wait
// is as good as unbounded and the clock arithmetic could overflow.
constexpr double maxWaitMilliseconds = 1e12;

constexpr int highestPriority = lowestPriority + static_cast<int>(niceOffsets.size()) - 1;

// Any priority outside -2..2 is normal.
int niceOffset(int priority)
{
    if (priority < lowestPriority || priority > highestPriority)
        return 0;
    return niceOffsets[static_cast<std::size_t>(priority - lowestPriority)];
}

// Niceness for the new thread: the creator's own, moved by the priority's offset.
int niceFor(int priority)
{
    errno = 0;
    const int base = ::getpriority(PRIO_PROCESS, 0);
    return std::clamp((errno == 0 ? base : 0) + niceOffset(priority), -20, 19);
}

} // namespace

// What the thread and its owner share; it outlives an abandoned owner.
struct Thread::State {
    Procedure procedure; // run on the thread
    void* argument;      // given to the procedure
    int nice;            // niceness the thread sets for itself

    std::mutex mutex;             // guards the flags below
    std::condition_variable gate; // signalled on release and on completion
    bool released = false;        // the start gate is open
    bool discarded = false;       // released without running (killed or destroyed)
    bool finished = false;        // the procedure has returned

    // Thread body: wait at the gate, run, report the end.
    static void run(const std::shared_ptr<State>& state);
};

void Thread::State::run(const std::shared_ptr<State>& state)
{
    // Only the thread itself knows its kernel id; the result is not checked, as
    // raising a priority needs a privilege that a normal user lacks.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), state->nice);
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->gate.wait(lock, [&] { return state->released; });
        if (state->discarded)
            return;
    }
    state->procedure(state->argument);
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->finished = true;
    }
    state->gate.notify_all();
}

Thread::Thread(Procedure procedure, void* argument, int priority, bool suspended)
    : state_(std::make_shared<State>()), killed_(false)
{
    state_->procedure = procedure;
    state_->argument = argument;
    state_->nice = niceFor(priority);
    state_->released = !suspended;
    try {
        thread_ = std::thread(&State::run, state_);
    } catch (const std::system_error& failure) {
        SysError::throwError(ContextKey::CreatingThread, failure.code().value());
    }
}

Thread::~Thread()
{
    if (killed_)
        return;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (!state_->released)
            state_->released = state_->discarded = true;
    }
    state_->gate.notify_all();
    thread_.join();
}

void Thread::resume()
{
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->released = true;
    }
    state_->gate.notify_all();
}

bool Thread::isFinished() { return wait(0.0); }

bool Thread::wait(double seconds)
{
    if (killed_)
        return true;
    std::unique_lock<std::mutex> lock(state_->mutex);
    const auto ended = [this] { return state_->finished; };
    if (seconds < 0) {
        state_->gate.wait(lock, ended);
        return true;
    }
    // NaN polls, like zero.
    const double milliseconds = seconds > 0 ? std::min(seconds * 1000, maxWaitMilliseconds) : 0;
    const auto bound = std::chrono::milliseconds(static_cast<long long>(milliseconds));
    return state_->gate.wait_for(lock, bound, ended);
}

// A POSIX thread cannot be terminated safely from outside: cancellation would run
// (or skip) arbitrary clean-up in the middle of a database call and can deadlock
// on locks the victim holds. What a caller needs after a time-out is that the run
// can end at once with its output intact and that nothing waits for the worker. So
// kill abandons the thread: it is detached, never joined, counts as ended from now
// on, and whatever it holds is left to the end of the process. A thread that was
// never resumed is released from its gate without running its procedure. The
// shared state keeps the abandoned thread's memory valid for as long as it runs.
void Thread::kill()
{
    if (isFinished())
        return;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (!state_->released)
            state_->released = state_->discarded = true;
    }
    state_->gate.notify_all();
    thread_.detach();
    killed_ = true;
}

} // namespace Utils

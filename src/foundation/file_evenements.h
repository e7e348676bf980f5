#pragma once
// The machine thread's event queue: the window thread posts each operator
// action as a closure; the machine thread runs them in order when it is
// idle and wherever the logic lets pending window messages run.

#include <atomic>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace virmak {

class FileEvenements {
public:
    using Action = std::function<void()>;

    // Any thread. The number returned grows with each post; an action is
    // done once DerniereExecutee() has reached its number.
    uint64_t Poster(Action action);

    // Machine thread: runs the actions that were waiting when called, in
    // order (an action may itself process later ones). True when any ran.
    bool ExecuterEnAttente();

    // Machine thread: waits until an action comes or the queue is stopped,
    // then runs what waits. False once stopped with nothing left to run.
    bool AttendreEtExecuter();
    // The same, waiting no later than `echeance` (true when it passed).
    bool AttendreEtExecuter(std::chrono::steady_clock::time_point echeance);

    // Ends AttendreEtExecuter's waits; actions still queued are run first.
    void Arreter();
    bool Arretee() const;

    // Back to an empty, running queue (a new window, a new test).
    void Reinitialiser();

    uint64_t DerniereExecutee() const { return executee_.load(std::memory_order_acquire); }
    // Machine thread: how many actions are running, one inside another
    // (0 when idle, 1 in a plain action, more at a message point).
    int Profondeur() const { return profondeur_; }
    size_t EnAttente() const;

private:
    bool ExecuterUne();

    mutable std::mutex verrou_;
    std::condition_variable signal_;
    std::deque<std::pair<uint64_t, Action>> actions_;
    uint64_t prochaine_ = 1;
    std::atomic<uint64_t> executee_ { 0 };
    bool arret_ = false;
    int profondeur_ = 0;
};

FileEvenements& FileMachine();

// The calling thread becomes the machine thread; Oublier ends that.
void MarquerFilMachine();
void OublierFilMachine();
// True on the machine thread, and anywhere while none is marked (the
// command-line program and the tests run the core on their main thread).
bool SurFilMachine();

} // namespace virmak

// Core entry points the window reaches call this: in debug builds a call
// from the window thread stops the program at once.
#define VERIFIER_FIL_MACHINE() assert(::virmak::SurFilMachine())

#include "foundation/file_evenements.h"

#include <thread>

namespace virmak {

uint64_t FileEvenements::Poster(Action action)
{
    uint64_t numero = 0;
    {
        std::lock_guard<std::mutex> garde(verrou_);
        numero = prochaine_++;
        actions_.emplace_back(numero, std::move(action));
    }
    signal_.notify_one();
    return numero;
}

bool FileEvenements::ExecuterUne()
{
    std::pair<uint64_t, Action> suivante;
    {
        std::lock_guard<std::mutex> garde(verrou_);
        if (actions_.empty())
            return false;
        suivante = std::move(actions_.front());
        actions_.pop_front();
    }
    // Run unlocked: the action may post, or process the queue itself.
    ++profondeur_;
    if (suivante.second)
        suivante.second();
    --profondeur_;
    uint64_t faite = executee_.load(std::memory_order_relaxed);
    while (faite < suivante.first
        && !executee_.compare_exchange_weak(faite, suivante.first, std::memory_order_acq_rel)) { }
    return true;
}

bool FileEvenements::ExecuterEnAttente()
{
    // Only what was there on entry: an action that posts again must not keep
    // the caller here for ever.
    uint64_t limite = 0;
    {
        std::lock_guard<std::mutex> garde(verrou_);
        if (actions_.empty())
            return false;
        limite = actions_.back().first;
    }
    bool executee = false;
    for (;;) {
        {
            std::lock_guard<std::mutex> garde(verrou_);
            if (actions_.empty() || actions_.front().first > limite)
                break;
        }
        executee = ExecuterUne() || executee;
    }
    return executee;
}

bool FileEvenements::AttendreEtExecuter()
{
    {
        std::unique_lock<std::mutex> garde(verrou_);
        signal_.wait(garde, [this] { return arret_ || !actions_.empty(); });
        if (actions_.empty())
            return false;
    }
    ExecuterEnAttente();
    return true;
}

bool FileEvenements::AttendreEtExecuter(std::chrono::steady_clock::time_point echeance)
{
    {
        std::unique_lock<std::mutex> garde(verrou_);
        signal_.wait_until(garde, echeance, [this] { return arret_ || !actions_.empty(); });
        if (actions_.empty())
            return !arret_;
    }
    ExecuterEnAttente();
    return true;
}

void FileEvenements::Arreter()
{
    {
        std::lock_guard<std::mutex> garde(verrou_);
        arret_ = true;
    }
    signal_.notify_all();
}

bool FileEvenements::Arretee() const
{
    std::lock_guard<std::mutex> garde(verrou_);
    return arret_;
}

void FileEvenements::Reinitialiser()
{
    std::lock_guard<std::mutex> garde(verrou_);
    actions_.clear();
    arret_ = false;
}

size_t FileEvenements::EnAttente() const
{
    std::lock_guard<std::mutex> garde(verrou_);
    return actions_.size();
}

namespace {
    FileEvenements fileMachine;
    std::atomic<std::thread::id> filMachine {};
} // namespace

FileEvenements& FileMachine()
{
    return fileMachine;
}

void MarquerFilMachine()
{
    filMachine.store(std::this_thread::get_id());
}

void OublierFilMachine()
{
    filMachine.store(std::thread::id {});
}

bool SurFilMachine()
{
    const std::thread::id marque = filMachine.load();
    return marque == std::thread::id {} || marque == std::this_thread::get_id();
}

} // namespace virmak

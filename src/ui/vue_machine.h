#pragma once
// The view the core calls on the machine thread: each call reaches the
// window thread as a copy of the state it concerns. Message boxes and file
// dialogs hold the machine thread until the operator answers; nothing here
// ever makes the window thread wait.
//
// Copies do not queue: the window draws only the newest. What the machine
// publishes waits in one place, where a newer copy replaces an older one
// the window has not drawn yet; the window takes it at its next frame, and
// before any call it runs for the machine, so a box or a dialog shows over
// the state the machine had when it asked for it.

#include "foundation/vue.h"
#include "ui/instantane.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace virmak {

class TForm1;

class VueMachine : public Vue {
public:
    explicit VueMachine(TForm1* fenetre);

    void Repeindre(const std::string& controle) override;
    void TraiterMessages() override;
    void AttendreMessages() override;
    void Message(const std::string& texte) override;
    bool MessageInterruptible(const std::string& texte, bool (*arret)()) override;
    void DonnerFocus(const std::string& controle) override;
    void Aide(int contexte) override;
    std::string DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres, int filtre,
        const std::string& repertoire) override;
    std::string DialogueSauver(const std::string& repertoire) override;
    void DessinerCouche(int couche, const std::vector<Trace>& traces) override;

    // Machine thread: the models as they stand become what the window
    // draws next, in place of a copy it has not drawn yet.
    void Publier();

    // What waits for the window's next frame.
    struct Envoi {
        std::shared_ptr<const Instantane> etat; // none: no newer copy
        std::vector<std::pair<int, std::vector<Trace>>> couches; // preview layers, in order
        std::optional<std::string> focus; // the last control given the focus
    };
    // Window thread: takes what waits, leaving nothing.
    Envoi Prendre();

    // Copies published and not yet taken by the window: 0 or 1.
    int EnAttente() const;
    // Copies made and not yet destroyed, wherever they are.
    static int Vivantes();

    // Runs `f` on the window thread, after the window has taken what
    // waits, unless the window is going away.
    template <typename F> void VersFenetre(F&& f)
    {
        if (!fermee_.load())
            QMetaObject::invokeMethod(
                contexte_,
                [this, f = std::forward<F>(f)]() mutable {
                    Rattraper();
                    f();
                },
                Qt::QueuedConnection);
    }

    // Window thread, as the window goes: calls still waiting for an answer
    // return at once with none.
    void Fermer() { fermee_.store(true); }

private:
    template <typename T> T Attendre(std::future<T>& reponse, T sansReponse);
    void Rattraper();

    TForm1* fenetre_;
    QObject* contexte_; // the window, as the receiver of queued calls
    std::atomic<bool> fermee_ { false };
    // Machine thread: the long lists as last copied.
    LignesPartagees lignesProg_, lignesHist_;
    mutable std::mutex verrou_; // held only to put in or take out, never to copy
    Envoi envoi_;
};

} // namespace virmak

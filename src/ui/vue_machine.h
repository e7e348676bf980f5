#pragma once
// The view the core calls on the machine thread: each call reaches the
// window thread as a copy of the state it concerns. Message boxes and file
// dialogs hold the machine thread until the operator answers; nothing here
// ever makes the window thread wait.

#include "foundation/vue.h"
#include "ui/instantane.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <future>

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

    // Machine thread: the models as they stand go to the window, which
    // then repaints `controle` at once when one is named.
    void Publier(const std::string& controle = {});

    // Runs `f` on the window thread, unless the window is going away.
    template <typename F> void VersFenetre(F&& f)
    {
        if (!fermee_.load())
            QMetaObject::invokeMethod(contexte_, std::forward<F>(f), Qt::QueuedConnection);
    }

    // Window thread, as the window goes: calls still waiting for an answer
    // return at once with none.
    void Fermer() { fermee_.store(true); }

private:
    template <typename T> T Attendre(std::future<T>& reponse, T sansReponse);

    TForm1* fenetre_;
    QObject* contexte_; // the window, as the receiver of queued calls
    std::atomic<bool> fermee_ { false };
    Lignes lignesProg_, lignesHist_;
};

} // namespace virmak

#pragma once
// What the logic needs from the screen that cannot be state in the window
// model: immediate repaints, message processing, blocking message boxes,
// focus and help. The Qt window, the terminal and the tests implement it.

#include "foundation/trace.h"

#include <string>
#include <vector>

namespace virmak {

class Vue {
public:
    virtual ~Vue() = default;
    // Mirror the named control of the model onto the screen now.
    virtual void Repeindre(const std::string& controle) = 0;
    // Let pending window messages (clicks, keys, repaints) run.
    virtual void TraiterMessages() = 0;
    // An operator wait: sleep until at least one message came, and run it.
    // Without a window there is nothing to wait for: the wait ends.
    virtual void AttendreMessages() { TraiterMessages(); }
    // A box with one OK button; returns once the operator has closed it.
    virtual void Message(const std::string& texte) = 0;
    // The same box while the machine waits on it during a run: `arret` is
    // asked every few milliseconds on the machine thread, and when it says
    // so the box is taken down at once. True when the operator closed it.
    virtual bool MessageInterruptible(const std::string& texte, bool (*arret)())
    {
        Message(texte);
        return !arret();
    }
    virtual void DonnerFocus(const std::string& controle) = 0;
    // Help file opened at context 1000 + n; context 0 opens it without topic.
    virtual void Aide(int contexte) = 0;

    // File dialogs: the chosen path, or empty when cancelled. Filters are
    // "description|pattern"; `filtre` is the one preselected.
    virtual std::string DialogueOuvrir(const std::string& /*titre*/,
        const std::vector<std::string>& /*filtres*/, int /*filtre*/, const std::string& /*repertoire*/)
    {
        return {};
    }
    virtual std::string DialogueSauver(const std::string& /*repertoire*/) { return {}; }

    // Preview layers 1 to 3: layer `couche` becomes a copy of the layer below
    // it with `traces` painted over, and the preview shows it.
    virtual void DessinerCouche(int /*couche*/, const std::vector<Trace>& /*traces*/) { }
};

// Quiet stand-in used before a window exists: messages go to standard error.
class VueMuette : public Vue {
public:
    void Repeindre(const std::string&) override { }
    void TraiterMessages() override { }
    void Message(const std::string& texte) override;
    void DonnerFocus(const std::string&) override { }
    void Aide(int) override { }
};

Vue& VueActive();
void DefinirVue(Vue* vue); // nullptr restores the quiet stand-in

// For the life of one pass over a program (analysis, compensation), a
// message text already shown three times is not shown again, and the pass
// ends with one box saying how many were left out: a binary file must not
// bury the operator under hundreds of identical boxes. Passes nest; the
// outermost one counts.
class PasseAvertissements {
public:
    PasseAvertissements();
    ~PasseAvertissements();
    PasseAvertissements(const PasseAvertissements&) = delete;
    PasseAvertissements& operator=(const PasseAvertissements&) = delete;

private:
    bool externe_ = false;
};

inline constexpr int RepetitionsMaxi = 3;

} // namespace virmak

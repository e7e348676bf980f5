#include "machine/cn_pilot.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/plateforme.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "machine/in_out.h"
#include "machine/planificateur.h"
#include "machine/temporisation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/mman.h>

namespace virmak {

void (*JogClavier)() = nullptr;
void (*ClicBoutonArret)() = nullptr;
int64_t RetardDernierPas = 0;
int64_t PasEnRetard = 0, PireRetard = 0;
bool MouvementsVirtuels = false;
uint8_t MasqueCherche = 0;
bool EtatCherche = true;
bool EntreeTrouvee = false;

namespace {

    // Late steps the history has not been told of yet: those of the manual
    // moves since its last line on them, or those of the run in progress.
    struct Retards {
        int64_t pas = 0, pire = 0;
        int deplacements = 0;
    };
    Retards retardsATaire;
    bool retardsDeCycle = false;
    bool retardsDits = false; // since the start-up, about manual moves
    int64_t instantRetardsDits = 0; // counter ticks

    void DireRetards(const std::string& pendant)
    {
        MsgHistorique(std::to_string(retardsATaire.pas) + " pas en retard de plus de "
            + std::to_string(SeuilRetardNs / 1000) + " µs " + pendant + " (au pire "
            + std::to_string(retardsATaire.pire * 1000000 / std::max<int64_t>(1, FreqCompteur)) + " µs).");
        retardsATaire = {};
    }

    bool memoireVerrouillee = false;
    bool bridageSignale = false;
    bool mouvementEnCours = false;
    bool premierPas = false;

    constexpr int32_t AxeSuivant[3] = { 1, 2, 0 };

    bool Actif(uint8_t entrees, uint8_t masque)
    {
        return (entrees & masque) == masque;
    }

    bool defautSignale = false;

    // The effective input byte; false when the port did not answer, which
    // stops the machine as its emergency input would.
    bool LireEntrees(uint8_t& e)
    {
        e = 0;
        if (!PortEnService())
            return true;
        const std::optional<uint8_t> octet = LirePortEntrees();
        if (!octet)
            return false;
        e = static_cast<uint8_t>((*octet ^ InInvert) & InEnable);
        return true;
    }

    void AfficherButees()
    {
        Voyant* voyants[3] = { &Form1.LedButeeX, &Form1.LedButeeY, &Form1.LedButeeZ };
        for (int i = 0; i < 3; ++i)
            voyants[i]->Allume = ButeeMoins[i] || ButeePlus[i];
    }

    // The step period below which no axis of the pattern may go: the
    // slowest maximum among the axes that step (their top rate inside a
    // ramped move, which brings them there by accelerating).
    int64_t PeriodeMini(uint8_t motif)
    {
        const bool rampe = RampeEnCours();
        int64_t mini = 0;
        for (int i = 0; i < 3; ++i)
            if (MasquePas[i] != 0 && (motif & MasquePas[i]) == MasquePas[i])
                mini = std::max(
                    mini, TabPeriodes[std::clamp(rampe ? VitesseHaute(i) : AvMax[i], 1, VitesseMaxTable)]);
        return mini;
    }

    // One switch serves both ends: the end latched is the one the axis last
    // moved towards, and the other waits until the switch is seen released.
    void VerrouillerButees(uint8_t e)
    {
        for (int i = 0; i < 3; ++i) {
            if (Actif(e, MasqueButee[i])) {
                if (SensAxe[i] == 1 && !ButeeMoins[i])
                    ButeePlus[i] = true;
                if (SensAxe[i] == -1 && !ButeePlus[i])
                    ButeeMoins[i] = true;
            } else {
                ButeeMoins[i] = ButeePlus[i] = false;
            }
        }
    }

    // The first axis the pattern would step towards its latched end, or -1.
    int AxeRefuse(uint8_t motif)
    {
        for (int i = 0; i < 3; ++i) {
            const uint8_t m = motif & MasquePasDir[i];
            if ((m == MasquePas[i] && ButeeMoins[i]) || (m == MasquePasDir[i] && ButeePlus[i]))
                return i;
        }
        return -1;
    }

    // Every stop of the machine leaves the spindle at rest, and says so at
    // once.
    void StopperMachine(const char* voyant)
    {
        ArreterBroche();
        VueActive().Repeindre(voyant);
    }

    void ArretParMachine()
    {
        if (!ArretUrgence)
            MsgHistorique(TexteArretMachine);
        ArretUrgence = true;
        Form1.LedArret.Allume = true;
        StopperMachine("LedArret");
    }

    void ArretParPort()
    {
        ArretUrgence = true;
        Form1.LedArret.Allume = true;
        StopperMachine("LedArret");
    }

    void ArretParButee(int axe)
    {
        DefinirMesEtat(TexteButeeActivee);
        AfficherButees();
        MsgHistorique(std::string("FIN DE COURSE : butée ") + "XYZ"[axe] + " activée, mouvement arrêté.");
        StopperMachine("GroupBox2");
    }

    // During a long wait: the emergency input, or a port that stopped
    // answering, ends it.
    bool ArretParEntree()
    {
        uint8_t e = 0;
        if (!LireEntrees(e)) {
            ArretParPort();
            return true;
        }
        if (!Actif(e, MasqueArret))
            return false;
        ArretParMachine();
        return true;
    }

    // The keys and the mouse button, polled at every step event: the only
    // place where the operator reaches a move.
    void ScruterOperateur()
    {
        Plateforme& p = PlateformeActive();
        if (p.BoutonEnfonce(BoutonSouris::Gauche))
            VueActive().TraiterMessages();
        // Each press of F1 or F2 is one notch, however short, and a key held
        // through many steps only one.
        const int crans = p.Frappes(Touche::F2) - p.Frappes(Touche::F1);
        if (crans != 0) {
            CranCorrection(crans);
            VueActive().TraiterMessages();
        }
        if (p.ToucheEnfoncee(Touche::Echap))
            Entrees().DemanderUrgence();
        PrendreArrets();
    }

    // The backlash test and the last direction of one axis of a step event.
    void Sens(int32_t axe, int32_t d)
    {
        if (d == 0)
            return;
        const bool reprise = CompJeu[axe] && SensAxe[axe] != 0 && d != SensAxe[axe];
        // Mended: the direction is the new one before the take-up runs, so a
        // switch closing during it latches the end it runs towards; the old
        // direction latched the other end and let the axis drive on into it.
        SensAxe[axe] = d;
        if (reprise)
            RattraperJeu(axe, d);
    }

    // One readout per step event: the axis whose turn it is when it moved
    // since its last refresh, else the dominant axis.
    void AfficherTour()
    {
        const int32_t i = AxeAffiche;
        AfficherAxe(PosPas[i] != PosAffichee[i] ? i : AxePrincipal);
    }

    void TexteVisue(int32_t axe)
    {
        (Form1.*ControlesAxes[axe].visue).Texte = FormatFixe(PosMm[axe], 8, 3);
    }

    bool Interrompu()
    {
        return ArretUrgence || ButeeActivee || EntreeTrouvee;
    }

    bool EmettreEvenement(uint8_t motif)
    {
        ScruterOperateur();
        // Without a machine nothing is emitted, but a stop taken here still
        // holds this event's step.
        if (SimulationEnForce())
            return !ArretUrgence;
        EmettrePas(motif, PeriodeEvenement(PeriodePas));
        return !Interrompu();
    }

} // namespace

bool PrendreArrets()
{
    if (Entrees().PrendreUrgence()) {
        if (ClicBoutonArret)
            ClicBoutonArret();
        else
            ArretUrgence = true;
    }
    if (Entrees().ArretDemande())
        ArretUrgence = true;
    return ArretUrgence;
}

void ArreterBroche()
{
    BrocheEnMarche = false;
    OctetSortie = static_cast<uint8_t>(OctetSortie & ~MasqueBroche);
    Form1.LedBroche.Allume = false;
    if (!SimulationEnForce() && PortEnService())
        EcrireSortiesA(OctetPort(OctetSortie));
}

bool DemarrerBroche()
{
    if (PrendreArrets())
        return false;
    BrocheEnMarche = true;
    OctetSortie = static_cast<uint8_t>(OctetSortie | MasqueBroche);
    Form1.LedBroche.Allume = true;
    if (!Simulation && PortLPT != 0 && !EcrireSortiesA(OctetPort(OctetSortie))) {
        ArretParPort();
        return false;
    }
    const double tempo = std::clamp(IniParam.LireReel("CYCLES", "TempoBroche", 0), 0.0, 60.0);
    int64_t maintenant = 0;
    const bool complete = Patienter(
        PlateformeActive().Compteur() + static_cast<int64_t>(tempo * static_cast<double>(FreqCompteur)),
        maintenant);
    ReprendreApresPause();
    if (!complete)
        ArreterBroche();
    return complete;
}

void SignalerDefautPort()
{
    if (!PortEnDefaut())
        return;
    const std::string texte = "Arrêt : " + TexteDefautPort() + ".";
    OublierDefautPort();
    // Once, until the port answers again.
    if (defautSignale)
        return;
    defautSignale = true;
    DefinirMesEtat(texte);
    MsgHistorique(texte);
    VueActive().Message(texte
        + " Aucun mouvement n'est possible tant qu'il ne répond pas : vérifier le câble, l'alimentation "
          "de la carte et le port choisi (Paramètres, Entrées / Sorties).");
}

void ScruterEntrees()
{
    uint8_t e = 0;
    const bool enPanne = !LireEntrees(e) && !SimulationEnForce();
    if (SimulationEnForce())
        e = 0;

    VerrouillerButees(e);
    AfficherButees();
    Form1.LedJeu.Allume = false;

    // A port that does not answer is a machine that cannot be stopped by
    // its own input: it stops as if that input were active.
    if (Actif(e, MasqueArret) || enPanne) {
        Form1.LedArret.Allume = true;
        if (!ArretUrgence) {
            if (!enPanne)
                MsgHistorique(TexteArretMachine);
            ArreterBroche();
        }
        ArretUrgence = true;
    } else {
        Form1.LedArret.Allume = false;
        ArretUrgence = false;
    }
    if (SimulationEnForce())
        ArretUrgence = false;
    if (Form1.BoutonArretTag == 1)
        ArretUrgence = true;
    if (ArretUrgence)
        Form1.LedArret.Allume = true;
    Form1.LedBroche.Allume = BrocheEnMarche;
    Form1.LedPalOT.Allume = EntreeCablee(MasquePalpeur) && Actif(e, MasquePalpeur);
    SignalerDefautPort();
    if (!enPanne && !PortEnDefaut())
        defautSignale = false;
}

bool EntreeActive(uint8_t masque)
{
    uint8_t e = 0;
    if (!LireEntrees(e)) {
        ArretParPort();
        return false;
    }
    return !SimulationEnForce() && Actif(e, masque);
}

void CranCorrection(int crans)
{
    Curseur& correction = Form1.TrackBarTAv;
    correction.DefinirPosition(std::clamp(correction.Position + crans, 0, CorrectionMaxi));
}

void Timer1Timer()
{
    VERIFIER_FIL_MACHINE();
    ScruterEntrees();
    SignalerRetards(false);
    if (!Entrees().FenetreActive() || FocusDeSaisie(Entrees().FocusActuel())) {
        // Out of a move F1 and F2 act where the arrows jog: a tap made in
        // a field is no notch, now or later.
        PlateformeActive().Frappes(Touche::F1);
        PlateformeActive().Frappes(Touche::F2);
        return;
    }
    if (JogClavier)
        JogClavier();
}

bool Patienter(int64_t echeance, int64_t& maintenant)
{
    Plateforme& p = PlateformeActive();
    // The inputs are read between slices of 2 ms: an hour's dwell still
    // stops at once.
    const int64_t tranche = std::max<int64_t>(1, FreqCompteur / 500);
    maintenant = p.Compteur();
    while (echeance - maintenant > tranche) {
        if (PrendreArrets())
            return false;
        maintenant = p.DormirJusqua(maintenant + tranche);
        if (!SimulationEnForce() && ArretParEntree())
            return false;
    }
    if (PrendreArrets())
        return false;
    maintenant = p.AttendreJusqua(echeance);
    return !PrendreArrets();
}

void EmettrePas(uint8_t motif, int64_t periode)
{
    if (PrendreArrets())
        return;
    // The spindle line as it is now, not as it was when the move began:
    // "Broche" pressed during a move holds from its next step on.
    motif = static_cast<uint8_t>((motif & ~MasqueBroche) | (OctetSortie & MasqueBroche));
    // Mended: whatever period the caller holds (0 with no feed, or one the
    // override shortened), no axis steps faster than its maximum.
    periode = std::max(periode, PeriodeMini(motif));
    const uint8_t impulsion = OctetPort(motif);
    const uint8_t repos = OctetPort(motif & MasqueHorsPas);
    // The direction lines settle during the wait.
    if (PortEnService() && !EcrireSortiesA(repos)) {
        ArretParPort();
        return;
    }
    // Measured from the previous step: a late step delays the next ones
    // instead of bringing a burst.
    const int64_t echeance = InstantPas + periode;
    int64_t maintenant = 0;
    if (!Patienter(echeance, maintenant))
        return;

    // The inputs as they are after the wait: a switch or the emergency
    // input that closed during it holds this very step.
    uint8_t e = 0;
    if (!LireEntrees(e)) {
        ArretParPort();
        return;
    }
    // The input a seeking move waits for: the step that would go past it is
    // not made. The emergency input still comes first.
    if (MasqueCherche != 0 && !Actif(e, MasqueArret) && Actif(e, MasqueCherche) == EtatCherche) {
        EntreeTrouvee = true;
        return;
    }
    const bool butees = (e & MasqueButees) != 0;
    if (butees) {
        VerrouillerButees(e);
        const int axe = AxeRefuse(motif);
        ButeeActivee = axe >= 0;
        if (ButeeActivee) {
            ArretParButee(axe);
            return;
        }
    }
    if (Actif(e, MasqueArret)) {
        ArretParMachine();
        return;
    }
    // Decided: a step made with every switch open clears a refusal left
    // from before, so a step after a switch released by hand is counted.
    if (!butees)
        ButeeActivee = false;

    RetardDernierPas = maintenant - echeance > 0 ? maintenant - echeance : 0;
    // The first step of a move comes after a pause: going at once is not late.
    if (premierPas) {
        premierPas = false;
        RetardDernierPas = 0;
    }
    if (RetardDernierPas > SeuilRetardNs * FreqCompteur / 1000000000) {
        ++PasEnRetard;
        if (RetardDernierPas > PireRetard)
            PireRetard = RetardDernierPas;
    }
    InstantPas = maintenant;
    if (PortEnService()) {
        const bool impulsionEcrite = EcrireSortiesA(impulsion);
        BoucleAttente(BouclesCreneau);
        if (!EcrireSortiesA(repos) || !impulsionEcrite)
            ArretParPort();
    }
}

void PasXY(uint8_t motif, int32_t dx, int32_t dy)
{
    if (!EmettreEvenement(motif))
        return;
    PosPas[0] += dx;
    PosPas[1] += dy;
    Sens(0, dx);
    Sens(1, dy);
    AfficherTour();
    AxeAffiche = AxeAffiche == 0 ? 1 : 0;
}

void PasZ(uint8_t motif, int32_t dz)
{
    if (!EmettreEvenement(motif))
        return;
    Sens(2, dz);
    PosPas[2] += dz;
    AfficherZ();
}

void PasXYZ(uint8_t motif, int32_t dx, int32_t dy, int32_t dz)
{
    if (!EmettreEvenement(motif))
        return;
    PosPas[0] += dx;
    PosPas[1] += dy;
    PosPas[2] += dz;
    Sens(0, dx);
    Sens(1, dy);
    Sens(2, dz);
    AfficherTour();
    AxeAffiche = AxeSuivant[AxeAffiche >= 0 && AxeAffiche < 3 ? AxeAffiche : 0];
}

void RattraperJeu(int32_t axe, int32_t sens)
{
    Form1.LedJeu.Allume = true;
    VueActive().Repeindre("LedJeu");
    uint8_t motif = sens < 0 ? MasquePas[axe] : MasquePasDir[axe];
    if (BrocheEnMarche)
        motif = static_cast<uint8_t>(motif + MasqueBroche);
    // Take-up steps run at two thirds of the move's rate, never above
    // AvMax, even inside a ramped move.
    const int64_t periode = std::max(Arrondi64(static_cast<double>(PeriodePas) * 1.5),
        TabPeriodes[std::clamp(AvMax[axe], 1, VitesseMaxTable)]);
    for (int32_t k = 0; k < NPasJ[axe]; ++k) {
        if (SimulationEnForce())
            continue;
        EmettrePas(motif, periode);
        if (Interrompu())
            return;
    }
    ApresRattrapage();
    Form1.LedJeu.Allume = false;
    VueActive().Repeindre("LedJeu");
}

void SoutienZ(int32_t sens)
{
    if (CalageZ && sens == -1) {
        SensAxe[2] = 1;
        RattraperJeu(2, 1);
    }
}

int64_t CalculPeriode(double dX, double dY, double dZ, double avance)
{
    const double d[3] = { std::fabs(dX), std::fabs(dY), std::fabs(dZ) };
    const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!std::isfinite(l) || l < ValPas[0] || l < ValPas[1] || l < ValPas[2] || !(avance > 0))
        return PeriodePas;
    const double t = 60 * l / avance;
    double n[3];
    for (int i = 0; i < 3; ++i)
        n[i] = static_cast<double>(Arrondi64(d[i] / ValPas[i]));
    const int dominant = (n[1] < n[0] && n[2] < n[0]) ? 0 : (n[2] < n[1] ? 1 : 2);

    // Mended: the move lasts at least what every axis needs at its own
    // maximum, so none steps faster than it can (the table of rules drove
    // an axis past its maximum when the maxima differ). With one maximum
    // for all axes this gives the same periods.
    double limite = VitesseMaxTable;
    for (int i = 0; i < 3; ++i)
        if (n[i] > 0)
            limite = std::min(limite, n[dominant] * VitesseHaute(i) / n[i]);
    const double voulue = n[dominant] / t;
    int64_t f = voulue <= limite ? Arrondi64(voulue) : static_cast<int64_t>(std::floor(limite));
    f = std::clamp<int64_t>(f, 0, VitesseMaxTable);
    const int64_t periode = TabPeriodes[f];

    const double tr = n[dominant] * static_cast<double>(periode) / static_cast<double>(FreqCompteur);
    if (tr != 0) {
        Form1.RapTextAv.Texte = FormatFixe(60 * l / tr, 4, 0);
        VueActive().Repeindre("RapTextAv");
    } else {
        VueActive().Message(
            "Nv=" + FormatGeneral(l) + " Av=" + FormatGeneral(avance) + " Result=" + std::to_string(periode));
    }
    return periode;
}

void AfficherAxe(int32_t axe)
{
    if (axe < 0 || axe > 2)
        return;
    const int32_t n = PosPas[axe];
    PosMm[axe] = n * ValPas[axe];
    PosAffichee[axe] = n;
    PublierVisue(axe, PosMm[axe]);
    // During a move the window shows the published value; the text of the
    // model waits for the end of the move, so no step pays for formatting.
    if (!mouvementEnCours)
        TexteVisue(axe);
}

void AfficherX()
{
    AfficherAxe(0);
}

void AfficherY()
{
    AfficherAxe(1);
}

void AfficherZ()
{
    AfficherAxe(2);
}

bool DebutMouvement()
{
    PasEnRetard = 0;
    PireRetard = 0;
    mouvementEnCours = true;
    premierPas = true;
    // "Axes occupés" for the length of every move: a copy is sent now, as
    // a long jog publishes nothing else until it ends.
    if (!Form1.LedAxeOcc.Allume) {
        Form1.LedAxeOcc.Allume = true;
        VueActive().Repeindre("LedAxeOcc");
    }
    if (MouvementsVirtuels)
        return false;
    if (!memoireVerrouillee) {
        // Once: no page fault inside a move, and the machine thread on the
        // CPU kept for it. Both are refused without the right or on a
        // missing CPU, and moves then simply run without them.
        ::mlockall(MCL_CURRENT | MCL_FUTURE);
        if (CpuMouvement >= 0 && CpuMouvement < CPU_SETSIZE) {
            cpu_set_t ensemble;
            CPU_ZERO(&ensemble);
            CPU_SET(CpuMouvement, &ensemble);
            ::pthread_setaffinity_np(::pthread_self(), sizeof ensemble, &ensemble);
        }
        memoireVerrouillee = true;
    }
    const bool tempsReel = PlateformeActive().PrioriteTempsReel(true);
    if (!bridageSignale) {
        bridageSignale = true;
        const std::string bridage = BridageTempsReel();
        if (!tempsReel)
            MsgHistorique(
                "Priorité temps réel refusée : les pas peuvent prendre du retard. Remède : une limite "
                "rtprio dans /etc/security/limits.conf (voir la page « Régularité des pas » de l'aide).");
        else if (bridage != "-1")
            MsgHistorique("Le noyau bride les tâches temps réel (kernel.sched_rt_runtime_us = " + bridage
                + ") : un pas peut attendre 50 ms. Remède : sudo sysctl kernel.sched_rt_runtime_us=-1.");
    }
    return tempsReel;
}

void ReprendreApresPause()
{
    premierPas = true;
}

void FinMouvement()
{
    if (!MouvementsVirtuels)
        PlateformeActive().PrioriteTempsReel(false);
    mouvementEnCours = false;
    Form1.LedAxeOcc.Allume = false;
    SignalerDefautPort();
    for (int32_t axe = 0; axe < 3; ++axe)
        TexteVisue(axe);
    if (PasEnRetard > 0) {
        retardsATaire.pas += PasEnRetard;
        retardsATaire.pire = std::max(retardsATaire.pire, PireRetard);
        ++retardsATaire.deplacements;
    }
    if (!retardsDeCycle)
        SignalerRetards(false);
}

void SignalerRetards(bool maintenant)
{
    if (retardsDeCycle || retardsATaire.pas == 0)
        return;
    // A busy machine makes most jogs late: one line a minute at most.
    const int64_t instant = PlateformeActive().Compteur();
    if (!maintenant && retardsDits && instant - instantRetardsDits < 60 * FreqCompteur)
        return;
    const int n = retardsATaire.deplacements;
    DireRetards(n == 1 ? std::string("pendant ce déplacement")
                       : "pendant " + std::to_string(n) + " déplacements manuels");
    retardsDits = true;
    instantRetardsDits = instant;
}

void OuvrirBilanCycle()
{
    SignalerRetards(true);
    retardsDeCycle = true;
}

void FermerBilanCycle()
{
    retardsDeCycle = false;
    if (retardsATaire.pas > 0)
        DireRetards("pendant ce cycle");
}

void OublierRetards()
{
    retardsATaire = {};
    retardsDeCycle = retardsDits = false;
}

std::string BridageTempsReel()
{
    std::string contenu;
    if (LireFichier("/proc/sys/kernel/sched_rt_runtime_us", contenu) != Lecture::Ok)
        return "inconnu";
    while (!contenu.empty() && (contenu.back() == '\n' || contenu.back() == ' '))
        contenu.pop_back();
    return contenu;
}

} // namespace virmak

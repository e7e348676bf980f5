#include "machine/in_out.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/machine_virtuelle.h"
#include "machine/port_linux.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// Every access, in order, with the thread that made it; every access fails
// from a chosen one on.
class PortEspion : public AccesPort {
public:
    struct Acces {
        uint16_t adresse;
        int valeur; // -1: a read
        bool operator==(const Acces&) const = default;
    };
    bool Lire(uint16_t adresse, uint8_t& valeur) override
    {
        valeur = 0xFF;
        return Noter(adresse, -1);
    }
    bool Ecrire(uint16_t adresse, uint8_t valeur) override { return Noter(adresse, valeur); }
    std::string Nom() const override { return "espion"; }
    std::string Defaut() const override { return "erreur d'entrée-sortie"; }

    // The `n`-th access from now on fails, and every one after it (-1: none),
    // or that one alone.
    void Echouer(int n, bool seule = false)
    {
        panneDans = n;
        panneSeule = seule;
    }

    mutable std::mutex verrou;
    std::atomic<size_t> nombre { 0 };
    std::vector<Acces> acces;
    std::vector<std::thread::id> fils;

private:
    bool Noter(uint16_t adresse, int valeur)
    {
        std::lock_guard<std::mutex> g(verrou);
        if (panneDans == 0) {
            if (panneSeule)
                panneDans = -1;
            return false;
        }
        if (panneDans > 0)
            --panneDans;
        acces.push_back({ adresse, valeur });
        fils.push_back(std::this_thread::get_id());
        nombre.store(acces.size());
        return true;
    }
    int panneDans = -1;
    bool panneSeule = false;
};

// X on D0/D1, Y on D2/D3, Z on D4/D5, spindle on D6; the X step and the
// spindle inverted.
const char* const Cablage
    = "[PORT]\r\nPortLPT=1\r\n[SORTIES]\r\n"
      "CBOutItem(0)=1\r\nCBOutItem(1)=2\r\nCBOutItem(2)=3\r\nCBOutItem(3)=4\r\n"
      "CBOutItem(4)=5\r\nCBOutItem(5)=6\r\nCBOutItem(6)=7\r\nOutEnable=127\r\nOutInvert=65\r\n"
      "[BOOLEAN]\r\nSimulation=0\r\nDebogage=0\r\n";

class Port : public AvecConfiguration {
protected:
    PortEspion* Espionner()
    {
        auto espion = std::make_unique<PortEspion>();
        PortEspion* p = espion.get();
        DefinirPort(std::move(espion));
        return p;
    }
};

} // namespace

TEST_F(Port, EachRoutineWritesTheDataThenPulsesItsLatchBitAndLeavesTheControlAtZero)
{
    ChargerConfiguration();
    PortEspion* p = Espionner();
    EcrireSortiesA(0x5A);
    EcrireSortiesB(0x01);
    EcrireSortiesC(0x02);
    EXPECT_EQ(LirePortEntrees(), 0xF8);
    EXPECT_FALSE(PortEnDefaut());
    using A = PortEspion::Acces;
    EXPECT_EQ(p->acces,
        (std::vector<A> { { 888, 0x5A }, { 890, 0 }, { 890, 1 }, { 890, 0 }, { 888, 1 }, { 890, 0 },
            { 890, 2 }, { 890, 0 }, { 888, 2 }, { 890, 0 }, { 890, 4 }, { 890, 0 }, { 889, -1 } }));
}

TEST_F(Port, ClearingPutsInvertedLinesAtTheirInactiveLevelAndWritesNothingWithoutAPort)
{
    EcrireTout(Fichier("CncParam.Ini"), Cablage);
    MachineVirtuelleDemandee = true;
    FormCreate();
    MachineVirtuelle* m = MachineVirtuelleActive();
    ASSERT_TRUE(m);
    // The inverted X step and spindle lines rest high: a raw 0 would turn an
    // inverted spindle relay on.
    EXPECT_EQ(m->LatchA(), 0x41);
    EXPECT_EQ(m->LatchB(), 0);
    EXPECT_EQ(m->LatchC(), 0);
    EXPECT_EQ(m->Controle(), 0);
    EXPECT_EQ(m->Position(0), 0);
    EcrireSortiesA(0x7F);
    EcrireSortiesB(0xFF);
    CreerFenetresSecondaires();
    FormClose();
    EXPECT_EQ(m->LatchA(), 0x41);
    EXPECT_EQ(m->LatchB(), 0);

    // A real port from here: nothing in simulation or with the port off.
    MachineVirtuelleDemandee = false;
    PortEspion* p = Espionner();
    Simulation = true;
    EffacerSorties();
    Simulation = false;
    PortLPT = 0;
    EffacerSorties();
    EXPECT_TRUE(p->acces.empty());
    // Drives wired straight on the data lines, with no latch, rest too.
    PortLPT = 1;
    EffacerSorties();
    using A = PortEspion::Acces;
    ASSERT_EQ(p->acces.size(), 13u);
    EXPECT_EQ(p->acces[11], (A { 890, 0 }));
    EXPECT_EQ(p->acces[12], (A { 888, 0x41 }));
}

TEST_F(Port, TheCrashHandlerRacingAMoveRestsTheOutputsLastAndNeverInsideOneOfItsWrites)
{
    ChargerConfiguration();
    PortLPT = 1;
    Simulation = false;
    OutEnable = 0x7F;
    OutInvert = 0x41;
    using A = PortEspion::Acces;
    const std::vector<A> repos { { 888, 0x41 }, { 890, 0 }, { 890, 1 }, { 890, 0 } };
    for (int essai = 0; essai < 50; ++essai) {
        PortEspion* p = Espionner();
        std::atomic<bool> fin { false };
        std::thread machine([&fin] {
            while (!fin.load()) {
                EcrireSortiesA(0x03);
                EcrireSortiesA(0x02);
            }
        });
        while (p->nombre.load() < 40 + static_cast<size_t>(essai))
            std::this_thread::yield();
        CouperSortiesEtReposer();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        fin = true;
        machine.join();
        const auto moi = std::find(p->fils.begin(), p->fils.end(), std::this_thread::get_id());
        const auto k = static_cast<size_t>(moi - p->fils.begin());
        ASSERT_EQ(k % 4, 0u) << essai; // every write sequence of the move is whole
        ASSERT_EQ(p->acces.size(), k + 4) << essai; // and none comes after the rest
        EXPECT_EQ(std::vector<A>(p->acces.begin() + static_cast<long>(k), p->acces.end()), repos) << essai;
    }
}

TEST_F(Port, AFailingAccessIsSaidWithThePortAndTheErrorUntilItIsReported)
{
    ChargerConfiguration();
    PortLPT = 1;
    PortEspion* p = Espionner();
    p->Echouer(1);
    EXPECT_FALSE(EcrireSortiesA(0x01)); // its data went, its control did not
    EXPECT_TRUE(PortEnDefaut());
    EXPECT_EQ(TexteDefautPort(),
        "le port espion ne répond plus (écriture du registre de contrôle : erreur d'entrée-sortie)");
    EXPECT_FALSE(LirePortEntrees());
    EXPECT_NE(TexteDefautPort().find("contrôle"), std::string::npos); // the first failure stays
    OublierDefautPort();
    EXPECT_FALSE(LirePortEntrees());
    EXPECT_NE(TexteDefautPort().find("lecture des entrées"), std::string::npos);
}

TEST_F(Port, AStepPulseThatDidNotGoOutStopsTheMachineThoughTheRestAfterItWent)
{
    EcrireTout(Fichier("CncParam.Ini"), Cablage);
    ChargerConfiguration();
    PortLPT = 1;
    PortEspion* p = Espionner();
    // The rest byte's four writes, the inputs, then the pulse's data write.
    p->Echouer(5, true);
    EmettrePas(MasquePas[0], PeriodePas);
    EXPECT_TRUE(ArretUrgence);
    EXPECT_TRUE(PortEnDefaut());
}

TEST_F(Port, PatternsWrittenThroughLatchAAreDecodedIntoStepsAndDirections)
{
    EcrireTout(Fichier("CncParam.Ini"), Cablage);
    MachineVirtuelleDemandee = true;
    FormCreate();
    MachineVirtuelle* m = MachineVirtuelleActive();
    ASSERT_TRUE(m);
    m->Enregistrer(100);
    const auto sortie
        = [](uint8_t logique) { return static_cast<uint8_t>((logique & OutEnable) ^ OutInvert); };
    // Three X steps forward (direction set first), two Y steps back, one Z
    // step forward with its direction changed on the same write.
    for (int i = 0; i < 3; ++i) {
        EcrireSortiesA(sortie(0x02));
        EcrireSortiesA(sortie(0x03));
    }
    for (int i = 0; i < 2; ++i) {
        EcrireSortiesA(sortie(0x00));
        EcrireSortiesA(sortie(0x04));
    }
    m->DefinirDelaiDirection(1);
    EcrireSortiesA(sortie(0x30));
    EXPECT_EQ(m->Position(0), 3);
    EXPECT_EQ(m->Position(1), -2);
    EXPECT_EQ(m->Position(2), 1);
    EXPECT_EQ(m->ViolationsDirection(), 1);
    ASSERT_EQ(m->Pas().size(), 6u);
    EXPECT_EQ(m->Pas()[3].axe, 1);
    EXPECT_EQ(m->Pas()[3].sens, -1);
    EXPECT_EQ(m->PasEnregistres().size(), 6u);
    EXPECT_EQ(m->PasEnregistres()[5].axe, 2);

    // Recording stops at its room and starts afresh when asked again; the
    // counts go on.
    m->Enregistrer(2);
    for (int i = 0; i < 3; ++i) {
        EcrireSortiesA(sortie(0x02));
        EcrireSortiesA(sortie(0x03));
    }
    EXPECT_EQ(m->Position(0), 6);
    EXPECT_EQ(m->PasEmis(0), 6);
    ASSERT_EQ(m->Pas().size(), 2u);
    EXPECT_EQ(m->Pas()[1].axe, 0);
    m->Enregistrer(0);
    EcrireSortiesA(sortie(0x02));
    EcrireSortiesA(sortie(0x03));
    EXPECT_TRUE(m->Pas().empty());
}

TEST_F(Port, ARealPortThatCannotOpenIsRefusedOnceInFrenchAndLeftUnused)
{
    EcrireTout(Fichier("CncParam.Ini"), "[PORT]\r\nPortLPT=1\r\n");
    FormCreate();
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_NE(vue.messages[0].find("LPT1 (adresse 0x378) ne peut pas être ouvert"), std::string::npos);
    EXPECT_NE(vue.messages[0].find("ppdev"), std::string::npos);
    EXPECT_NE(vue.messages[0].find("--machine-virtuelle"), std::string::npos);
    EXPECT_EQ(PortActif().Nom(), "aucun");
    FormActivate();
    EXPECT_EQ(vue.messages.size(), 1u);
}

TEST_F(Port, EverySignalThatEndsTheProcessPutsTheDataLatchAtRestBeforeItDies)
{
    // Not SIGSEGV: the sanitizers of the test builds take it first.
    for (int signal : { SIGABRT, SIGQUIT, SIGUSR1, SIGPIPE, SIGALRM, SIGXCPU, SIGTERM, SIGRTMIN + 3 }) {
        SCOPED_TRACE(signal);
        int tube[2];
        ASSERT_EQ(::pipe(tube), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Each access goes down the pipe, as async-signal-safe as a port.
            class PortTube : public AccesPort {
            public:
                explicit PortTube(int fd)
                    : fd_(fd)
                {
                }
                bool Lire(uint16_t, uint8_t& valeur) override
                {
                    valeur = 0;
                    return true;
                }
                bool Ecrire(uint16_t adresse, uint8_t valeur) override
                {
                    const uint8_t octets[3] = { static_cast<uint8_t>(adresse & 0xFF),
                        static_cast<uint8_t>(adresse >> 8), valeur };
                    return ::write(fd_, octets, sizeof octets) == 3;
                }
                std::string Nom() const override { return "tube"; }

            private:
                int fd_;
            };
            ::close(tube[0]);
            const rlimit sansCore { 0, 0 };
            ::setrlimit(RLIMIT_CORE, &sansCore);
            PortLPT = 1;
            Simulation = false;
            OutEnable = 0x7F;
            OutInvert = 0x41;
            AdrDLPT = 0x378;
            AdrCLPT = 0x37A;
            DefinirPort(std::make_unique<PortTube>(tube[1]));
            ProtegerSortiesContreSignauxFataux();
            ::raise(signal);
            ::_exit(0);
        }
        ::close(tube[1]);
        std::string recu;
        char tampon[64];
        for (ssize_t n; (n = ::read(tube[0], tampon, sizeof tampon)) > 0;)
            recu.append(tampon, static_cast<size_t>(n));
        ::close(tube[0]);
        int statut = 0;
        ASSERT_EQ(::waitpid(pid, &statut, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(statut));
        EXPECT_EQ(WTERMSIG(statut), signal);
        const std::string attendu { '\x78', '\x03', '\x41', '\x7A', '\x03', '\x00', '\x7A', '\x03', '\x01',
            '\x7A', '\x03', '\x00' };
        EXPECT_EQ(recu, attendu);
    }
}

TEST(PortLinux, TheParportIsTheOneWhoseBaseAddressIsTheDataRegister)
{
    const std::string racine = std::filesystem::temp_directory_path() / "virmak-parport-test";
    std::filesystem::remove_all(racine);
    for (const auto& [nom, base] :
        { std::pair { "parport0", "632\t1656\n" }, { "parport1", "888\t1912\n" } }) {
        std::filesystem::create_directories(racine + "/" + nom);
        EcrireTout(racine + "/" + nom + "/base-addr", base);
    }
    EXPECT_EQ(TrouverParport(0x378, racine), "parport1");
    EXPECT_EQ(TrouverParport(0x3BC, racine), "");
    // The device is not there: ppdev says so, then direct I/O is tried.
    OuverturePort o = OuvrirPortReel(0x378, racine, racine + "/absent");
    if (!o.port) {
        EXPECT_NE(o.essais.find(racine + "/absent/parport1"), std::string::npos);
        EXPECT_NE(o.essais.find("accès direct"), std::string::npos);
    }
    std::filesystem::remove_all(racine);
}

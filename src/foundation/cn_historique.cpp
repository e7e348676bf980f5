#include "foundation/cn_historique.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/texte.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace virmak {

FenetreHistorique FormHist;

namespace {

    // Reported once per run so that a full disk does not flood the list.
    bool echecSignale = false;
    bool fenetreCreee = false;
    std::vector<std::string> enAttente;
    // The history is read whole at start-up and never rotated: years of it.
    constexpr size_t TailleHistoriqueMaxi = size_t { 256 } << 20;

    // Opened, appended and closed for every line, so the file is never held
    // open. A file marked read-only is refused as every other file is, and
    // only a regular file is written: a pipe without reader would wait.
    bool Ajouter(const std::string& texte)
    {
        const int fd = ::open(
            CheminHistorique().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        struct stat st { };
        bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0;
        if (ok) {
            const ssize_t ecrits = ::write(fd, texte.data(), texte.size());
            ok = ecrits == static_cast<ssize_t>(texte.size());
            // Mended: half a line (a full disk) is taken back, so the next
            // line does not glue onto it.
            if (!ok && ecrits > 0) [[maybe_unused]]
                const int r = ::ftruncate(fd, st.st_size);
        }
        ok = (::close(fd) == 0) && ok;
        return ok;
    }

    // One line of the list is one line of the file: a line break inside a
    // message (a file name may hold one) would split it, and bytes that are
    // not UTF-8 would read back differently.
    std::string UneLigne(const std::string& texte)
    {
        std::string ligne = DecoderLigne(texte);
        for (char& c : ligne)
            if (c == '\r' || c == '\n')
                c = ' ';
        return ligne;
    }

    void SignalerEchec()
    {
        if (echecSignale)
            return;
        echecSignale = true;
        FormHist.ListBoxHist.Ajouter(LigneHistorique("Impossible d'écrire dans " + CheminHistorique()));
    }

    bool EcrireEntete()
    {
        const std::string contenu = std::string(EnteteHistorique1) + "\r\n" + EnteteHistorique2 + "\r\n";
        return EcrireFichierAtomique(CheminHistorique(), contenu);
    }

} // namespace

std::string CheminHistorique()
{
    return RepExe + "Virmak.His";
}

std::string LigneHistorique(const std::string& texte)
{
    const std::time_t maintenant = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&maintenant, &local);
    // Numeric fields only: these do not follow the locale.
    char date[32] = "";
    char heure[32] = "";
    std::strftime(date, sizeof date, "%d/%m/%Y", &local);
    std::strftime(heure, sizeof heure, "%H:%M:%S", &local);
    return std::string(date) + " à " + heure + " --> " + texte;
}

void MsgHistorique(const std::string& texte)
{
    const std::string ligne = LigneHistorique(UneLigne(texte));
    FormHist.ListBoxHist.Ajouter(ligne);
    // No file before a configuration folder is chosen, none for virmak-cli.
    if (!LectureSeule && !RepExe.empty() && !Ajouter(ligne + "\r\n"))
        SignalerEchec();
}

void MsgHistoriqueDiffere(const std::string& texte)
{
    if (fenetreCreee)
        MsgHistorique(texte);
    else
        enAttente.push_back(texte);
}

const std::vector<std::string>& HistoriqueEnAttente()
{
    return enAttente;
}

void ViderHistoriqueEnAttente()
{
    enAttente.clear();
    fenetreCreee = false;
}

void CreerHistorique()
{
    FormHist = FenetreHistorique {};
    echecSignale = false;
    std::string contenu;
    struct stat st { };
    if (::stat(CheminHistorique().c_str(), &st) != 0 && errno == ENOENT) {
        if (!EcrireEntete())
            SignalerEchec();
    }
    if (LireFichier(CheminHistorique(), contenu, TailleHistoriqueMaxi) == Lecture::Ok)
        for (std::string& ligne : DecouperLignes(contenu))
            FormHist.ListBoxHist.Ajouter(std::move(ligne));
    // A last line left without its end (a crash, a hand edit) is closed
    // first, so that the empty line of this run is one in the file too.
    const bool ligneOuverte = !contenu.empty() && contenu.back() != '\n';
    FormHist.ListBoxHist.Ajouter("");
    if (!Ajouter(ligneOuverte ? "\r\n\r\n" : "\r\n"))
        SignalerEchec();
    MsgHistorique(BanniereLancement);
    fenetreCreee = true;
    for (const std::string& texte : enAttente)
        MsgHistorique(texte);
    enAttente.clear();
}

void DetruireHistorique()
{
    MsgHistorique(BanniereArret);
}

void Voir1Click()
{
    VERIFIER_FIL_MACHINE();
    FormHist.Visible = true;
}

void BtnHistEffacerClick()
{
    VERIFIER_FIL_MACHINE();
    FormHist.ListBoxHist.Vider();
    FormHist.ListBoxHist.Ajouter(EnteteHistorique1);
    FormHist.ListBoxHist.Ajouter(EnteteHistorique2);
    echecSignale = false;
    if (!EcrireEntete())
        SignalerEchec();
}

void FormHistClose()
{
    VERIFIER_FIL_MACHINE();
    FormHist.Visible = false;
}

} // namespace virmak

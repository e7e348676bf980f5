#include "pupitre/dialogue_outils.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/texte.h"
#include "foundation/vue.h"

#include <cstdio>
#include <string_view>

namespace virmak {

FenetreOutils FormCorrecteursOutils;

namespace {

    constexpr int LargeurCellule = 8;
    constexpr int LargeurExport = 10;

    std::string Cellule(double valeur)
    {
        return FormatFixe(valeur, LargeurCellule, 3);
    }

    // A line break would split the export line and the key file's value.
    std::string Designation(const std::string& cellule)
    {
        std::string texte(SansBlancs(cellule));
        for (char& c : texte)
            if (c == '\r' || c == '\n')
                c = ' ';
        return std::string(SansBlancs(texte));
    }

    // The cell as the operator left it. A cell still showing the value the
    // dialog put there keeps the exact value: the 3 decimals shown must not
    // round away a finer gauge or wear at every confirmation.
    double Valeur(const std::string& cellule, double actuelle)
    {
        if (cellule == Cellule(actuelle))
            return actuelle;
        return LireCellule(cellule, actuelle);
    }

    std::string Export(const TOutil (&table)[NbOutils])
    {
        std::string texte;
        texte.reserve(NbOutils * 48);
        for (int n = 0; n < NbOutils; ++n) {
            const TOutil& o = table[n];
            texte += LibelleOutil(n) + "\r\n";
            texte += o.Designation + "\r\n";
            texte += FormatFixe(o.Jauge[0], LargeurExport, 3) + FormatFixe(o.Jauge[1], LargeurExport, 3)
                + "\r\n";
        }
        return texte;
    }

    bool EnregistrerJauges(const TOutil (&table)[NbOutils])
    {
        IniOutil.SilencieuxEnEchec(true);
        IniOutil.DebutLot();
        for (int n = 0; n < NbOutils; ++n) {
            const std::string section = SectionOutil(n);
            IniOutil.EcrireChaine(section, "Designation", table[n].Designation);
            IniOutil.EcrireReel(section, CleIndexee("Jauge", 0), table[n].Jauge[0]);
            IniOutil.EcrireReel(section, CleIndexee("Jauge", 1), table[n].Jauge[1]);
        }
        const bool ok = IniOutil.FinLot();
        IniOutil.SilencieuxEnEchec(false);
        return ok;
    }

    // `nonRemis`: a file that was written and could not be put back.
    void SignalerRefus(const std::string& chemin, const std::string& nonRemis = "")
    {
        VueActive().Message("Impossible d'écrire dans " + chemin + " : les outils n'ont pas été modifiés."
            + (nonRemis.empty() ? "" : " " + nonRemis + " n'a pas pu être remis dans son état précédent."));
    }

} // namespace

double LireCellule(const std::string& texte, double precedente)
{
    if (SansBlancs(texte).empty())
        return 0;
    return LireReelTexte(texte).value_or(precedente);
}

Grille::Grille(std::vector<int> largeurs, int rangees)
    : ColWidths(std::move(largeurs))
    , rangees_(rangees)
    , cellules_(ColWidths.size() * static_cast<size_t>(rangees))
{
}

std::string& Grille::Cells(int colonne, int rangee)
{
    return cellules_[static_cast<size_t>(rangee) * ColWidths.size() + static_cast<size_t>(colonne)];
}

const std::string& Grille::Cells(int colonne, int rangee) const
{
    return cellules_[static_cast<size_t>(rangee) * ColWidths.size() + static_cast<size_t>(colonne)];
}

void FenetreOutils::FormCreate()
{
    Grille& g = StringGridOutils;
    Grille& c = StringGridCorDyn;
    for (int n = 0; n < NbOutils; ++n) {
        const TOutil& o = TabOutils[n];
        g.Cells(0, n + 1) = c.Cells(0, n + 1) = LibelleOutil(n);
        g.Cells(1, n + 1) = o.Designation;
        g.Cells(2, n + 1) = Cellule(o.Jauge[0]);
        g.Cells(3, n + 1) = Cellule(o.Jauge[1]);
        c.Cells(1, n + 1) = Cellule(o.CorDyn[0]);
        c.Cells(2, n + 1) = Cellule(o.CorDyn[1]);
    }
    g.Cells(0, 0) = c.Cells(0, 0) = "";
    g.Cells(1, 0) = "Description";
    g.Cells(2, 0) = "X / D";
    g.Cells(3, 0) = "Y / Z";
    c.Cells(1, 0) = "DX / DR";
    c.Cells(2, 0) = "DY / DZ";
}

bool FenetreOutils::BitBtnOKClick()
{
    VERIFIER_FIL_MACHINE();
    // The export shows the table from before this confirmation; the edited
    // cells reach it at the next one.
    const std::string exportation = Export(TabOutils);
    TOutil nouvelle[NbOutils];
    for (int n = 0; n < NbOutils; ++n) {
        const TOutil& o = TabOutils[n];
        TOutil& e = nouvelle[n];
        e.Designation = Designation(StringGridOutils.Cells(1, n + 1));
        e.Jauge[0] = Valeur(StringGridOutils.Cells(2, n + 1), o.Jauge[0]);
        e.Jauge[1] = Valeur(StringGridOutils.Cells(3, n + 1), o.Jauge[1]);
        e.CorDyn[0] = Valeur(StringGridCorDyn.Cells(1, n + 1), o.CorDyn[0]);
        e.CorDyn[1] = Valeur(StringGridCorDyn.Cells(2, n + 1), o.CorDyn[1]);
    }

    // Both files change or neither: the export's old content is kept so
    // that a refused key file puts it back.
    const std::string chemin = CheminExportOutils();
    std::string ancien;
    const Lecture lecture = LireFichier(chemin, ancien);
    if (!EcrireFichierAtomique(chemin, exportation)) {
        SignalerRefus(chemin);
        return false;
    }
    if (!EnregistrerJauges(nouvelle)) {
        // An old export that could not be read cannot be put back either.
        const bool remis = lecture == Lecture::Ok ? EcrireFichierAtomique(chemin, ancien)
            : lecture == Lecture::Absent          ? std::remove(chemin.c_str()) == 0
                                                  : false;
        SignalerRefus(IniOutil.Chemin(), remis ? "" : chemin);
        return false;
    }

    for (int n = 0; n < NbOutils; ++n)
        TabOutils[n] = nouvelle[n];
    Visible = false;
    return true;
}

void FenetreOutils::BitBtnAnnulerClick()
{
    VERIFIER_FIL_MACHINE();
    Visible = false;
}

void FenetreOutils::BtnAideClick()
{
    VueActive().Aide(1000 + BtnAideTag);
}

void CreerDialogueOutils()
{
    FormCorrecteursOutils = FenetreOutils {};
    FormCorrecteursOutils.FormCreate();
}

void Correcteurs1Click()
{
    VERIFIER_FIL_MACHINE();
    FenetreOutils& f = FormCorrecteursOutils;
    if (!f.Visible)
        f.FormCreate();
    f.Visible = true;
}

} // namespace virmak

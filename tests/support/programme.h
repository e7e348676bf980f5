#pragma once
// A started main window with a program list to fill and analyse.

#include "foundation/pupitre.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <string>
#include <vector>

namespace virmak::test {

class AvecProgramme : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        FormCreate();
        CreerFenetresSecondaires();
    }
    void Lignes(std::vector<std::string> lignes) { Form1.ListBoxProg1.Lignes = std::move(lignes); }
    bool Analyser()
    {
        boite = BoiteProg {};
        return TraiteIso(boite);
    }
    BoiteProg boite;
};

} // namespace virmak::test

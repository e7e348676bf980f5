#include "foundation/plages_cles.h"

#include <strings.h>

namespace virmak {

namespace {

    // Wide enough for every machine this program drives, narrow enough that
    // no derived value (feeds, step counts, slider ranges, pixel sizes)
    // overflows or turns negative.
    constexpr PlageCle Plages[] = {
        { "AXES", "AvMax", 1, 20000 }, // steps per second: the period table's extent
        { "AXES", "ValPas", 1e-5, 1 }, // mm per step
        { "AXES", "NPasJ", 0, 10000 }, // backlash, steps
        { "AXES", "Acceleration", 0, 10000000 }, // steps per second per second
        { "AXES", "VitesseRampe", 0, 20000 }, // steps per second: the period table's extent
        { "AXES", "CreteCir", 1e-4, 1 }, // mm
        { "AXES", "AvRap", 0.01, 1 }, // fraction of the top speeds
        { "AXES", "LarCreneau", 0, 10000 }, // microseconds
        { "AXES", "Course", 0, 100000 }, // mm
        { "AXES", "VitesseRecherche", 1, 10000 }, // mm/min
        { "AXES", "SensRecherche", -1, 1 }, { "AXES", "OrigineMachine", -100000, 100000 }, // mm
        { "AXES", "VitessePalpage", 1, 10000 }, // mm/min
        { "AXES", "CoursePalpage", 0.01, 1000 }, // mm
        { "AXES", "EpaisseurCale", 0, 1000 }, // mm
        { "AXES", "RetraitPalpage", 0, 1000 }, // mm
        { "CYCLES", "G83d", -100, 100 }, // mm
        { "CYCLES", "TempoBroche", 0, 60 }, // seconds
        { "CYCLES", "HauteurSecurite", -100000, 100000 }, // mm
        { "GCODES", "PrgPou", 0, 99 }, { "GCODES", "PrgMet", 0, 99 },
        { "FORM1", "Top", -10000, 10000 }, // pixels
        { "FORM1", "Left", -10000, 10000 }, { "FORM1", "Width", 100, 10000 },
        { "FORM1", "Height", 100, 10000 }, { "INCREMENTS", "NbIncrements", 0, 20 },
        { "INCREMENTS", "ValIncr", 0, 100 }, // mm
        { "PORT", "PortLPT", 0, 4 }, { "PORT", "AdrDLPT", 0, 0xFFFF }, { "PORT", "AdrELPT", 0, 0xFFFF },
        { "PORT", "AdrCLPT", 0, 0xFFFF }, { "ENTREES", "InUtil", 0, 0xFF },
        { "ENTREES", "InInvert", 0, 0xFF }, { "ENTREES", "InEnable", 0, 0xFF },
        { "ENTREES", "CBInItem", 0, 5 }, { "SORTIES", "OutUtil", 0, 0xFF },
        { "SORTIES", "OutInvert", 0, 0xFF }, { "SORTIES", "OutEnable", 0, 0xFF },
        { "SORTIES", "CBOutItem", 0, 8 }, { "OUTIL", "Jauge(0)", 0, 1000 }, // tool diameter, mm
        { "OUTIL", "Jauge(1)", -1000, 1000 }, // tool length, mm
        { "TEMPS REEL", "Cpu", -1, 1023 }, // -1: any CPU
        { "MACHINE VIRTUELLE", "Course", 0, 100000 }, // mm
        { "MACHINE VIRTUELLE", "Cale", -100000, 100000 }, // mm
    };

    // "AvMax(2)" -> "AvMax".
    std::string_view Base(std::string_view nom)
    {
        const size_t parenthese = nom.find('(');
        return parenthese == std::string_view::npos ? nom : nom.substr(0, parenthese);
    }

    bool Egal(std::string_view a, std::string_view b)
    {
        return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
    }

} // namespace

const PlageCle* PlageDe(std::string_view section, std::string_view cle)
{
    for (const PlageCle& p : Plages)
        if (Egal(Base(section), p.section) && (Egal(cle, p.cle) || Egal(Base(cle), p.cle)))
            return &p;
    return nullptr;
}

} // namespace virmak

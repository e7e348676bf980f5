// Writes the benchmarks' realistic 30 000-line program to a file, so that
// whole processes can be timed on it (bench/temps_cli.sh).

#include "programme_realiste.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage : ecrire_programme FICHIER\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f)
        return 1;
    for (const std::string& ligne : virmak::bench::ProgrammeRealiste())
        std::fprintf(f, "%s\r\n", ligne.c_str());
    return std::fclose(f) == 0 ? 0 : 1;
}

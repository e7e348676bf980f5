#!/usr/bin/env bash
# Measures the tests by mutation: each mutant of scripts/mutants.txt, a
# small plausible fault in the units where one costs a part, a tool or a
# machine, is applied alone to a scratch copy of the sources, built
# incrementally and the whole suite run against it. Prints each mutant's
# fate and the score. Exits 2 when a listed mutant no longer applies or no
# longer builds (the list must follow the code), 1 when a mutant not marked
# equivalent survives, 0 when every one is caught. Not part of CI: it takes
# a few minutes a mutant on two cores.
#
# Usage: scripts/mutants.sh [--verifier] [-k TEXTE] [DOSSIER_DE_TRAVAIL]
#   --verifier only checks that every mutant still applies, in a second
#   -k MOTIF   only the mutants whose file or description matches MOTIF
#              (a regular expression)
#   DOSSIER    the scratch copy and its build, kept between runs
#              (default: ${TMPDIR:-/tmp}/virmak-mutants)
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
filtre=""
verifier=""
if [ "${1:-}" = "--verifier" ]; then
  verifier=1
  shift
fi
if [ "${1:-}" = "-k" ]; then
  filtre="$2"
  shift 2
fi
travail="${1:-${TMPDIR:-/tmp}/virmak-mutants}"
command -v python3 >/dev/null || { echo "mutants : python3 est nécessaire." >&2; exit 2; }
exec python3 - "$racine" "$travail" "$filtre" "$verifier" <<'PY'
import os, re, shutil, subprocess, sys, time

racine, travail, filtre, verifier = sys.argv[1:5]
copie, build = os.path.join(travail, "copie"), os.path.join(travail, "build")
jobs = str(min(os.cpu_count() or 1, 2))


def lire_liste(chemin):
    mutants, courant = [], None
    for n, ligne in enumerate(open(chemin, encoding="utf-8"), 1):
        ligne = ligne.rstrip("\n")
        if not ligne.strip() or ligne.startswith("#"):
            continue
        tete, reste = ligne[:2], ligne[2:].replace("\\n", "\n")
        if tete == "@ ":
            fichier, _, quoi = reste.partition(" | ")
            courant = {"ligne": n, "fichier": fichier.strip(), "quoi": quoi.strip(), "equivalent": None}
            mutants.append(courant)
        elif courant and tete == "- ":
            courant["avant"] = reste
        elif courant and tete == "+ ":
            courant["apres"] = reste
        elif courant and tete == "= ":
            courant["equivalent"] = reste
        else:
            sys.exit(f"mutants.txt:{n} : ligne incomprise : {ligne}")
    for m in mutants:
        if "avant" not in m or "apres" not in m:
            sys.exit(f"mutants.txt:{m['ligne']} : il manque « - » ou « + ».")
    return mutants


def ecrire_si_different(source, cible):
    # A fresh write gives a fresh time, so the build always sees the change
    # (a copy keeping the source's older time could leave a mutant built).
    contenu = open(source, "rb").read()
    if os.path.exists(cible) and open(cible, "rb").read() == contenu:
        return
    os.makedirs(os.path.dirname(cible), exist_ok=True)
    with open(cible, "wb") as f:
        f.write(contenu)


def copier_sources():
    suivis = subprocess.run(["git", "-C", racine, "ls-files", "-z"], check=True, capture_output=True).stdout
    for nom in suivis.decode().split("\0"):
        if nom and os.path.isfile(os.path.join(racine, nom)):
            ecrire_si_different(os.path.join(racine, nom), os.path.join(copie, nom))


def construire():
    r = subprocess.run(["cmake", "--build", build, "-j", jobs], capture_output=True, text=True)
    return r.returncode == 0, r.stdout[-3000:] + r.stderr[-3000:]


def tester():
    r = subprocess.run(["ctest", "--test-dir", build, "-j", jobs, "--timeout", "300", "--stop-on-failure"],
                       capture_output=True, text=True)
    tombes = re.findall(r"\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)",
                        r.stdout)
    return r.returncode == 0, tombes


mutants = [m for m in lire_liste(os.path.join(racine, "scripts", "mutants.txt"))
           if re.search(filtre, m["fichier"] + " : " + m["quoi"])]
if verifier:
    faux = [m for m in mutants
            if open(os.path.join(racine, m["fichier"]), encoding="utf-8").read().count(m["avant"]) != 1]
    for m in faux:
        print(f"mutants.txt:{m['ligne']} : ne s'applique plus : {m['fichier']} : {m['quoi']}")
    print(f"{len(mutants) - len(faux)} mutants sur {len(mutants)} s'appliquent.")
    sys.exit(2 if faux else 0)
copier_sources()
if not os.path.exists(os.path.join(build, "build.ninja")):
    lanceur = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    subprocess.run(["cmake", "-S", copie, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DVIRMAK_BENCH=OFF", "-DVIRMAK_WERROR=OFF"] + lanceur, check=True, stdout=subprocess.DEVNULL)
ok, journal = construire()
if not ok:
    sys.exit("mutants : les sources non modifiées ne se construisent pas :\n" + journal)
ok, tombes = tester()
if not ok:
    sys.exit("mutants : la suite échoue sans mutant : " + " ".join(tombes))

tues = survivants = equivalents = erreurs = 0
for k, m in enumerate(mutants, 1):
    chemin = os.path.join(copie, m["fichier"])
    texte = open(chemin, encoding="utf-8").read() if os.path.exists(chemin) else ""
    entete = f"{k:2}/{len(mutants)} {m['fichier']} : {m['quoi']}"
    if texte.count(m["avant"]) != 1:
        erreurs += 1
        print(f"{entete}\n      NE S'APPLIQUE PLUS (mutants.txt:{m['ligne']}, texte trouvé "
              f"{texte.count(m['avant'])} fois)", flush=True)
        continue
    debut = time.monotonic()
    try:
        with open(chemin, "w", encoding="utf-8") as f:
            f.write(texte.replace(m["avant"], m["apres"]))
        construit, journal = construire()
        if construit:
            passe, tombes = tester()
    finally:
        with open(chemin, "w", encoding="utf-8") as f:
            f.write(texte)
    duree = time.monotonic() - debut
    if not construit:
        erreurs += 1
        print(f"{entete}\n      NE SE CONSTRUIT PAS (mutants.txt:{m['ligne']})\n{journal}", flush=True)
    elif not passe:
        tues += 1
        marque = " (pourtant marqué équivalent)" if m["equivalent"] else ""
        print(f"{entete}\n      tué{marque} en {duree:.0f} s par {' '.join(tombes) or 'la suite'}", flush=True)
    elif m["equivalent"]:
        equivalents += 1
        print(f"{entete}\n      équivalent : {m['equivalent']}", flush=True)
    else:
        survivants += 1
        print(f"{entete}\n      SURVIVANT en {duree:.0f} s", flush=True)

construire()  # the copy's build back to the sources as they are
utiles = len(mutants) - equivalents - erreurs
print(f"\nScore : {tues} tués sur {utiles} non équivalents ({equivalents} équivalents, "
      f"{erreurs} à revoir dans la liste).")
sys.exit(2 if erreurs else (1 if survivants else 0))
PY

#pragma once
// Text as files hold it: lines end with LF or CR LF, and an older
// installation may have written Windows-1252 instead of UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace virmak {

bool EstUtf8Valide(std::string_view octets);

// UTF-8 as is; anything else is taken as Windows-1252 and converted.
std::string DecoderLigne(std::string_view octets);

// Splits at LF, drops a CR before it, decodes each line. A final line
// without its end of line is kept; a file ending with one is not given an
// extra empty line.
std::vector<std::string> DecouperLignes(std::string_view contenu);

// Reads a whole file; false when it cannot be opened or read.
bool LireFichier(const std::string& chemin, std::string& contenu);

// Writes a whole file through a temporary file in the same folder renamed
// over the old one, so a crash or a full disk never leaves it truncated.
bool EcrireFichierAtomique(const std::string& chemin, std::string_view contenu);

} // namespace virmak

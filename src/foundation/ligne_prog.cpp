#include "foundation/ligne_prog.h"

#include <cstring>
#include <new>

namespace virmak {

TexteCommentaire::TexteCommentaire(std::string_view texte)
{
    if (texte.empty())
        return;
    void* memoire = ::operator new(sizeof(Bloc) + texte.size());
    bloc_ = new (memoire) Bloc { 1, texte.size() };
    std::memcpy(bloc_ + 1, texte.data(), texte.size());
}

void TexteCommentaire::Liberer(Bloc* bloc) noexcept
{
    bloc->~Bloc();
    ::operator delete(bloc);
}

} // namespace virmak

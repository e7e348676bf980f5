#include "foundation/vue.h"

#include <cstdio>

namespace virmak {

namespace {
    VueMuette vueMuette;
    Vue* vueActive = &vueMuette;
} // namespace

void VueMuette::Message(const std::string& texte)
{
    std::fprintf(stderr, "%s\n", texte.c_str());
}

Vue& VueActive()
{
    return *vueActive;
}

void DefinirVue(Vue* vue)
{
    vueActive = vue ? vue : &vueMuette;
}

} // namespace virmak

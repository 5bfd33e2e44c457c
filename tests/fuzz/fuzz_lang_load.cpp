#include "formats/lang/LangPack.h"
#include "formats/lang/Localizer.h"
#include "formats/xml/Node.h"

#include <cstddef>
#include <cstdint>

using s::thread::Pooled;

// Any document a localizer is handed: load it, switch through every language and ask for texts,
// named and numeric, known and unknown.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Pooled<s::lang::Localizer> localizer;
    localizer->setSystemLanguageName(u"English");
    {
        Pooled<s::xml::Node> root;
        root->parseBytes(data, size);
        localizer->load(root.get());
    }
    for (uint32_t i = 0; i <= localizer->languageCount(); ++i) {
        localizer->selectLanguageAt(i);
        s::lang::LangPack* pack = localizer->currentLanguage();
        if (!pack)
            continue;
        localizer->selectLanguage(pack->englishName());
        localizer->findLanguage(pack->tag());
        for (uint32_t k = 0; k < pack->textCount(); ++k)
            (void)localizer->text(pack->idAt(k));
        (void)localizer->text(-1);
        (void)localizer->namedText(u"name");
        (void)pack->hasUpdateText();
    }
    localizer->selectLanguage(u"Chinese");
    localizer->selectLanguage(u"Serbian");
    localizer->selectLanguage(u"Portuguese");
    return 0;
}

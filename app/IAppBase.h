#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace s::map {
class IMappedData;
}
namespace s::lang {
class Localizer;
}

namespace s::app {

// What the rest of the program needs of the application object: the settings store, the
// language pack and the identity texts derived from the language base id.
class IAppBase {
public:
    // The display name is base + 0, the program's web page base + 3, the version text base + 10.
    static constexpr int32_t languageBaseId = 500000;
    static constexpr int32_t registryNameId = 300000;
    static constexpr int32_t displayNameOffset = 0;
    static constexpr int32_t webPageOffset = 3;
    static constexpr int32_t versionOffset = 10;

    virtual ~IAppBase() = default;

    // Null before the store was opened.
    virtual map::IMappedData* store() = 0;
    virtual bool saveStore() = 0;
    virtual lang::Localizer* localizer() = 0;

    virtual std::u16string_view softwareType() const = 0;
    // The program's icon as picture data; empty when the build has none.
    virtual std::span<const uint8_t> iconData() const { return {}; }
    int32_t langBaseId() const { return languageBaseId; }

    // The current language's text for an id (empty when there is no language pack).
    virtual std::u16string text(int32_t id) = 0;
    std::u16string displayName() { return text(languageBaseId + displayNameOffset); }
    std::u16string webPage() { return text(languageBaseId + webPageOffset); }
    std::u16string versionText() { return text(languageBaseId + versionOffset); }

    // The stored language (an English language name); the language the localizer chose for the
    // system when nothing is stored.
    virtual std::u16string languageSetting() = 0;
    virtual void storeLanguage(std::u16string_view englishName) = 0;
};

}

#pragma once

#include "app/IAppBase.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "formats/lang/Localizer.h"
#include "formats/reg/MappedData.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>


namespace s::app::os {

// The application object: the command line, where the program lives, its language pack and
// pictures, and the settings store in the user's registry under
// "Software\Pellix\<registry name>\SaveData". initialize() opens the store with automatic saving
// off, writes the identity keys, selects the stored language and switches automatic saving on.
class AppBase final : public IAppBase
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(AppBase, "s_app_os_AppBase")
public:
    static constexpr char16_t softwareTypeText[] = u"Freeware";

    AppBase() = default;
    ~AppBase() override;
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    void reset() override;

    struct Setup {
        // The program's arguments, without the program name.
        std::vector<std::string> arguments;
        // The language pack document; the shipped one when empty.
        std::span<const uint8_t> languagePack;
        // Another hive file than the user's (tests and tools).
        reg::os::Hive* hive { nullptr };
    };
    bool initialize(const Setup& setup);

    const std::vector<std::string>& arguments() const { return m_arguments; }
    // Any argument equal to "-startup", whatever the letter case.
    bool hasStartupFlag() const;
    const std::string& executablePath() const { return m_executablePath; }
    const std::string& executableFolder() const { return m_executableFolder; }

    // Picture data compiled into the program (PNG/JPEG bytes); empty when the build has none.
    std::span<const uint8_t> iconData() const override { return m_icon; }
    std::span<const uint8_t> bannerData(int index) const { return index == 0 ? m_banner0 : m_banner1; }

    // "Software\Pellix\<registry name>" and that plus "\SaveData".
    std::u16string programKeyPath();
    std::u16string storeKeyPath() { return programKeyPath() + u"\\SaveData"; }

    // The first start after a silent installation: when the program key holds a value "Silent",
    // removes it and answers true (the caller opens the program's web page).
    bool takeSilentMark();

    // IAppBase
    map::IMappedData* store() override;
    bool saveStore() override;
    lang::Localizer* localizer() override { return m_localizer.get(); }
    std::u16string_view softwareType() const override { return softwareTypeText; }
    std::u16string text(int32_t id) override;
    std::u16string languageSetting() override;
    void storeLanguage(std::u16string_view englishName) override;

private:
    void loadPictures();
    void writeIdentity();
    void selectStoredLanguage();

    std::vector<std::string> m_arguments;
    std::string m_executablePath;
    std::string m_executableFolder;
    std::vector<uint8_t> m_icon;
    std::vector<uint8_t> m_banner0;
    std::vector<uint8_t> m_banner1;
    thread::Pooled<lang::Localizer> m_localizer { nullptr };
    thread::Pooled<reg::MappedData> m_store { nullptr };
    reg::os::Hive* m_hive { nullptr };
    bool m_saved { false };
};

}

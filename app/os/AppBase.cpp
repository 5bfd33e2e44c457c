#include "app/os/AppBase.h"

#include "formats/lang/LangPack.h"
#include "formats/reg/os/RegDir.h"
#include "foundation/str/CaseFold.h"
#include "foundation/str/StrBuffer.h"

#include <QFile>

#include <cstring>
#include <unistd.h>

namespace s::app::os {

namespace {

constexpr char16_t languageSection[] = u"Language";

template<class View>
bool equalsIgnoreAsciiCase(View a, View b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (str::CaseFold::asciiLower(a[i]) != str::CaseFold::asciiLower(b[i]))
            return false;
    }
    return true;
}

std::string readExecutablePath()
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, size_t(n));
}

std::vector<uint8_t> readResource(const char* name)
{
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}

AppBase::~AppBase() = default;

void AppBase::reset()
{
    // The registry store writes every change at once; an explicit save only matters for a
    // store that never was saved, so it is flushed on the way out.
    if (m_store && !m_saved)
        m_store->flush();
    m_store.replace();
    m_localizer.replace();
    m_arguments.clear();
    m_executablePath.clear();
    m_executableFolder.clear();
    m_icon.clear();
    m_banner0.clear();
    m_banner1.clear();
    m_hive = nullptr;
    m_saved = false;
}

bool AppBase::initialize(const Setup& setup)
{
    // Step 1: the command line and where the program lives.
    m_arguments = setup.arguments;
    m_executablePath = readExecutablePath();
    size_t slash = m_executablePath.rfind('/');
    m_executableFolder = slash == std::string::npos ? std::string() : m_executablePath.substr(0, slash ? slash : 1);

    // Step 2: the language pack and the pictures.
    m_localizer = setup.languagePack.empty() ? lang::Localizer::createEmbedded() : lang::Localizer::createFromBytes(setup.languagePack);
    loadPictures();

    // Step 3: the settings store, identity keys and the stored language, then automatic saving.
    m_hive = setup.hive;
    std::u16string path = storeKeyPath();
    m_store = reg::MappedData::create(reg::os::RootKey::CurrentUser, path.c_str());
    if (m_hive)
        m_store->setHive(m_hive);
    m_store->setAutoSave(false);
    writeIdentity();
    selectStoredLanguage();
    m_store->setAutoSave(true);
    return true;
}

bool AppBase::hasStartupFlag() const
{
    for (const std::string& argument : m_arguments) {
        if (equalsIgnoreAsciiCase<std::string_view>(argument, "-startup"))
            return true;
    }
    return false;
}

void AppBase::loadPictures()
{
    m_icon = readResource(":/fetchwick/icon.png");
    m_banner0 = readResource(":/fetchwick/banner1.jpg");
    m_banner1 = readResource(":/fetchwick/banner2.jpg");
}

std::u16string AppBase::programKeyPath()
{
    std::u16string name = text(registryNameId);
    if (name.empty())
        name = u"Fetchwick";
    return u"Software\\Pellix\\" + name;
}

bool AppBase::takeSilentMark()
{
    thread::Pooled<reg::os::RegDir> key = reg::os::RegDir::make(reg::os::RootKey::CurrentUser, programKeyPath());
    if (m_hive)
        key->setHive(m_hive);
    if (!key->hasValue(u"Silent"))
        return false;
    key->deleteValue(u"Silent");
    return true;
}

map::IMappedData* AppBase::store()
{
    return m_store.get();
}

bool AppBase::saveStore()
{
    if (!m_store)
        return false;
    m_saved = m_store->flush();
    return m_saved;
}

std::u16string AppBase::text(int32_t id)
{
    if (!m_localizer)
        return {};
    return std::u16string(m_localizer->text(id));
}

void AppBase::writeIdentity()
{
    std::u16string id = text(registryNameId);
    std::u16string version = versionText();
    m_store->setString(u"SoftwareType", u"", softwareTypeText);
    m_store->setString(u"SoftwareID", u"", id.c_str());
    m_store->setString(u"Version", u"", version.c_str());
}

std::u16string AppBase::languageSetting()
{
    std::u16string fallback;
    if (m_localizer && m_localizer->currentLanguage())
        fallback = std::u16string(m_localizer->currentLanguage()->englishName());
    if (!m_store)
        return fallback;
    return std::u16string(m_store->getString(languageSection, u"", fallback.c_str()).view());
}

void AppBase::storeLanguage(std::u16string_view englishName)
{
    if (!m_store)
        return;
    std::u16string name(englishName);
    m_store->setString(languageSection, u"", name.c_str());
}

void AppBase::selectStoredLanguage()
{
    std::u16string stored = languageSetting();
    m_localizer->selectLanguage(stored);
    lang::LangPack* current = m_localizer->currentLanguage();
    if (!current)
        return;
    if (!equalsIgnoreAsciiCase<std::u16string_view>(current->englishName(), stored))
        storeLanguage(current->englishName());
}

}

#include "app/MainSettings.h"

#include "app/IAppBase.h"
#include "app/SaveFolder.h"
#include "app/os/AppWindow.h"
#include "formats/map/IMappedData.h"
#include "foundation/str/StrBuffer.h"

namespace s::app {

namespace {

constexpr char16_t settingSection[] = u"Setting";
constexpr char16_t folderSection[] = u"DownloadPath";
constexpr char16_t viewSection[] = u"View";

}

bool MainSettings::flag(const char16_t* section, const char16_t* name, bool fallback) const
{
    map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr;
    return store ? store->getBool(m_window.sectionPath(section).c_str(), name, fallback) : fallback;
}

void MainSettings::setFlag(const char16_t* section, const char16_t* name, bool on)
{
    if (map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr)
        store->setBool(m_window.sectionPath(section).c_str(), name, on);
}

bool MainSettings::autoStart() const { return flag(settingSection, u"AutoStart", true); }
void MainSettings::setAutoStart(bool on) { setFlag(settingSection, u"AutoStart", on); }
bool MainSettings::mp3Only() const { return flag(settingSection, u"Mp3Only", false); }
void MainSettings::setMp3Only(bool on) { setFlag(settingSection, u"Mp3Only", on); }
bool MainSettings::onceDropped() const { return flag(viewSection, u"OnceDropped", false); }
void MainSettings::setOnceDropped(bool on) { setFlag(viewSection, u"OnceDropped", on); }
bool MainSettings::onceDblClicked() const { return flag(viewSection, u"OnceDblClicked", false); }
void MainSettings::setOnceDblClicked(bool on) { setFlag(viewSection, u"OnceDblClicked", on); }
bool MainSettings::requireLogin() const { return flag(viewSection, u"RequireLogin", false); }
void MainSettings::setRequireLogin(bool on) { setFlag(viewSection, u"RequireLogin", on); }
bool MainSettings::showDetails() const { return flag(viewSection, u"ShowDetails", false); }
void MainSettings::setShowDetails(bool on) { setFlag(viewSection, u"ShowDetails", on); }

int32_t MainSettings::tab(int32_t pageCount) const
{
    map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr;
    int32_t page = store ? store->getS32(m_window.sectionPath(viewSection).c_str(), u"Tab", 0) : 0;
    return page >= 0 && page < pageCount ? page : 0;
}

void MainSettings::setTab(int32_t page)
{
    if (map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr)
        store->setS32(m_window.sectionPath(viewSection).c_str(), u"Tab", page);
}

std::u16string MainSettings::defaultSaveFolder() const
{
    std::u16string name = m_window.app() ? m_window.app()->text(downloadsNameId) : std::u16string();
    if (name.empty())
        name = u"Downloads";
    return SaveFolder::defaultFolder(name);
}

std::u16string MainSettings::saveFolder() const
{
    std::u16string fallback = defaultSaveFolder();
    map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr;
    std::u16string path = m_window.sectionPath(folderSection);
    if (!store || !store->hasValue(path.c_str(), u"FolderPath"))
        return fallback;
    std::u16string stored(store->getString(m_window.sectionPath(folderSection).c_str(), u"FolderPath", fallback.c_str()).view());
    return SaveFolder::resolve(stored, fallback);
}

void MainSettings::setSaveFolder(std::u16string_view folder)
{
    if (map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr) {
        std::u16string text(folder);
        store->setString(m_window.sectionPath(folderSection).c_str(), u"FolderPath", text.c_str());
    }
}

ColumnSettings MainSettings::columns() const
{
    ColumnSettings columns;
    if (map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr)
        columns.read(*store, m_window.windowName());
    return columns;
}

void MainSettings::setColumns(const ColumnSettings& columns)
{
    if (map::IMappedData* store = m_window.app() ? m_window.app()->store() : nullptr)
        columns.write(*store, m_window.windowName());
}

}

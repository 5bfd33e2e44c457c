#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/drawer/skin/SkinBase.h"
#include "gui/events/ListenerList.h"

#include <string>
#include <string_view>
#include <vector>

namespace s::gui::drawer {

// The skins of one family, which of them is current, and who hears when that changes
// (handle(skinner, 0)). Used on the GUI thread only.
class Skinner final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Skinner, "s_gui_drawer_Skinner")
public:
    static constexpr int32_t SkinChanged = 0;

    Skinner() { Skinner::reset(); }

    const std::u16string& getFamily() const { return m_family; }
    void setFamily(std::u16string_view family) { m_family = family; }
    // Appends the skins of the family ("Thin": 13 skins, "ThinWindow": 16); any other family adds
    // nothing.
    void loadFamily();

    // The skinner owns the skin from now on.
    void addSkin(skin::SkinBase* skin);
    uint32_t getSkinCount() const { return static_cast<uint32_t>(m_skins.size()); }
    skin::SkinBase* getSkin(uint32_t index) const { return index < m_skins.size() ? m_skins[index] : nullptr; }
    const std::u16string& getSkinName(uint32_t index) const { return m_names.at(index); }

    // Names compare exactly ("classic lg" is not "Classic LG").
    bool findSkin(std::u16string_view name, int32_t& index) const;
    // Makes that skin current; listeners hear of it only when it is another skin than before.
    // False for an index outside the list.
    bool selectSkin(int32_t index);
    skin::SkinBase* getCurrentSkin() const { return m_current >= 0 ? m_skins[static_cast<size_t>(m_current)] : nullptr; }
    int32_t getCurrentIndex() const { return m_current; }

    // The skin a window takes: the stored name when it is a skin of this family, else the wanted
    // name when it is one, else the first skin (0; -1 when there are none).
    int32_t chooseSkin(std::u16string_view storedName, std::u16string_view wantedName) const;

    void addSkinListener(events::IEventListener* listener) { m_listeners.add(listener); }
    void removeSkinListener(events::IEventListener* listener) { m_listeners.remove(listener); }
    uint32_t getListenerCount() const { return m_listeners.count(); }

    void reset() override;

private:
    void releaseSkins();

    std::u16string m_family;
    std::vector<skin::SkinBase*> m_skins;
    std::vector<std::u16string> m_names;
    int32_t m_current { -1 };
    events::ListenerList m_listeners;
};

}

#pragma once

#include "app/os/AppWindow.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/events/IEventListener.h"

#include <cstdint>
#include <string>

namespace s::app {
class IAppBase;
}
namespace s::gui::os {
class Box;
class Button;
class Label;
class Window;
}

namespace s::gui::dialogs {

// The about window. The main window keeps one About3 and calls show() from its About command;
// each show() builds the window afresh (texts follow the current language) and returns at once.
// While it is open the parent is disabled; it is enabled again when the window closes. Nothing
// here waits, so the GUI thread keeps handling worker reports while the window is open.
//
// The look is the "Classic LG" skin's: grey ground, white text, green links.
class About3 final : public events::IEventListener
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(About3, "s_gui_dialogs_About3")
public:
    static constexpr int32_t titleId = 400100;
    static constexpr int32_t closeTextId = 400120;
    static constexpr int32_t versionCaptionId = 400010;
    static constexpr int32_t updatedCaptionId = 400020;
    static constexpr int32_t licenceCaptionId = 400050;
    static constexpr int32_t urlCaptionId = 400080;
    static constexpr int32_t makerPageId = 101000;
    static constexpr int32_t displayNameId = 500000;
    static constexpr int32_t versionId = 500010;
    static constexpr int32_t updatedId = 500020;
    static constexpr int32_t licenceId = 500050;
    static constexpr int32_t donationQuestionId = 500089;
    static constexpr int32_t donationLinkId = 500090;
    static constexpr int32_t donationPageId = 500100;

    static constexpr int32_t creationWidth = 340;
    static constexpr int32_t creationHeight = 285;
    static constexpr std::u16string_view freewareType = u"Freeware";
    static constexpr std::u16string_view skinFamily = u"ThinWindow";
    static constexpr std::u16string_view skinName = u"Classic LG";

    // The colours of the skin, red in the low byte.
    static constexpr uint32_t groundColour = 0x747474; // RGB(116, 116, 116)
    static constexpr uint32_t textColour = 0xFFFFFF;
    static constexpr uint32_t linkColour = 0x00AA00; // RGB(0, 170, 0)
    static constexpr uint32_t donationGround = 0xC7FAEE; // RGB(238, 250, 199)
    static constexpr uint32_t donationBorder = 0x02CE9A; // RGB(154, 206, 2)

    About3() = default;
    ~About3() override;
    About3(const About3&) = delete;
    About3& operator=(const About3&) = delete;

    void reset() override;

    // Builds the window again and shows it over the parent (which stays disabled until it
    // closes). Any thread; the work runs on the GUI thread. A window still open is brought
    // forward instead.
    void show(app::IAppBase& app, os::Window* parent);

    bool isOpen() const;
    // The window of the last opening (null before the first); tests look at it.
    os::Window* window() const { return m_window.get(); }
    bool hasDonationBox() const { return m_donationBox != nullptr; }
    void close();

    void handle(base::IObject* sender, int32_t code) override;

private:
    void build(app::IAppBase& app);
    void closed();

    thread::Pooled<app::os::AppWindow> m_holder { nullptr };
    thread::Pooled<os::Window> m_window { nullptr };
    os::Window* m_parent { nullptr };
    os::Button* m_closeButton { nullptr };
    os::Button* m_crossButton { nullptr };
    os::Label* m_pageLink { nullptr };
    os::Label* m_donationLink { nullptr };
    os::Box* m_donationBox { nullptr };
    bool m_parentDisabled { false };
};

}

#pragma once

#include "app/os/TaskbarProgress.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/IWindowSettings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace s::app {
class IAppBase;
}
namespace s::map {
class IMappedData;
}

namespace s::app::os {

// The settings of one top-level window, kept in sections named after the window
// ("MainWindow\View", ...) of the application's store, and what the window binds to for its
// position, size, flags and middle-click action.
class AppWindow final : public gui::IWindowSettings
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(AppWindow, "s_app_os_AppWindow")
public:
    // The area of all screens together, in pixels; the window's size must fit in it.
    struct ScreenArea {
        int32_t x { 0 };
        int32_t y { 0 };
        int32_t width { 0 };
        int32_t height { 0 };
    };

    static constexpr std::u16string_view actionClose = u"Close";
    static constexpr std::u16string_view actionIconize = u"Iconize";
    static constexpr std::u16string_view actionDoNothing = u"DoNothing";

    AppWindow() = default;
    ~AppWindow() override;
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    void reset() override;

    // Binds the holder to a window and writes the window's identity keys.
    static thread::Pooled<AppWindow> create(IAppBase* app, std::u16string_view windowName, std::u16string_view softwareType,
        int32_t width, int32_t height, std::u16string_view middleClickAction);

    // Where the screens are; the desktop's by default. Tests give their own.
    void setScreenArea(std::function<ScreenArea()> provider) { m_screenArea = std::move(provider); }
    ScreenArea screenArea() const;

    IAppBase* app() const { return m_app; }
    const std::u16string& windowName() const { return m_name; }
    // windowName + "\" + section.
    std::u16string sectionPath(std::u16string_view section) const;
    int32_t langBaseId() const;
    lang::Localizer* languagePack() const;

    // Position ("X", "Y" of the "View" section).
    bool hasX() const;
    bool hasY() const;
    bool hasPosition() const { return hasX() && hasY(); }
    int32_t getX() const;
    int32_t getY() const;
    void setX(int32_t x);
    void setY(int32_t y);
    void setBounds(int32_t x, int32_t y, int32_t width, int32_t height);
    void setSize(int32_t width, int32_t height);
    void removeBounds();

    // Size: the stored value when it is usable (10 up to the screens' extent), else the
    // creation value.
    bool hasWidth() const;
    bool hasHeight() const;
    int32_t getWidth() const;
    int32_t getHeight() const;
    void setWidth(int32_t width);
    void setHeight(int32_t height);
    bool isUsableWidth(int32_t width) const;
    bool isUsableHeight(int32_t height) const;
    int32_t creationWidth() const { return m_width; }
    int32_t creationHeight() const { return m_height; }

    bool getEasyDrag() const;
    void setEasyDrag(bool on);
    bool getMaximized() const;
    void setMaximized(bool on);
    bool getKeepOnTop() const;
    void setKeepOnTop(bool on);

    // Exactly "Iconize", "Close" or "DoNothing" (letter case of the stored text ignored; any
    // other text reads as "DoNothing").
    std::u16string getOnMClick() const;
    bool isOnMClickClose() const { return getOnMClick() == actionClose; }
    bool isOnMClickIconize() const { return getOnMClick() == actionIconize; }
    void setOnMClick(std::u16string_view action);

    // Whole hours since 1970 of the last update check, 0 when never.
    int32_t getUpdateHour() const;
    void setUpdateHour(int32_t hours);

    // Progress on the program's launcher entry, where the desktop shows one.
    void showIndeterminateProgress() { m_taskbar.showIndeterminate(); }
    void setProgress(uint64_t value, uint64_t total) { m_taskbar.setValue(value, total); }
    void removeProgress() { m_taskbar.remove(); }

    // gui::IWindowSettings
    std::span<const uint8_t> getIconData() override;
    lang::Localizer* getLocalizer() override { return languagePack(); }
    std::string getMiddleClickAction() override;
    bool readValue(Value which, int32_t& out) override;
    void writeValue(Value which, int32_t value) override;

private:
    map::IMappedData* store() const;
    bool hasViewValue(const char16_t* name) const;
    int32_t viewS32(const char16_t* name, int32_t fallback) const;
    void setViewS32(const char16_t* name, int32_t value);
    bool viewBool(const char16_t* name, bool fallback) const;
    void setViewBool(const char16_t* name, bool value);

    IAppBase* m_app { nullptr };
    std::u16string m_name;
    std::u16string m_viewPath;
    std::u16string m_softwareType;
    int32_t m_width { 0 };
    int32_t m_height { 0 };
    std::u16string m_middleClick;
    std::function<ScreenArea()> m_screenArea;
    TaskbarProgress m_taskbar;
};

}

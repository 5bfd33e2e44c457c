#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace s::lang {
class Localizer;
}

namespace s::gui {

class FontSetting;

// What a window keeps of itself between runs, provided by the application's settings holder.
// bindSettings reads, in this order: the icon, the language service, the title text id, the font setting,
// easy drag, keep on top, the middle-click action and the saved position, size and maximised
// flag. The window writes back its normal (neither minimised nor maximised) position and size,
// each only when it differs from the stored value, the maximised flag and keep on top.
class IWindowSettings {
public:
    enum Value : int32_t { X, Y, Width, Height, Maximized, Topmost, EasyDrag };

    virtual ~IWindowSettings() = default;

    // The window's icon as picture data (PNG, ICO, ...); empty for the platform's default.
    virtual std::span<const uint8_t> getIconData() { return {}; }
    virtual lang::Localizer* getLocalizer() { return nullptr; }
    // -1 when the window has no title id.
    virtual int32_t getTitleId() { return -1; }
    virtual FontSetting* getFontSetting() { return nullptr; }
    // "DoNothing", "Close" or "Iconize".
    virtual std::string getMiddleClickAction() { return "DoNothing"; }

    // The name of the skin the window showed last ("Skin"); empty when none is stored.
    virtual std::u16string getSkinName() { return {}; }
    virtual void setSkinName(std::u16string_view /*name*/) { }

    // False when nothing is stored for that value.
    virtual bool readValue(Value which, int32_t& out) = 0;
    virtual void writeValue(Value which, int32_t value) = 0;
};

}

#pragma once

#include <string_view>

namespace s::gui {
class IWindow;
}

namespace s::gui::os {

// Modal message boxes, shown on the GUI thread over the given window (or on their own). The
// caption is the window's title, "Error!" for errors.
class MessageBoxW {
public:
    // Information icon.
    static void info(std::u16string_view text, IWindow* owner = nullptr);
    // Exclamation icon.
    static void warn(std::u16string_view text, IWindow* owner = nullptr, std::u16string_view caption = {});
    // Stop icon.
    static void error(std::u16string_view text, IWindow* owner = nullptr);
    // Question icon, Yes and No; true for Yes.
    static bool askYesNo(std::u16string_view text, IWindow* owner = nullptr);
    // Question icon, Yes, No and Cancel: false on Cancel; otherwise yes tells which.
    static bool askYesNoCancel(std::u16string_view text, bool& yes, IWindow* owner = nullptr);
};

}

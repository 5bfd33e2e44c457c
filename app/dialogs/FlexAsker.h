#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/events/IEventListener.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace s::app {
class IAppBase;
}
namespace s::app::os {
class AppWindow;
}
namespace s::gui::os {
class Button;
class CheckBox;
class Window;
}

namespace s::gui::dialogs {

class AskerKeys;

// The yes/no question window. ask() shows it over its owner, keeps the owner disabled while it
// is open and returns once it is closed, with the answer and the check box's tick readable.
//
// Any thread may ask. A thread other than the GUI thread simply waits; on the GUI thread the
// wait is a nested loop that keeps serving the GUI queue, so worker reports go on being handled.
// Keys: Tab and Shift+Tab move the focus between the two buttons, Enter answers with the focused
// one, Escape and the frame's close answer no.
class FlexAsker final : public events::IEventListener
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(FlexAsker, "s_gui_dialogs_FlexAsker")
public:
    static constexpr int32_t defaultTitleId = 400300;
    static constexpr int32_t defaultMessageId = 400320;
    static constexpr int32_t defaultYesTextId = 400330;
    static constexpr int32_t defaultNoTextId = 400340;
    static constexpr int32_t checkTextId = 400380;
    // The window is at least this much wider than its message.
    static constexpr int32_t messageMargin = 50;

    FlexAsker() = default;
    ~FlexAsker() override;
    FlexAsker(const FlexAsker&) = delete;
    FlexAsker& operator=(const FlexAsker&) = delete;

    void reset() override;

    // The settings holder the window binds to (position, language); it must outlive ask().
    void setHolder(app::os::AppWindow* holder) { m_holder = holder; }
    void setYesTextId(int32_t id) { m_yesTextId = id; }
    void setNoTextId(int32_t id) { m_noTextId = id; }
    // Whether the check box carries its text ("Don't ask me again").
    void setCheckBoxText(bool on) { m_checkBoxText = on; }

    // Shows the question and waits until it is answered. A missing title or message takes the
    // default text. Answers true for yes.
    bool ask(os::Window* owner, const std::optional<std::u16string>& title, const std::optional<std::u16string>& message);

    bool getAnswer() const { return m_answer.load(); }
    bool isChecked() const { return m_checked; }

    // One question with a holder of its own ("FlexAskerWindow", 400 x 200): what the update check
    // and other one-off questions use.
    static bool askOnce(app::IAppBase& app, os::Window* owner, const std::u16string& title, const std::u16string& message);

    // --- the window's reports (GUI thread) ---
    void handle(base::IObject* sender, int32_t code) override;
    // From the key filter: Enter on a button, Tab, Escape.
    void answerWith(bool yes);
    void moveFocus();

private:
    std::u16string text(int32_t id) const;
    void build(os::Window& window, const std::u16string& message);
    void place(os::Window& window, os::Window* owner, int32_t messageWidth);

    app::os::AppWindow* m_holder { nullptr };
    int32_t m_yesTextId { defaultYesTextId };
    int32_t m_noTextId { defaultNoTextId };
    bool m_checkBoxText { false };
    std::atomic<bool> m_answer { false };
    bool m_checked { false };

    // Only while a question is open.
    os::Window* m_window { nullptr };
    os::Button* m_yes { nullptr };
    os::Button* m_no { nullptr };
    os::CheckBox* m_checkBox { nullptr };
    AskerKeys* m_keys { nullptr };
};

}

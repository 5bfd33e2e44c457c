#pragma once

#include "engine/Forward.h"
#include "engine/intake/ClipboardWatch.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace s::gui {
class IWindow;
}

namespace s::video::gui::dialogs::videodl {

class IGuiWait;
class IMainInputs;
class JobCommands;

// Turns the link box's text into a new download job: recognises the site, rewrites the video
// service's short and embedded links into watch links, refuses duplicates and sites whose login
// the user has not given, makes the job with the window's options, appends its row and starts it.
// Runs on the GUI thread.
class LinkIntake {
public:
    // Language texts of the two messages.
    static constexpr int32_t AlreadyInListText = 2700010;
    static constexpr int32_t LoginRequiredText = 2700020;
    // The browser the page fetch introduces itself as.
    static constexpr std::string_view UserAgent = "Mozilla/5.0 (Windows NT 6.1; rv:23.0) Gecko/20100101 Firefox/23.0";

    // `owner` receives the new jobs' events.
    LinkIntake(s::gui::listbox2::ListBoxModel& list, IMainInputs& inputs, IGuiWait& gui, JobCommands& commands, s::gui::IWindow* owner);

    // The link box's text, made into a job. `interactive`: the duplicate message may be shown;
    // `fromClipboard`: a link nothing recognises is dropped without a trace.
    void TakeLink(bool interactive, bool fromClipboard);

    // A text dropped on the link drop box: a web link goes into the link box and is taken.
    // False when the text was ignored.
    bool TakeDropped(std::u16string_view dropped);

    // A change of the clipboard (see ClipboardWatch); `nowMs` on a steady clock.
    void BeginClipboardWatch(int64_t nowMs) { m_clipboard.begin(nowMs); }
    int ClipboardChanged(bool ownedByWindow, int64_t nowMs, std::u16string_view text);

    // For tests: the page fetch's time limit (4000 ms), and the runner new jobs use (the
    // program's shared one when none).
    void SetFetchTimeLimit(int milliseconds) { m_fetchTimeLimitMs = milliseconds; }
    void SetToolRunner(const ToolRunner* runner) { m_runner = runner; }

private:
    enum class Duplicate {
        None,
        Replaced,
        Refused,
    };

    // The page of a link that nothing else recognised; true when it arrived (one unit per byte).
    bool FetchPage(const std::u16string& link, std::u16string& body);
    Duplicate CheckDuplicate(const std::u16string& link, bool onlyMp3, bool interactive);
    void MakeJob(const std::u16string& link, bool onlyMp3);

    s::gui::listbox2::ListBoxModel& m_list;
    IMainInputs& m_inputs;
    IGuiWait& m_gui;
    JobCommands& m_commands;
    s::gui::IWindow* m_owner;
    ClipboardWatch m_clipboard;
    int m_fetchTimeLimitMs;
    const ToolRunner* m_runner { nullptr };
};

}

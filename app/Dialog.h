#pragma once

#include "app/IMainController.h"
#include "engine/DlThread.h"
#include "engine/intake/IMainInputs.h"
#include "engine/workers/IGuiWait.h"
#include "foundation/thread/Pool.h"
#include "gui/events/IEventListener.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace s::gui::os {
class Box;
class Button;
class CheckBox;
class Image;
class Label;
class ListBox2;
class ListBoxEx;
class MenuEx;
class PopupMenu;
class StatusBar;
class TabBox;
class TextEdit;
class TextField;
class Window;
}

namespace s::gui {
class FontSetting;
}

namespace s::str::strbuffer {
class StrBuffer;
}

namespace s::app {
class MainSettings;
}

namespace s::gui::listbox2 {
class ListBoxModel;
}

namespace s::video::gui::dialogs::videodl {

class JobCommands;
class LinkIntake;

// The main window's controller: builds the window from the settings and the download list,
// shows it, reacts to every control, menu command and worker report, and when the window has
// closed stops the downloads and writes the list. It listens to all its controls and tells them
// apart by identity.
//
// run() belongs to the start-up thread; every listener call arrives on the GUI thread.
class Dialog final : public app::IMainController
    , public s::gui::events::IEventListener
    , public IMainInputs
    , public IGuiWait {
public:
    static constexpr int32_t onceASecondTimer = 111;
    static constexpr int32_t detailsHeight = 150;
    static constexpr int32_t clipboardQuietMs = 1500;
    static constexpr int32_t graphPoints = 150;
    static constexpr size_t sampleCount = 10;
    // Regular at 8 points.
    static constexpr int32_t dialogFontCode = 100001;

    // Menu bar commands.
    enum Command : int32_t {
        Translate = 0,
        FirstLanguage = 2,
        LastLanguage = 99,
        KeepOnTop = 100,
        EasyDrag = 120,
        MiddleClickCloses = 125,
        ToolPage1 = 4100,
        ToolPage5 = 4500,
        About = 10000,
        SoftwarePage = 10100,
        FeedbackPage = 10200,
        OtherSoftwarePage = 10900,
        WorkplacePage = 10950,
        SupportedSites = 12000,
    };

    // What the controller does outside the window; the desktop's way by default.
    struct Hooks {
        // Opens a web page.
        std::function<void(const std::u16string& url)> openUrl;
        // Opens a local file or folder with its application.
        std::function<void(const std::u16string& path)> openPath;
        // Shows the folder picker starting at a folder; empty when cancelled.
        std::function<std::u16string(const std::u16string& start, const std::u16string& title)> pickFolder;
        // Shows the version information.
        std::function<void()> showAbout;
        // Whether the update check runs after the window shows.
        bool updateCheck { true };
        // The download list file; DlListFile::defaultPath() when empty.
        std::u16string listPath;
        // Called on the start-up thread once the window is shown.
        std::function<void(Dialog&)> shown;
    };

    // The controls other code and tests reach.
    struct Controls {
        s::gui::os::Window* window { nullptr };
        s::gui::os::MenuEx* menuBar { nullptr };
        s::gui::os::PopupMenu* viewMenu { nullptr };
        s::gui::os::PopupMenu* languageMenu { nullptr };
        s::gui::os::PopupMenu* toolsMenu { nullptr };
        s::gui::os::PopupMenu* aboutMenu { nullptr };
        s::gui::os::PopupMenu* listMenu { nullptr };
        s::gui::os::PopupMenu* removeMenu { nullptr };
        s::gui::os::Box* mainArea { nullptr };
        s::gui::os::Image* folderIcon { nullptr };
        s::gui::os::Label* folderLabel { nullptr };
        s::gui::os::Button* changeButton { nullptr };
        s::gui::os::CheckBox* keepOnTop { nullptr };
        s::gui::os::CheckBox* autoStartA { nullptr };
        s::gui::os::CheckBox* mp3OnlyA { nullptr };
        s::gui::os::Box* optionsA { nullptr };
        s::gui::os::Box* optionsB { nullptr };
        s::gui::os::CheckBox* autoStartB { nullptr };
        s::gui::os::CheckBox* mp3OnlyB { nullptr };
        s::gui::os::TextField* linkField { nullptr };
        s::gui::os::Box* optionLine { nullptr };
        s::gui::os::CheckBox* requireLogin { nullptr };
        s::gui::os::Box* loginGroup { nullptr };
        s::gui::os::Label* idLabel { nullptr };
        s::gui::os::TextField* idField { nullptr };
        s::gui::os::Label* passwordLabel { nullptr };
        s::gui::os::TextField* passwordField { nullptr };
        s::gui::os::Button* downloadButton { nullptr };
        s::gui::os::ListBoxEx* listBox { nullptr };
        s::gui::os::ListBox2* list { nullptr };
        s::gui::os::Box* detailsBar { nullptr };
        s::gui::os::Button* showDetails { nullptr };
        s::gui::os::Button* retryErrorsA { nullptr };
        s::gui::os::Button* clearCompletedA { nullptr };
        s::gui::os::Box* detailsArea { nullptr };
        s::gui::os::TabBox* tabs { nullptr };
        s::gui::os::Button* hideDetails { nullptr };
        s::gui::os::Button* retryErrorsB { nullptr };
        s::gui::os::Button* clearCompletedB { nullptr };
        s::gui::os::Button* play { nullptr };
        s::gui::os::Button* removeEntry { nullptr };
        s::gui::os::Button* deleteEntry { nullptr };
        s::gui::os::Label* titleLabel { nullptr };
        s::gui::os::Label* urlLabel { nullptr };
        s::gui::os::Label* pathLabel { nullptr };
        s::gui::os::TextEdit* logArea { nullptr };
        s::gui::os::StatusBar* statusBar { nullptr };
        s::gui::os::Label* statusText { nullptr };
        s::gui::os::Box* transferGroup { nullptr };
        s::gui::os::Label* speedLabel { nullptr };
        s::gui::os::Label* etaLabel { nullptr };
        s::gui::os::Label* makerLink { nullptr };
    };

    Dialog();
    explicit Dialog(Hooks hooks);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // IMainController
    void run(app::IAppBase& app, app::os::AppWindow& settings, bool startup) override;
    void requestClose() override;
    void bringForward() override;

    // IEventListener
    void handle(base::IObject* sender, int32_t code) override;

    const Controls& controls() const { return m_c; }
    // The download list's rows and selection (GUI thread).
    s::gui::listbox2::ListBoxModel& list() const { return *m_list; }
    // The rows' jobs in list order (GUI thread).
    std::vector<DlThread*> jobs() const;
    int32_t downloadingCount() const { return m_downloading.load(); }
    bool isHintPending() const { return m_hintPending; }

    // IMainInputs (GUI thread)
    std::u16string linkText() override;
    void setLinkText(std::u16string_view text) override;
    void focusLinkText() override;
    bool onlyMp3() override;
    bool requireLogin() override;
    std::u16string loginId() override;
    std::u16string loginPassword() override;
    bool autoStartFromClipboard() override;
    std::u16string downloadFolder() override;
    int32_t takeNextIndex() override;
    void showInformation(int32_t textId) override;

    // IGuiWait
    bool isGuiThread() const override;
    void waitServing(const std::function<bool()>& done) override;

    // Before the list's context menu opens: which commands apply to the selection (GUI thread).
    void prepareContextMenu();
    // A command of the list's context menu (GUI thread).
    void listCommand(int32_t command);
    // The job shown in the details area, or none (GUI thread).
    DlThread* detailsJob() const { return m_detailsJob; }

    // The transfer of one second: sums the rate reports into the averages shown (GUI thread).
    void onceASecond();

    // The overall figures of one second from the sample rings, which then move on by one.
    struct Overall {
        int64_t speed { 0 };
        int64_t timeLeft { 0 };
    };
    static Overall advanceSamples(std::array<int64_t, sampleCount>& speeds, std::array<int64_t, sampleCount>& timesLeft,
        int32_t downloading);

private:
    // --- construction steps ---
    void buildMenus();
    void buildFolderRow();
    void buildLinkRow();
    void buildDetails();
    void buildStatusBar();
    void readList();
    void writeList();
    void shutdownJobs();

    // --- commands ---
    void menuCommand(int32_t command);
    void optionCopyChanged(s::gui::os::CheckBox* box);
    void arrangeOptions();
    void relayoutWindow();
    void setDetailsOpen(bool open);
    void changeFolder();
    void openFolder();
    void selectLanguage(int32_t index);
    void setKeepOnTop(bool on);
    void endHint(bool dropped);
    void downloadingCountChanged(int32_t value);
    void rateReport(int64_t speed, int64_t timeLeft);
    void workerRequest();
    void listEvent(int32_t code);
    void refreshDetails();
    void clearDetails();
    void logAdded(const str::strbuffer::StrBuffer& text);
    void showDetailsOf(DlThread& job, bool withLog);
    void setPathShown(const std::u16string& path);
    void play();
    void locate();
    void copyUrls();
    DlThread* firstSelected() const;
    void close();
    void open(const std::u16string& url);
    void openLocal(const std::u16string& path);
    std::u16string text(int32_t id) const;

    Hooks m_hooks;
    Controls m_c;
    app::IAppBase* m_app { nullptr };
    app::os::AppWindow* m_holder { nullptr };
    std::unique_ptr<app::MainSettings> m_settings;
    thread::Pooled<s::gui::os::Window> m_window { nullptr };
    s::gui::FontSetting* m_font { nullptr };

    std::u16string m_saveFolder;
    std::u16string m_listPath;
    int32_t m_nextIndex { 1 };
    std::atomic<int32_t> m_downloading { 0 };
    bool m_hintPending { true };
    bool m_onceDropped { false };
    bool m_onceDblClicked { false };
    bool m_closing { false };
    // The list's own model.
    s::gui::listbox2::ListBoxModel* m_list { nullptr };
    std::unique_ptr<JobCommands> m_commands;
    std::unique_ptr<LinkIntake> m_intake;
    DlThread* m_detailsJob { nullptr };
    std::u16string m_shownPath;
    std::array<int64_t, sampleCount> m_speedSamples {};
    std::array<int64_t, sampleCount> m_etaSamples {};
    int64_t m_clipboardQuietUntil { 0 };
    // Held while the folder picker is open.
    std::recursive_mutex m_lock;
};

}

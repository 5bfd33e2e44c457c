#pragma once

#include "app/ColumnSettings.h"

#include <cstdint>
#include <string>

namespace s::app::os {
class AppWindow;
}

namespace s::app {

// The main window's own choices, kept beside its window keys ("MainWindow\Setting",
// "MainWindow\DownloadPath", "MainWindow\View"), each with the value a first start sees.
class MainSettings {
public:
    static constexpr char16_t windowName[] = u"MainWindow";
    static constexpr int32_t creationWidth = 550;
    static constexpr int32_t creationHeight = 450;
    static constexpr char16_t creationMiddleClick[] = u"Close";
    // Text id of the folder name below the videos folder ("Downloads").
    static constexpr int32_t downloadsNameId = 3005500;

    explicit MainSettings(os::AppWindow& window)
        : m_window(window)
    {
    }

    bool autoStart() const;
    void setAutoStart(bool on);
    bool mp3Only() const;
    void setMp3Only(bool on);

    bool onceDropped() const;
    void setOnceDropped(bool on);
    bool onceDblClicked() const;
    void setOnceDblClicked(bool on);
    bool requireLogin() const;
    void setRequireLogin(bool on);
    bool showDetails() const;
    void setShowDetails(bool on);
    // The stored details page; 0 when it is not one of `pageCount` pages.
    int32_t tab(int32_t pageCount) const;
    void setTab(int32_t page);

    // The folder new downloads go to: the stored choice when usable, else the default folder
    // (videos folder + the localized "Downloads").
    std::u16string saveFolder() const;
    std::u16string defaultSaveFolder() const;
    void setSaveFolder(std::u16string_view folder);

    ColumnSettings columns() const;
    void setColumns(const ColumnSettings& columns);

private:
    bool flag(const char16_t* section, const char16_t* name, bool fallback) const;
    void setFlag(const char16_t* section, const char16_t* name, bool on);

    os::AppWindow& m_window;
};

}

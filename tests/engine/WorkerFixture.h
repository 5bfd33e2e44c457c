#pragma once

// A jobs' list on a stand-in GUI thread, with the workers' commands and link intake wired to it,
// and a program folder whose vdl/youtube-dl is tools/fake-worker-tool.

#include "EngineTestSupport.h"
#include "FakeGui.h"
#include "engine/DlThread.h"
#include "engine/intake/LinkIntake.h"
#include "engine/rows/JobRow.h"
#include "engine/runner/LaunchGate.h"
#include "engine/runner/ToolLocator.h"
#include "engine/runner/ToolRunner.h"
#include "engine/workers/JobCommands.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace enginetest {

using namespace s::video::gui::dialogs::videodl;
namespace lb = s::gui::listbox2;

// Waits for a condition, asking every 20 ms, for at most `seconds`.
inline bool waitFor(const std::function<bool()>& condition, double seconds = 60.0)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline bool processAlive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z' && text[close + 2] != 'X';
}

class WorkerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(program.path() / "vdl");
        std::filesystem::create_symlink(std::filesystem::path(TEST_TOOLS_DIR) / "fake-worker-tool", program.path() / "vdl" / "youtube-dl");
        intake.SetToolRunner(&runner);
        gui.folder = downloads.text();
        gui.call([this] {
            list.setExecutor(&gui);
            JobRow::AddColumns(list, nullptr, {});
        });
    }

    void TearDown() override
    {
        gui.call([this] {
            commands.BeginShutdown();
            commands.StopAllAndWait();
            commands.ReleaseAll();
            list.setExecutor(nullptr);
        });
    }

    // A link of a site the catalogue knows (so no page is fetched) that the fake tool acts on.
    static std::u16string link(const std::string& segment)
    {
        std::u16string text = u"http://www.bbc.co.uk/";
        text.append(segment.begin(), segment.end());
        return text;
    }

    // Takes the link as if typed and sent with the Download button.
    void take(const std::string& segment, bool onlyMp3 = false)
    {
        gui.call([&] {
            gui.link = link(segment);
            gui.mp3 = onlyMp3;
            intake.TakeLink(true, false);
        });
    }

    int rowCount() { return gui.call([this] { return list.getRowCount(); }); }
    DlThread* job(int position) { return gui.call([&] { return JobCommands::JobAt(list, position); }); }
    // The job whose link ends in segment; null when no row shows it.
    DlThread* jobFor(const std::string& segment)
    {
        std::u16string wanted = link(segment);
        return gui.call([&]() -> DlThread* {
            for (int32_t i = 0; i < list.getRowCount(); ++i) {
                DlThread* found = JobCommands::JobAt(list, i);
                std::scoped_lock guard(found->Lock);
                if (found->Url->view() == wanted)
                    return found;
            }
            return nullptr;
        });
    }
    void selectOnly(const std::vector<DlThread*>& jobs)
    {
        gui.call([&] {
            list.deselectAll();
            for (DlThread* selected : jobs) {
                JobRow::Binding bound = JobRow::BindingOf(*selected);
                list.select(bound.row, bound.id);
            }
        });
    }
    std::u16string cellText(DlThread* shown, int32_t column)
    {
        return gui.call([&] {
            std::u16string text;
            JobRow::Binding bound = JobRow::BindingOf(*shown);
            list.readCellDisplayText(bound.row, bound.id, column, text);
            return text;
        });
    }

    // Starts of the fake tool: (pid, link) in order.
    std::vector<std::pair<pid_t, std::string>> toolStarts()
    {
        std::vector<std::pair<pid_t, std::string>> starts;
        std::ifstream log(program.path() / "vdl" / "youtube-dl.log");
        std::string word;
        pid_t pid = 0;
        std::string started;
        while (log >> word >> pid >> started)
            starts.emplace_back(pid, started);
        return starts;
    }
    std::vector<pid_t> toolPids(const std::string& segment)
    {
        std::vector<pid_t> pids;
        std::string wanted = Utf8(link(segment));
        for (auto& [pid, started] : toolStarts()) {
            if (started == wanted)
                pids.push_back(pid);
        }
        return pids;
    }

    std::filesystem::path file(const std::string& name) const { return downloads.path() / name; }

    TempDir program;
    TempDir downloads;
    // The tools of `program` behind a launch gate of the test's own.
    ToolLocator tools { program.text() };
    LaunchGate gate;
    ToolRunner runner { tools, gate };
    FakeGui gui;
    lb::ListBoxModel list;
    JobCommands commands { list, gui, gui };
    LinkIntake intake { list, gui, gui, commands, &gui };
};

}

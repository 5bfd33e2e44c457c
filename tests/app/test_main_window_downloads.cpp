// The whole program's road of a link with the real yt-dlp and ffmpeg: a clip made with ffmpeg,
// served by a loopback HTTP server, and links typed, copied and dropped into the real window.

#include "MainWindowTest.h"

#include "engine/JobState.h"
#include "foundation/system/os/Process.h"
#include "foundation/str/StrBuffer.h"
#include "gui/os/ListBox2.h"
#include "gui/os/TextField.h"

#include <QClipboard>
#include <QGuiApplication>

#include <filesystem>

using namespace mainwindowtest;
using s::system::os::Process;
using s::video::gui::dialogs::videodl::DlThread;
using s::video::gui::dialogs::videodl::JobState;

namespace {

class Downloads : public MainWindow {
protected:
    static void SetUpTestSuite()
    {
        s_root = new TempFolder;
        std::filesystem::path site = std::filesystem::path(s_root->path()) / "www.bbc.co.uk";
        std::filesystem::create_directories(site);
        std::string clip = (site / "clip.mp4").string();
        {
            Process ffmpeg;
            ASSERT_TRUE(ffmpeg.start({ "/usr/bin/ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10", "-f", "lavfi", "-i",
                                         "sine=frequency=440", "-t", "4", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-shortest", clip },
                {}));
            char buffer[4096];
            size_t count = 0;
            while (ffmpeg.read(buffer, sizeof buffer, count, 1000) != Process::Read::Ended) { }
            int exitCode = -1;
            ASSERT_TRUE(ffmpeg.wait(exitCode));
            ASSERT_EQ(exitCode, 0);
        }
        for (int n = 0; n < 4; ++n)
            std::filesystem::copy_file(clip, site / ("clip" + std::to_string(n) + ".mp4"));
        s_server = new Process;
        ASSERT_TRUE(s_server->start({ "/usr/bin/python3", std::string(ENGINE_TOOLS_DIR) + "/http_server.py", s_root->path() }, {}));
        std::string line;
        char buffer[64];
        while (line.find('\n') == std::string::npos) {
            size_t count = 0;
            ASSERT_NE(s_server->read(buffer, sizeof buffer, count, 10000), Process::Read::Ended);
            line.append(buffer, count);
        }
        s_port = std::stoi(line);
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_root;
    }
    static std::u16string link(const std::string& file, int rate = 0)
    {
        std::string path = rate ? "/rate/" + std::to_string(rate) + "/www.bbc.co.uk/" + file : "/www.bbc.co.uk/" + file;
        std::string url = "http://127.0.0.1:" + std::to_string(s_port) + path;
        return std::u16string(url.begin(), url.end());
    }
    static inline TempFolder* s_root = nullptr;
    static inline Process* s_server = nullptr;
    static inline int s_port = 0;
};

int rowCount(Start& run) { return onUiThread([&] { return run.dialog->list().getRowCount(); }); }

bool allCompleted(Start& run, int count)
{
    auto jobs = onUiThread([&] { return run.dialog->jobs(); });
    if (static_cast<int>(jobs.size()) != count)
        return false;
    for (DlThread* job : jobs) {
        if (job->State.load() != JobState::Completed || job->Running.load())
            return false;
    }
    return true;
}

}

TEST_F(Downloads, TypedCopiedAndDroppedLinksDownloadAndACloseKeepsTheList)
{
    {
        Start run(home);
        const Dialog::Controls& c = run.c();
        // Typed into the field and sent with Download.
        onUiThread([&] {
            QWidget* field = widgetOf(c.linkField);
            QTest::keyClicks(field, QString::fromStdU16String(link("clip0.mp4")));
        });
        click(c.downloadButton);
        ASSERT_TRUE(waitFor([&] { return rowCount(run) == 1; }));
        // Copied to the clipboard by someone else, once the start's quiet time is over.
        std::this_thread::sleep_for(std::chrono::milliseconds(1600));
        onUiThread([&] { QGuiApplication::clipboard()->setText(QString::fromStdU16String(link("clip1.mp4"))); });
        ASSERT_TRUE(waitFor([&] { return rowCount(run) == 2; }));
        // Dropped on the window.
        onUiThread([&] { c.mainArea->linkDropped(link("clip2.mp4")); });
        ASSERT_TRUE(waitFor([&] { return rowCount(run) == 3; }));
        ASSERT_TRUE(waitFor([&] { return allCompleted(run, 3); }, 120000));
        for (DlThread* job : onUiThread([&] { return run.dialog->jobs(); })) {
            EXPECT_EQ(job->PercentDone.load(), 100.0);
            EXPECT_GT(job->TotalSize.load(), 0);
            auto path = job->CopyFilePath();
            EXPECT_TRUE(std::filesystem::is_regular_file(path->toStdUtf8()));
        }
        EXPECT_TRUE(waitFor([&] { return run.window().getTitle() == u"Fetchwick"; }));
        // A slow one is still running when the window closes.
        onUiThread([&] { c.mainArea->linkDropped(link("clip3.mp4", 20000)); });
        ASSERT_TRUE(waitFor([&] { return run.dialog->downloadingCount() == 1; }));
    }
    Start again(home);
    EXPECT_EQ(rowCount(again), 4);
    auto jobs = onUiThread([&] { return again.dialog->jobs(); });
    ASSERT_EQ(jobs.size(), 4u);
    EXPECT_NE(jobs[3]->State.load(), JobState::Completed);
}

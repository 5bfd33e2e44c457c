// The workers and the main window's job commands on fake tools: start, cancel, retry, remove
// while running and while idle, delete, clear, and the shutdown sequence.

#include "WorkerFixture.h"
#include "engine/workers/JobControl.h"

using namespace enginetest;

namespace {

using Workers = WorkerFixture;

bool stateIs(DlThread* job, JobState state)
{
    return job->State.load() == state;
}

TEST_F(Workers, AFreshJobRunsAndShowsItsProgress)
{
    take("run-a");
    ASSERT_EQ(rowCount(), 1);
    DlThread* a = job(0);
    EXPECT_EQ(gui.link, u"");
    ASSERT_TRUE(waitFor([&] { return stateIs(a, JobState::Downloading) && std::filesystem::exists(file("a.mp4.part")); }));
    EXPECT_TRUE(waitFor([&] { return gui.running == 1 && cellText(a, JobRow::Title) == u"a.mp4"; }));
    EXPECT_TRUE(waitFor([&] { return !cellText(a, JobRow::Done).empty() && !cellText(a, JobRow::Speed).empty(); }));
    EXPECT_EQ(cellText(a, JobRow::Number), u"1");
    EXPECT_EQ(cellText(a, JobRow::Size), u"10.00 MB");
    std::u16string path = gui.call([&] {
        std::u16string attached;
        JobRow::Binding bound = JobRow::BindingOf(*a);
        list.readCellPath(bound.row, bound.id, JobRow::Title, attached);
        return attached;
    });
    EXPECT_EQ(path, downloads.text() + u"/a.mp4");
    EXPECT_TRUE(waitFor([&] { return gui.rateReports > 0; }));
}

TEST_F(Workers, CancelStopsRunningJobsOnly)
{
    take("fail-idle");
    DlThread* idle = jobFor("fail-idle");
    ASSERT_TRUE(waitFor([&] { return stateIs(idle, JobState::Error) && !idle->Running; }));
    take("run-b");
    DlThread* b = jobFor("run-b");
    ASSERT_TRUE(waitFor([&] { return stateIs(b, JobState::Downloading); }));

    selectOnly({ idle, b });
    gui.call([&] { commands.Cancel(); });
    EXPECT_TRUE(stateIs(idle, JobState::Error));
    EXPECT_TRUE(waitFor([&] { return stateIs(b, JobState::Canceled) && !b->Running; }));
    for (pid_t pid : toolPids("run-b"))
        EXPECT_TRUE(waitFor([&] { return !processAlive(pid); }));
    EXPECT_EQ(cellText(b, JobRow::Status), u"Canceled");
    EXPECT_TRUE(waitFor([&] { return gui.running == 0; }));
}

TEST_F(Workers, RetryAfterAnErrorAndRetryErrors)
{
    take("fail-c");
    DlThread* c = jobFor("fail-c");
    ASSERT_TRUE(waitFor([&] { return stateIs(c, JobState::Error) && !c->Running; }));
    EXPECT_DOUBLE_EQ(c->PercentDone.load(), 445.5);
    EXPECT_EQ(cellText(c, JobRow::Done), u"45.5 %");

    selectOnly({ c });
    gui.call([&] { commands.Retry(); });
    ASSERT_TRUE(waitFor([&] { return toolPids("fail-c").size() == 2 && stateIs(c, JobState::Error) && !c->Running; }));
    EXPECT_EQ(gui.starts.load(), 2);

    // Retry Errors takes jobs in Error, not cancelled ones; Retry skips Completed ones.
    take("run-d");
    DlThread* d = jobFor("run-d");
    ASSERT_TRUE(waitFor([&] { return stateIs(d, JobState::Downloading); }));
    selectOnly({ d });
    gui.call([&] { commands.Cancel(); });
    ASSERT_TRUE(waitFor([&] { return stateIs(d, JobState::Canceled) && !d->Running; }));
    take("done-e");
    DlThread* e = jobFor("done-e");
    ASSERT_TRUE(waitFor([&] { return stateIs(e, JobState::Completed) && !e->Running; }));

    gui.call([&] { commands.RetryErrors(); });
    ASSERT_TRUE(waitFor([&] { return toolPids("fail-c").size() == 3 && !c->Running; }));
    selectOnly({ e });
    gui.call([&] { commands.Retry(); });
    EXPECT_EQ(toolPids("run-d").size(), 1u);
    EXPECT_EQ(toolPids("done-e").size(), 1u);
    EXPECT_TRUE(stateIs(e, JobState::Completed));
}

TEST_F(Workers, RemovingARunningJobWaitsForItsTool)
{
    take("run-f");
    DlThread* f = jobFor("run-f");
    ASSERT_TRUE(waitFor([&] { return stateIs(f, JobState::Downloading) && std::filesystem::exists(file("f.mp4.part")); }));
    pid_t tool = toolPids("run-f").at(0);

    selectOnly({ f });
    gui.call([&] { commands.Remove(JobCommands::Scope::FirstSelected, false); });
    // The row shows Canceling until the worker has ended the tool, then goes with the partial file.
    ASSERT_TRUE(waitFor([&] { return rowCount() == 0; }));
    EXPECT_FALSE(processAlive(tool));
    EXPECT_FALSE(std::filesystem::exists(file("f.mp4.part")));
    // The job went back to the pool only once its worker was idle: the next sweep.
    EXPECT_EQ(gui.call([&] { return commands.awaitingCount(); }), 1u);
    ASSERT_TRUE(waitFor([&] { return gui.call([&] {
        commands.SweepStopping();
        return commands.awaitingCount() == 0;
    }); }));

    // A job taken from the pool now starts afresh and nothing of the old one follows it.
    take("run-g");
    DlThread* g = jobFor("run-g");
    ASSERT_TRUE(waitFor([&] { return stateIs(g, JobState::Downloading); }));
    EXPECT_FALSE(g->RemoveWhenDone.load());
    EXPECT_EQ(rowCount(), 1);
}

TEST_F(Workers, RemoveEntryKeepsFilesThatAreNotPartial)
{
    // An idle job in Error: only its partial files go.
    take("fail-h");
    DlThread* h = jobFor("fail-h");
    ASSERT_TRUE(waitFor([&] { return stateIs(h, JobState::Error) && !h->Running; }));
    downloads.makeFile(u"h.mp4", 3);
    downloads.makeFile(u"h.mp4.download", 3);
    selectOnly({ h });
    gui.call([&] { commands.Remove(JobCommands::Scope::AllSelected, false); });
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(file("h.mp4.part")));
    EXPECT_FALSE(std::filesystem::exists(file("h.mp4.download")));
    EXPECT_TRUE(std::filesystem::exists(file("h.mp4")));

    // A Completed one keeps its file; with "Delete File and Entry" the file goes too.
    take("done-i");
    take("done-j");
    DlThread* i = jobFor("done-i");
    DlThread* j = jobFor("done-j");
    ASSERT_TRUE(waitFor([&] { return stateIs(i, JobState::Completed) && stateIs(j, JobState::Completed) && !i->Running && !j->Running; }));
    selectOnly({ i });
    gui.call([&] { commands.Remove(JobCommands::Scope::AllSelected, false); });
    EXPECT_TRUE(std::filesystem::exists(file("i.mp4")));
    selectOnly({ j });
    gui.call([&] { commands.Remove(JobCommands::Scope::AllSelected, true); });
    EXPECT_FALSE(std::filesystem::exists(file("j.mp4")));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(Workers, RemoveTakesTheFirstOrEverySelectedJob)
{
    take("fail-k");
    take("fail-l");
    take("fail-m");
    DlThread* k = jobFor("fail-k");
    DlThread* l = jobFor("fail-l");
    DlThread* m = jobFor("fail-m");
    ASSERT_TRUE(waitFor([&] { return !k->Running && !l->Running && !m->Running && stateIs(m, JobState::Error); }));
    selectOnly({ l, k });
    gui.call([&] { commands.Remove(JobCommands::Scope::FirstSelected, false); });
    EXPECT_EQ(jobFor("fail-l"), nullptr);
    EXPECT_NE(jobFor("fail-k"), nullptr);
    selectOnly({ k, m });
    gui.call([&] { commands.Remove(JobCommands::Scope::AllSelected, false); });
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(Workers, ClearCompletedLeavesEverythingElse)
{
    take("done-n");
    take("fail-o");
    DlThread* n = jobFor("done-n");
    DlThread* o = jobFor("fail-o");
    ASSERT_TRUE(waitFor([&] { return !n->Running && !o->Running && stateIs(n, JobState::Completed) && stateIs(o, JobState::Error); }));
    gui.call([&] { commands.ClearCompleted(); });
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(jobFor("fail-o"), o);
    EXPECT_TRUE(std::filesystem::exists(file("n.mp4")));
}

TEST_F(Workers, ShutdownEndsEveryToolAndItsChildren)
{
    for (const char* segment : { "child-p", "child-q", "child-r" })
        take(segment);
    std::vector<DlThread*> jobs = { jobFor("child-p"), jobFor("child-q"), jobFor("child-r") };
    ASSERT_TRUE(waitFor([&] {
        for (DlThread* running : jobs) {
            if (!stateIs(running, JobState::Downloading))
                return false;
        }
        return true;
    }));
    std::vector<pid_t> tools;
    for (auto& [pid, started] : toolStarts())
        tools.push_back(pid);
    ASSERT_EQ(tools.size(), 3u);

    gui.call([&] { commands.BeginShutdown(); });
    gui.closed = true;
    gui.call([&] { commands.StopAllAndWait(); });
    // Everything has ended before the list would be written: no tool, no child of one.
    for (pid_t pid : tools)
        EXPECT_FALSE(processAlive(pid));
    for (DlThread* stopped : jobs) {
        EXPECT_FALSE(stopped->Running.load());
        EXPECT_EQ(stopped->State.load(), JobState::Canceled);
    }
    EXPECT_TRUE(waitFor([&] {
        for (pid_t pid : tools) {
            std::string command = "pgrep -g " + std::to_string(pid) + " >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0)
                return false;
        }
        return true;
    }, 10));
    EXPECT_EQ(rowCount(), 3);
    gui.call([&] { commands.ReleaseAll(); });
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(Workers, AHundredJobsAtOnceEndAtClose)
{
    for (int n = 0; n < 100; ++n)
        take("run-many" + std::to_string(n));
    ASSERT_EQ(rowCount(), 100);
    EXPECT_TRUE(waitFor([&] { return toolStarts().size() >= 2; }));
    // Some jobs remove themselves while others run, wait for a slot or are cancelled.
    gui.call([&] {
        for (int position = 0; position < 100; position += 10)
            list.select(list.getRow(position).row, list.getRow(position).id);
        commands.Remove(JobCommands::Scope::AllSelected, false);
        list.deselectAll();
        for (int position = 1; position < 90; position += 10)
            list.select(list.getRow(position).row, list.getRow(position).id);
        commands.Cancel();
    });
    gui.call([&] {
        commands.BeginShutdown();
        commands.StopAllAndWait();
    });
    EXPECT_EQ(gui.running.load(), 0);
    EXPECT_EQ(gui.starts.load(), gui.ends.load());
    for (auto& [pid, started] : toolStarts())
        EXPECT_FALSE(processAlive(pid));
    gui.call([&] { commands.ReleaseAll(); });
    EXPECT_EQ(rowCount(), 0);
}

}

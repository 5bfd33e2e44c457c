#include "engine/intake/LinkIntake.h"

#include "engine/DlThread.h"
#include "engine/catalogue/LookUpSite.h"
#include "engine/intake/IMainInputs.h"
#include "engine/intake/LinkText.h"
#include "engine/intake/PageScan.h"
#include "engine/intake/YouTubeLinks.h"
#include "engine/net/HttpFetch.h"
#include "engine/rows/JobRow.h"
#include "engine/workers/IGuiWait.h"
#include "engine/workers/JobCommands.h"
#include "engine/workers/JobControl.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace s::video::gui::dialogs::videodl {

namespace lb = s::gui::listbox2;

LinkIntake::LinkIntake(lb::ListBoxModel& list, IMainInputs& inputs, IGuiWait& gui, JobCommands& commands, s::gui::IWindow* owner)
    : m_list(list)
    , m_inputs(inputs)
    , m_gui(gui)
    , m_commands(commands)
    , m_owner(owner)
    , m_fetchTimeLimitMs(net::HttpFetch::DefaultTimeLimitMs)
{
}

bool LinkIntake::TakeDropped(std::u16string_view dropped)
{
    std::u16string_view link = LinkText::takeDropped(dropped);
    if (link.empty())
        return false;
    m_inputs.setLinkText(link);
    TakeLink(true, false);
    return true;
}

int LinkIntake::ClipboardChanged(bool ownedByWindow, int64_t nowMs, std::u16string_view text)
{
    return m_clipboard.changed(ownedByWindow, nowMs, text, m_inputs, [this] { TakeLink(false, true); });
}

bool LinkIntake::FetchPage(const std::u16string& link, std::u16string& body)
{
    // The fetch runs on a thread of its own so that the GUI thread goes on serving its queue (the
    // workers' events and row changes) while it waits. The fetch ends by its own time limit, so
    // the thread is always joined: no result ever arrives late.
    std::string url = str::strbuffer::StrBuffer::make(link)->toStdUtf8();
    net::HttpFetch::Response response;
    std::atomic<bool> finished { false };
    std::thread fetcher([&] {
        net::HttpFetch::Request request;
        request.Url = url;
        request.UserAgent = UserAgent;
        request.Referrer = url;
        request.TimeLimitMs = m_fetchTimeLimitMs;
        response = net::HttpFetch::get(request);
        finished = true;
    });
    m_gui.waitServing([&finished] { return finished.load(); });
    fetcher.join();
    if (response.Outcome != net::HttpFetch::Result::Ok)
        return false;
    // Each byte becomes the unit of the same value.
    body.resize(response.Body.size());
    for (size_t i = 0; i < response.Body.size(); ++i)
        body[i] = static_cast<char16_t>(static_cast<unsigned char>(response.Body[i]));
    return true;
}

LinkIntake::Duplicate LinkIntake::CheckDuplicate(const std::u16string& link, bool onlyMp3, bool interactive)
{
    for (int32_t position = m_list.getRowCount() - 1; position >= 0; --position) {
        DlThread* job = JobCommands::JobAt(m_list, position);
        if (!job || job->RemoveWhenDone)
            continue;
        // A finished download keeps no thread.
        if (job->State == JobState::Completed && !job->Running && job->Worker)
            job->Worker.replace();
        bool same = false;
        {
            std::scoped_lock guard(job->Lock);
            same = job->OnlyMp3 == onlyMp3 && LinkText::sameLink(job->Url->view(), link);
        }
        if (!same)
            continue;
        if (!job->Running && job->State != JobState::Completed) {
            m_commands.Discard(*job);
            return Duplicate::Replaced;
        }
        if (interactive)
            m_inputs.showInformation(AlreadyInListText);
        m_inputs.setLinkText(u"");
        return Duplicate::Refused;
    }
    return Duplicate::None;
}

void LinkIntake::MakeJob(const std::u16string& link, bool onlyMp3)
{
    bool requireLogin = m_inputs.requireLogin();
    std::u16string id = requireLogin ? m_inputs.loginId() : std::u16string();
    std::u16string password = requireLogin ? m_inputs.loginPassword() : std::u16string();
    std::u16string folder = m_inputs.downloadFolder();

    thread::Pooled<DlThread> job;
    job->Owner = m_owner;
    job->Runner = m_runner;
    job->Index = m_inputs.takeNextIndex();
    SiteLookup site;
    {
        std::scoped_lock guard(job->Lock);
        job->Url->assign(LinkText::trim(link));
        job->OnlyMp3 = onlyMp3;
        if (requireLogin) {
            job->Id->assign(LinkText::trim(id));
            job->Password->assign(LinkText::trim(password));
        }
        job->Dir->assign(folder);
        site = LookUpSite(job->Url->view(), true);
    }
    lb::Record* row = JobRow::MakeRow(*job);

    // A site that insists on a login gets no job without one; the link stays for the user.
    if (site.login == LoginMark::Required && !requireLogin) {
        m_inputs.showInformation(LoginRequiredText);
        row->release();
        return;
    }

    if (m_list.getSelectedCount() > 1)
        m_list.deselectAll();
    JobRow::Bind(*job, &m_list, row);
    if (!m_list.appendRow(row)) {
        JobRow::Bind(*job, nullptr, nullptr);
        row->release();
        return;
    }
    // The list holds the job from here on, through its row.
    DlThread& started = *job.take();
    JobControl::StartJob(started);
    m_inputs.setLinkText(u"");
}

void LinkIntake::TakeLink(bool interactive, bool fromClipboard)
{
    // Step 1: the link, without the blanks around it (a trailing space would otherwise make a
    // second job of the same download).
    std::u16string typed = m_inputs.linkText();
    std::u16string link(LinkText::trim(typed));
    bool onlyMp3 = m_inputs.onlyMp3();
    if (link.empty())
        return;

    std::vector<std::u16string> extraLinks;
    bool recognised = LookUpSite(link, false).matchedRow();

    // Step 2 and 3: a known site, or a short link of the video service, needs no page fetch.
    if (!recognised)
        recognised = YouTubeLinks::rewriteShortLink(link);

    // Step 4: the page of anything else may embed the video service's player or links.
    if (!recognised) {
        std::u16string body;
        std::u16string first;
        bool found = FetchPage(link, body) && body.size() > 1 && PageScan::scan(body, first, extraLinks);
        if (found)
            link = std::move(first);
        else if (fromClipboard)
            return;
    }

    // Step 5: the duplicate test.
    Duplicate duplicate = CheckDuplicate(link, onlyMp3, interactive);

    // Steps 6 to 8: the job, the login test, the row and the start.
    if (duplicate != Duplicate::Refused)
        MakeJob(link, onlyMp3);

    // Step 9: the page's other links, each a link of its own.
    for (const std::u16string& extra : extraLinks) {
        m_inputs.setLinkText(extra);
        TakeLink(false, false);
    }
}

}

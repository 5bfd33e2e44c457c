#include "app/DlListFile.h"

#include "engine/JobState.h"
#include "formats/crypt/LetterCoding.h"
#include "formats/xml/MappedData.h"
#include "formats/xml/Node.h"
#include "foundation/file/os/AtomicFile.h"
#include "foundation/str/StrBuffer.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/stat.h>

namespace s::video::gui::dialogs::videodl {

namespace {

using str::strbuffer::StrBuffer;

constexpr char16_t rootName[] = u"VideoDlXml";
constexpr char16_t generatorKey[] = u"Generator";
constexpr char16_t viewKey[] = u"View";
constexpr char16_t listKey[] = u"DlList";

std::u16string decimal(int64_t value)
{
    std::u16string text;
    for (char c : std::to_string(value))
        text += char16_t(c);
    return text;
}

std::u16string entryKey(int32_t index)
{
    return std::u16string(listKey) + u"\\_" + decimal(index);
}

// Blanks the login boxes may hold around a name: space, line feed, ideographic space, tab,
// carriage return.
std::u16string trimBlanks(std::u16string_view text)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\n' || c == 0x3000 || c == u'\t' || c == u'\r'; };
    size_t start = 0;
    size_t end = text.size();
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return std::u16string(text.substr(start, end - start));
}

std::u16string encode(std::u16string_view plain, std::u16string_view password)
{
    if (plain.empty())
        return {};
    return std::u16string(crypt::zcrypt::encryptToLetters(plain, password)->view());
}

std::u16string decode(std::u16string_view letters, std::u16string_view password)
{
    if (letters.empty())
        return {};
    return std::u16string(crypt::zcrypt::decryptFromLetters(letters, password)->view());
}

std::string utf8(std::u16string_view text)
{
    thread::Pooled<StrBuffer> buffer;
    buffer->assign(text);
    return buffer->toStdUtf8();
}

std::u16string getText(xml::MappedData& store, const std::u16string& key, const char16_t* name)
{
    return std::u16string(store.getString(key.c_str(), name, u"").view());
}

// Makes the missing folders above a file, private to the user.
bool makeFolders(const std::string& filePath)
{
    size_t slash = filePath.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return true;
    std::string folder = filePath.substr(0, slash);
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos)
            break;
    }
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void loadEntry(xml::MappedData& store, int32_t i, std::u16string_view password, DlThread& job)
{
    std::u16string key = entryKey(i);
    const char16_t* k = key.c_str();
    if (store.hasValue(k, u"Index"))
        job.Index = store.getS32(k, u"Index", job.Index);
    if (store.hasValue(k, u"TotalSize"))
        job.TotalSize = store.getS64(k, u"TotalSize", -1);
    if (store.hasValue(k, u"PercentDone"))
        job.PercentDone = store.getS32(k, u"PercentDone", -1000) / 1000.0;

    // A missing state is a run the last session cut short; an unknown name leaves none.
    JobState state = JobState::None;
    if (!store.hasValue(k, u"State"))
        state = JobState::Canceled;
    else
        StateFromStoredName(getText(store, key, u"State"), state);
    job.State = state;

    job.Id->assign(decode(getText(store, key, u"Id"), password));
    job.Password->assign(decode(getText(store, key, u"Password"), password));
    job.Dir->assign(getText(store, key, u"Dir"));
    std::lock_guard lock(job.Lock);
    job.Url->assign(getText(store, key, u"Url"));
    job.OnlyMp3 = store.getBool(k, u"OnlyMp3", false);
    job.FileName->assign(getText(store, key, u"FileName"));
    job.FilePath->assign(getText(store, key, u"FilePath"));
    job.Log->assign(getText(store, key, u"Log"));
}

void readStore(xml::MappedData& store, DlListFile::Contents& out)
{
    // Step 1: the writer's identity and the entry count make the list password.
    DlListFile::Generator generator;
    generator.application = getText(store, generatorKey, u"Application");
    generator.version = getText(store, generatorKey, u"Version");
    generator.url = getText(store, generatorKey, u"URL");
    int32_t version = store.getS32(generatorKey, u"DlListVer", DlListFile::formatVersion);
    int32_t length = store.getS32(listKey, u"length", 0);
    std::u16string password = DlListFile::listPassword(length, generator);

    // Step 2: the login boxes, only when the file has them.
    std::u16string id = getText(store, viewKey, u"IdText");
    std::u16string secret = getText(store, viewKey, u"PasswordText");
    if (!id.empty()) {
        out.viewId = decode(id, password);
        out.hasViewId = true;
    }
    if (!secret.empty()) {
        out.viewPassword = decode(secret, password);
        out.hasViewPassword = true;
    }

    // Step 3: the entries, a damaged count bounded.
    if (version == 0)
        return;
    if (length > DlListFile::maxEntries)
        length = DlListFile::maxEntries;
    int64_t next = out.nextIndex;
    for (int32_t i = 0; i < length; ++i) {
        thread::Pooled<DlThread> job;
        loadEntry(store, i, password, *job);
        if (int64_t(job->Index) + 1 > next)
            next = int64_t(job->Index) + 1;
        out.jobs.push_back(std::move(job));
    }
    out.nextIndex = next > INT32_MAX ? INT32_MAX : int32_t(next);
}

}

std::u16string DlListFile::defaultPath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data && data[0] == '/') {
        folder = data;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home && *home ? home : "") + "/.local/share";
    }
    thread::Pooled<StrBuffer> path;
    path->assignUtf8(folder + "/Pellix/Fetchwick/DlList.dat");
    return std::u16string(path->view());
}

std::u16string DlListFile::listPassword(int32_t length, const Generator& generator)
{
    return decimal(length) + generator.version + generator.url + generator.application;
}

int32_t DlListFile::storedPercent(double percent)
{
    if (std::isnan(percent))
        return -1000;
    double scaled = std::trunc(percent * 1000.0);
    if (scaled >= double(INT32_MAX))
        return INT32_MAX;
    if (scaled <= double(INT32_MIN))
        return INT32_MIN;
    return int32_t(scaled);
}

std::u16string DlListFile::toText(const std::u16string& path, const Generator& generator, const Logins& view,
    std::span<DlThread* const> jobs)
{
    // Step 1: a fresh document; nothing of an existing file is read.
    thread::Pooled<xml::MappedData> store = xml::MappedData::create(nullptr, rootName, false);
    store->setAutoSave(false);
    int32_t length = int32_t(jobs.size());
    std::u16string password = listPassword(length, generator);

    // Step 2: the writer's identity.
    store->setString(generatorKey, u"Application", generator.application.c_str());
    store->setString(generatorKey, u"Version", generator.version.c_str());
    store->setString(generatorKey, u"URL", generator.url.c_str());
    store->setS32(generatorKey, u"DlListVer", formatVersion);

    // Step 3: the login boxes, trimmed and letter-coded.
    store->setString(viewKey, u"IdText", encode(trimBlanks(view.id), password).c_str());
    store->setString(viewKey, u"PasswordText", encode(trimBlanks(view.password), password).c_str());

    // Step 4: the entries in row order.
    store->deleteKey(listKey);
    store->setS32(listKey, u"length", length);
    store->setString(listKey, u"filePath", path.c_str());
    for (int32_t i = 0; i < length; ++i) {
        DlThread& job = *jobs[size_t(i)];
        std::u16string key = entryKey(i);
        const char16_t* k = key.c_str();
        JobState state = job.State.load();
        store->setS32(k, u"Index", job.Index);
        store->setS64(k, u"TotalSize", job.TotalSize.load());
        store->setS32(k, u"PercentDone", storedPercent(job.PercentDone.load()));
        std::u16string_view stateName = StoredName(state);
        if (!stateName.empty())
            store->setString(k, u"State", std::u16string(stateName).c_str());
        if (!job.Id->view().empty())
            store->setString(k, u"Id", encode(job.Id->view(), password).c_str());
        if (!job.Password->view().empty())
            store->setString(k, u"Password", encode(job.Password->view(), password).c_str());
        store->setString(k, u"Dir", std::u16string(job.Dir->view()).c_str());
        std::lock_guard lock(job.Lock);
        store->setString(k, u"Url", std::u16string(job.Url->view()).c_str());
        store->setBool(k, u"OnlyMp3", job.OnlyMp3);
        store->setString(k, u"FileName", std::u16string(job.FileName->view()).c_str());
        store->setString(k, u"FilePath", std::u16string(job.FilePath->view()).c_str());
        store->setString(k, u"Log", state == JobState::Completed ? u"" : std::u16string(job.Log->view()).c_str());
    }
    thread::Pooled<StrBuffer> text = thread::Pooled<StrBuffer>::adopt(store->root()->writeTo());
    return std::u16string(text->view());
}

bool DlListFile::write(const std::u16string& path, const Generator& generator, const Logins& view,
    std::span<DlThread* const> jobs)
{
    std::string bytes = utf8(toText(path, generator, view, jobs));
    std::string target = utf8(path);
    // Logins live in this file: the folders made for it and the file are the user's alone.
    if (!makeFolders(target))
        return false;
    return file::os::AtomicFile::replace(target, bytes.data(), bytes.size(), 0600);
}

bool DlListFile::read(const std::u16string& path, Contents& out)
{
    out = Contents();
    if (path.empty())
        return false;
    thread::Pooled<file::os::Path> file = file::os::Path::make(path);
    if (!file->isFile())
        return false;
    thread::Pooled<xml::MappedData> store = xml::MappedData::create(path.c_str(), rootName, true);
    readStore(*store, out);
    return true;
}

void DlListFile::fromText(std::u16string_view text, Contents& out)
{
    out = Contents();
    thread::Pooled<xml::MappedData> store = xml::MappedData::create(nullptr, rootName, false);
    xml::Node* root = xml::Node::get();
    std::u16string copy(text);
    root->parse(copy.c_str());
    store->setRoot(root);
    readStore(*store, out);
}

}

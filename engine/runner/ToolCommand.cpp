#include "engine/runner/ToolCommand.h"

#include "engine/catalogue/LookUpSite.h"
#include "engine/runner/ToolLocator.h"

#include <string_view>

namespace s::video::gui::dialogs::videodl {

using str::StrBuffer;

namespace {

// The file names as the command line shows them; you-get's carries the second space that comes
// before its link.
constexpr std::u16string_view YoutubeDlName = u"youtube-dl ";
constexpr std::u16string_view YoutubeDlOldName = u"youtube-dl_old ";
constexpr std::u16string_view YouGetName = u"you-get  ";

// One option word; the login's values are shown in quotes.
struct Word {
    std::u16string_view text;
    bool quoted { false };
};

std::string utf8(std::u16string_view text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

// The match text of the catalogue's YouTube row: a link holding it is tried with the old build.
std::u16string_view youtubeMatch()
{
    static const std::u16string_view match = [] {
        const SiteTable& table = YoutubeDlSites();
        for (size_t i = 0, count = table.rowCount(); i < count; ++i) {
            if (std::u16string_view(table.rows[i].name) == u"YouTube")
                return std::u16string_view(table.rows[i].match);
        }
        return std::u16string_view(u".youtube.");
    }();
    return match;
}

// The command as one line: program folder, "vdl/", the file name, the quoted link, the words.
void writeText(StrBuffer& text, std::u16string_view programDir, std::u16string_view fileName, std::u16string_view url, const std::vector<Word>& words)
{
    text.assign(programDir);
    text.append(u"vdl/");
    text.append(fileName);
    text.append(u'"');
    text.append(url);
    text.append(u'"');
    for (const Word& word : words) {
        text.append(u' ');
        if (word.quoted)
            text.append(u'"');
        text.append(word.text);
        if (word.quoted)
            text.append(u'"');
    }
}

}

ToolCommand ToolCommand::build(const ToolRequest& request, const ToolLocator& tools)
{
    ToolCommand command;
    std::u16string loginFileText;
    std::vector<Word> words;
    const bool youGet = request.Tool == ToolYouGet;
    if (!youGet) {
        if (!request.LoginFile.empty()) {
            // The login itself stays out of the argument list (any local user can read it) and
            // out of every text that is shown or logged.
            loginFileText = str::strbuffer::StrBuffer::makeUtf8(request.LoginFile)->view();
            words.insert(words.end(), { { u"--config-location" }, { loginFileText, true } });
        } else {
            if (!request.Id.empty())
                words.insert(words.end(), { { u"-u" }, { request.Id, true } });
            if (!request.Password.empty())
                words.insert(words.end(), { { u"-p" }, { request.Password, true } });
        }
        words.insert(words.end(), { { u"--no-mtime" }, { u"-i" } });
        if (request.OnlyMp3)
            words.insert(words.end(), { { u"-x" }, { u"--audio-format" }, { u"mp3" }, { u"--audio-quality" }, { u"192K" } });

        // The old build is tried first for the video service's links: judged by the link alone (a
        // folder or a login that holds the service's name is no such link), and only where the
        // old build is installed, so that nothing else pays for a failed first attempt.
        if (!request.OnlyMp3 && request.Attempt == 0 && tools.hasOldBuild())
            command.OldTool = request.Url.find(youtubeMatch()) != std::u16string_view::npos;
        if (!command.OldTool)
            words.insert(words.end(), { { u"--merge-output-format" }, { u"mkv" } });
    }

    writeText(*command.Text, tools.programDir(), youGet ? YouGetName : YoutubeDlName, request.Url, words);
    if (command.OldTool)
        command.Text->replaceAll(YoutubeDlName, YoutubeDlOldName);

    command.Arguments.push_back(tools.toolFile(request.Tool, command.OldTool));
    for (const Word& word : words)
        command.Arguments.push_back(utf8(word.text));
    command.Arguments.push_back("--");
    command.Arguments.push_back(utf8(request.Url));
    return command;
}

}

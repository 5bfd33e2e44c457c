#include "TempFolder.h"

#include "formats/reg/HiveText.h"
#include "formats/reg/os/Hive.h"
#include "formats/reg/os/RegDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using s::reg::HiveText;
using s::reg::os::Hive;
using s::reg::os::ValueType;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The tree of a text, written back in the canonical form: what the reader understood.
std::string understood(std::string_view text)
{
    Hive::Key top;
    HiveText::read(text, top);
    return HiveText::write(top);
}

constexpr const char* head = "Windows Registry Editor Version 5.00\n\n";

}

TEST(HiveText, ReadsEveryValueFormAndWritesItBack)
{
    std::string text = std::string(head)
        + "[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Pellix]\n"
          "@=\"default\"\n"
          "\"sz\"=\"a \\\"quoted\\\" \\\\ text \xC3\xA9\xF0\x9F\x98\x80\"\n"
          "\"dw\"=dword:deadBEEF\n"
          "\"bin\"=hex:00,01,fe,FF\n"
          "\"empty\"=hex:\n"
          "\"exp\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n"
          "\"qw\"=hex(b):01,00,00,00,00,00,00,00\n"
          "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
          "\"newline\"=hex(1):61,00,0a,00,62,00,00,00\n"
          "\n"
          "[HKEY_CURRENT_USER\\Software\\Pellix\\Empty]\n"
          "\n";
    Hive::Key top;
    HiveText::read(text, top);
    Hive::Key* key = top.findSubkey(u"hkey_current_user")->findSubkey(u"SOFTWARE")->findSubkey(u"Pellix");
    ASSERT_NE(key, nullptr);
    struct Case {
        const char16_t* name;
        ValueType type;
        std::vector<uint8_t> data;
    } cases[] = {
        { u"", ValueType::String, { 'd', 0, 'e', 0, 'f', 0, 'a', 0, 'u', 0, 'l', 0, 't', 0, 0, 0 } },
        { u"dw", ValueType::Dword, { 0xEF, 0xBE, 0xAD, 0xDE } },
        { u"bin", ValueType::Binary, { 0x00, 0x01, 0xFE, 0xFF } },
        { u"empty", ValueType::Binary, {} },
        { u"exp", ValueType::ExpandString, { '%', 0, 'H', 0, 'O', 0, 'M', 0, 'E', 0, '%', 0, 0, 0 } },
        { u"qw", ValueType::Qword, { 1, 0, 0, 0, 0, 0, 0, 0 } },
        { u"multi", ValueType::MultiString, { 'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        Hive::Value* value = key->findValue(c.name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->data, c.data);
    }
    Hive::Value* sz = key->findValue(u"SZ");
    ASSERT_NE(sz, nullptr);
    std::u16string expected = u"a \"quoted\" \\ text \u00e9\U0001F600";
    ASSERT_EQ(sz->data.size(), (expected.size() + 1) * 2);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(sz->data[2 * i] | (sz->data[2 * i + 1] << 8), expected[i]);
    EXPECT_NE(top.findSubkey(u"HKEY_CURRENT_USER")->findSubkey(u"Software")->findSubkey(u"Pellix")->findSubkey(u"Empty"), nullptr);

    // Written back: the same text, lowercase hex, a text with a line break stays hex(1).
    std::string expectedText = text;
    expectedText.replace(expectedText.find("deadBEEF"), 8, "deadbeef");
    expectedText.replace(expectedText.find("fe,FF"), 5, "fe,ff");
    EXPECT_EQ(HiveText::write(top), expectedText);
}

TEST(HiveText, LongHexValuesWrapAndReadBack)
{
    Hive::Key top;
    auto root = std::make_unique<Hive::Key>();
    root->name = u"HKEY_CURRENT_USER";
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    root->values.push_back({ u"long", ValueType::Binary, data });
    top.subkeys.push_back(std::move(root));
    std::string text = HiveText::write(top);
    size_t lineStart = 0;
    int lines = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            EXPECT_LE(i - lineStart, 80u);
            lineStart = i + 1;
            ++lines;
        }
    }
    EXPECT_GT(lines, 10);
    Hive::Key back;
    HiveText::read(text, back);
    EXPECT_EQ(back.findSubkey(u"HKEY_CURRENT_USER")->findValue(u"long")->data, data);
}

// A hand-edited or damaged file gives whatever can still be read; nothing crashes.
TEST(HiveText, DamagedFilesLoadWhatTheyCan)
{
    const std::string good = "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:00000001\n";
    const std::string goodOut = std::string(head) + "[HKEY_CURRENT_USER]\n\n" + "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:00000001\n\n";
    struct Case {
        const char* what;
        std::string input;
        std::string expected;
    } cases[] = {
        { "no header", good, goodOut },
        { "windows line ends", std::string(head) + "[HKEY_CURRENT_USER\\K]\r\n\"a\"=dword:00000001\r\n", goodOut },
        { "utf-8 byte-order mark", "\xEF\xBB\xBF" + good, goodOut },
        { "comments and blank lines", "; note\n\n" + good + "; end\n", goodOut },
        { "value before any key", "\"x\"=dword:00000002\n" + good, goodOut },
        { "torn last line", good + "\"b\"=hex:01,0", goodOut },
        { "torn hex continuation", good + "\"b\"=hex:01,02,\\\n", goodOut },
        { "bad dword", good + "\"b\"=dword:xyz\n\"c\"=dword:123456789\n", goodOut },
        { "bad hex", good + "\"b\"=hex:0g\n\"c\"=hex:012\n\"d\"=hex(zz):00\n", goodOut },
        { "unclosed quote", good + "\"b=\"x\n\"c\"=\"unclosed\n", goodOut },
        { "deletions", good + "\"b\"=-\n[-HKEY_CURRENT_USER\\Gone]\n\"c\"=dword:00000001\n", goodOut },
        { "torn key line", good + "[HKEY_CURRENT_USER\\Tor", goodOut },
        // found by fuzzing: a root spelled with a leading "-" would be written as a deletion
        { "root named like a deletion", good + "[/-HKEY_CURRENT_USER\\Gone]\n\"x\"=dword:00000001\n", goodOut },
        { "unknown form", good + "\"b\"=something\n", goodOut },
        { "later value wins", good + "\"A\"=dword:00000003\n",
            std::string(head) + "[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:00000003\n\n" },
        { "binary garbage", std::string("\0\xFF\xFE[\x01\n", 6) + good + "\x80\x81\n", goodOut },
        { "nothing", "", head },
    };
    for (const Case& c : cases)
        EXPECT_EQ(understood(c.input), c.expected) << c.what;

    // A file saved by the platform's own editor: UTF-16LE with a byte-order mark.
    std::string wide = "\xFF\xFE";
    for (char ch : std::string(head) + good) {
        wide += ch;
        wide += '\0';
    }
    EXPECT_EQ(understood(wide), goodOut);
}

TEST(HiveText, KeysNestNoDeeperThanThePlatformAllows)
{
    std::string deep = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 100000; ++i)
        deep += "\\k";
    deep += "]\n\"a\"=dword:00000001\n";
    EXPECT_EQ(understood(deep), head);
}

TEST(Hive, KeysAndValuesIgnoreCaseAndKeepTheirSpelling)
{
    TempFolder temp;
    Hive hive(temp / "r.reg");
    ASSERT_TRUE(hive.setValue(u"HKEY_CURRENT_USER\\Software\\Mixed", u"Name", ValueType::Dword, "\1\0\0\0", 4));
    ASSERT_TRUE(hive.setValue(u"hkey_current_user/SOFTWARE/mixed", u"NAME", ValueType::Dword, "\2\0\0\0", 4));
    EXPECT_TRUE(hive.keyExists(u"HKEY_CURRENT_USER\\software\\MIXED"));
    std::vector<std::u16string> names;
    ASSERT_TRUE(hive.subkeyNames(u"HKEY_CURRENT_USER\\Software", names));
    EXPECT_EQ(names, std::vector<std::u16string> { u"Mixed" });
    EXPECT_NE(readFile(temp / "r.reg").find("\"Name\"=dword:00000002"), std::string::npos);
    EXPECT_FALSE(hive.setValue(u"HKEY_CURRENT_USER\\K", u"line\nbreak", ValueType::Dword, "\1\0\0\0", 4))
        << "a name the file cannot hold is refused";
    EXPECT_FALSE(hive.deleteKey(u""));
    EXPECT_TRUE(hive.deleteKey(u"HKEY_CURRENT_USER"));
    EXPECT_EQ(readFile(temp / "r.reg"), head);
}

TEST(Hive, TheUserHiveFollowsXdgConfigHome)
{
    TempFolder temp;
    std::string saved = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::setenv("XDG_CONFIG_HOME", temp.path().c_str(), 1);
    Hive& user = Hive::user();
    EXPECT_EQ(user.path(), temp / "Pellix/registry.reg");
    auto dir = s::reg::os::RegDir::make(s::reg::os::RootKey::CurrentUser, u"Software\\Pellix\\Test");
    EXPECT_TRUE(dir->setValue(u"v", ValueType::Dword, "\7\0\0\0", 4));
    EXPECT_NE(readFile(temp / "Pellix/registry.reg").find("[HKEY_CURRENT_USER\\Software\\Pellix\\Test]"), std::string::npos);
    EXPECT_STREQ(dir->className(), "s_reg_os_RegDir");
    if (saved.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

// A writer killed at any moment leaves the old file or the new one, whole. The child rewrites a
// large value and a counter together in a loop; every state the parent finds must agree.
TEST(Hive, SurvivesAWriterKilledMidWrite)
{
    TempFolder temp;
    std::string file = temp / "registry.reg";
    std::mt19937 random(12345);
    int checked = 0;
    auto fileIdentity = [&] {
        struct stat st;
        return ::stat(file.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_ino) : 0;
    };
    for (int round = 0; round < 12; ++round) {
        uint64_t before = fileIdentity();
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Hive hive(file);
            ValueType type;
            std::vector<uint8_t> last;
            uint32_t n = 1;
            if (hive.queryValue(u"HKEY_CURRENT_USER\\Stress", u"n", type, last) && last.size() == 4)
                n = last[0] + 1u;
            std::vector<uint8_t> blob(256 * 1024);
            for (;; ++n) {
                std::fill(blob.begin(), blob.end(), static_cast<uint8_t>(n));
                hive.setValue(u"HKEY_CURRENT_USER\\Stress", u"blob", ValueType::Binary, blob.data(), static_cast<uint32_t>(blob.size()));
                hive.setValue(u"HKEY_CURRENT_USER\\Stress", u"n", ValueType::Dword, &n, 4);
            }
        }
        // Once the child has replaced the file at least once (a rename gives a new inode), kill it
        // at a random moment of its later writes.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (fileIdentity() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 40));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        std::string text = readFile(file);
        ASSERT_FALSE(text.empty());
        ++checked;
        EXPECT_EQ(understood(text), text) << "round " << round << ": the file is whole";
        Hive::Key top;
        HiveText::read(text, top);
        Hive::Key* key = top.findSubkey(u"HKEY_CURRENT_USER")->findSubkey(u"Stress");
        ASSERT_NE(key, nullptr);
        Hive::Value* blob = key->findValue(u"blob");
        ASSERT_NE(blob, nullptr);
        ASSERT_EQ(blob->data.size(), 256u * 1024);
        uint8_t first = blob->data[0];
        EXPECT_EQ(std::count(blob->data.begin(), blob->data.end(), first), static_cast<ptrdiff_t>(blob->data.size()));
        // The counter is set after the blob: it equals the blob's fill, or is one behind it.
        if (Hive::Value* n = key->findValue(u"n")) {
            uint8_t counter = n->data[0];
            EXPECT_TRUE(counter == first || static_cast<uint8_t>(counter + 1) == first) << int(counter) << " " << int(first);
        }
    }
    EXPECT_EQ(checked, 12);
    // A fresh hive reads the survivor without trouble and can write again.
    Hive after(file);
    EXPECT_TRUE(after.setValue(u"HKEY_CURRENT_USER\\Stress", u"n", ValueType::Dword, "\0\0\0\0", 4));
}

namespace {

constexpr uid_t nobody = 65534;

// Runs in a child process as an unprivileged user, for whom permissions are real: a registry
// file that exists but cannot be read must not be taken for an empty one and overwritten.
[[noreturn]] void changeAnUnreadableHive(const std::string& file, const std::string& messages)
{
    int err = ::open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err < 0 || ::dup2(err, 2) < 0)
        std::_Exit(10);
    if (::getuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
        std::_Exit(11);
    int failures = 0;
    auto check = [&](bool condition) { failures += condition ? 0 : 1; };
    {
        Hive hive(file);
        ValueType type;
        std::vector<uint8_t> data;
        check(!hive.queryValue(u"HKEY_CURRENT_USER\\Software\\Pellix", u"kept", type, data));
        check(!hive.setValue(u"HKEY_CURRENT_USER\\Software\\Pellix", u"new", ValueType::Dword, "\1\0\0\0", 4));
        check(!hive.createKey(u"HKEY_CURRENT_USER\\Other"));
        check(!hive.deleteValue(u"HKEY_CURRENT_USER\\Software\\Pellix", u"kept"));
        check(!hive.deleteKey(u"HKEY_CURRENT_USER"));
    }
    std::_Exit(failures);
}

}

TEST(Hive, AnUnreadableFileIsNeverOverwritten)
{
    TempFolder temp;
    std::string file = temp / "registry.reg";
    const std::string content = std::string(head) + "[HKEY_CURRENT_USER\\Software\\Pellix]\n\"kept\"=dword:00000007\n\n";
    {
        std::ofstream(file, std::ios::binary) << content;
    }
    // The folder and the file belong to the user the child becomes; the file is writable to
    // that user but not readable, so only the reading can fail.
    ASSERT_EQ(::chown(temp.path().c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0200), 0);
    std::string messages = temp / "stderr.txt";

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        changeAnUnreadableHive(file, messages);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every change fails";

    EXPECT_EQ(readFile(file), content) << "left byte for byte as it was";
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0200u);
    EXPECT_NE(::access((file + ".tmp").c_str(), F_OK), 0);
    std::string said = readFile(messages);
    EXPECT_NE(said.find("cannot be read"), std::string::npos) << said;
    EXPECT_NE(said.find(file), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "said once, not at every change: " << said;

    // Readable again: changes work and keep what the file held.
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    Hive hive(file);
    EXPECT_TRUE(hive.setValue(u"HKEY_CURRENT_USER\\Software\\Pellix", u"new", ValueType::Dword, "\1\0\0\0", 4));
    EXPECT_TRUE(hive.hasValue(u"HKEY_CURRENT_USER\\Software\\Pellix", u"kept"));
}

// Failures that hit every user alike, root included: a folder where the file or its lock file
// should be. Nothing is written without reading the file first, or without the lock.
TEST(Hive, NoWriteWithoutTheLockOrAReadableFile)
{
    TempFolder temp;
    std::string file = temp / "registry.reg";
    const std::string content = std::string(head) + "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:00000001\n\n";
    std::ofstream(file, std::ios::binary) << content;
    ASSERT_EQ(::mkdir((file + ".lock").c_str(), 0700), 0);
    {
        Hive hive(file);
        EXPECT_TRUE(hive.hasValue(u"HKEY_CURRENT_USER\\K", u"a")) << "reading needs no lock";
        EXPECT_FALSE(hive.setValue(u"HKEY_CURRENT_USER\\K", u"b", ValueType::Dword, "\2\0\0\0", 4));
        EXPECT_FALSE(hive.deleteKey(u"HKEY_CURRENT_USER\\K"));
        EXPECT_FALSE(hive.hasValue(u"HKEY_CURRENT_USER\\K", u"b"));
    }
    EXPECT_EQ(readFile(file), content);
    ::rmdir((file + ".lock").c_str());

    // The file's name taken by a folder: reading it fails (EISDIR), so no change is attempted.
    std::string folder = temp / "folder.reg";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    Hive hive(folder);
    EXPECT_FALSE(hive.setValue(u"HKEY_CURRENT_USER\\K", u"b", ValueType::Dword, "\2\0\0\0", 4));
    struct stat st;
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(::access((folder + ".tmp").c_str(), F_OK), 0);
}

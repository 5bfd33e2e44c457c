#include "app/CommandLine.h"

#include <gtest/gtest.h>

using s::app::CommandLine;

TEST(CommandLine, Table)
{
    using A = CommandLine::Action;
    struct Case {
        std::vector<std::string> arguments;
        A action;
        bool startup;
        std::string offending;
    };
    const Case cases[] = {
        { {}, A::Run, false, "" },
        { { "-startup" }, A::Run, true, "" },
        { { "-STARTUP" }, A::Run, true, "" },
        { { "/startup" }, A::Misuse, false, "/startup" },
        { { "--startup" }, A::Misuse, false, "--startup" },
        { { "--help" }, A::Help, false, "" },
        { { "-startup", "--version" }, A::Version, true, "" },
        { { "--bogus" }, A::Misuse, false, "--bogus" },
        { { "http://example.com/" }, A::Misuse, false, "http://example.com/" },
        { { "-platform", "offscreen", "-startup" }, A::Run, true, "" },
        { { "--platform=xcb" }, A::Run, false, "" },
        { { "-display", ":1" }, A::Run, false, "" },
        { { "-reverse", "--nonsense" }, A::Misuse, false, "--nonsense" },
    };
    for (const Case& c : cases) {
        CommandLine line = CommandLine::parse(c.arguments);
        std::string shown = c.arguments.empty() ? "(none)" : c.arguments.back();
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.startup, c.startup) << shown;
        EXPECT_EQ(line.offending, c.offending) << shown;
    }
    EXPECT_NE(CommandLine::versionText().find(FETCHWICK_VERSION), std::string::npos);
    EXPECT_NE(CommandLine::usageText("--bogus").find("'--bogus'"), std::string::npos);
}

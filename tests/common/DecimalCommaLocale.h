#pragma once

// Puts the whole process under a German locale for the lifetime of the object, the way Qt does at start-up
// for a user in most of Europe: the decimal point becomes ",". The locale is compiled once with localedef into
// a private folder (no root needed, LOCPATH points there), so tests do not depend on what the machine has
// generated. active() is false when the locale could not be built; tests then say so and skip.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fetchwick::test {

class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_previous = old ? old : "C";
        if (!ensureBuilt())
            return;
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }

    ~DecimalCommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }

    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool active() const { return m_active; }

    // The folder holding the compiled locale, for child processes: LOCPATH=folder LC_ALL=de_DE.UTF-8.
    static std::string folder()
    {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/fetchwick-locale-" + std::to_string(::getuid());
    }

    // Builds the locale when it is not there yet and points LOCPATH at it; true when it can be used.
    static bool ensureBuilt()
    {
        std::string dir = folder();
        std::string target = dir + "/de_DE.UTF-8";
        struct stat st {};
        if (::stat((target + "/LC_NUMERIC").c_str(), &st) != 0) {
            ::mkdir(dir.c_str(), 0700);
            // Several test programs may build it at once: each builds into its own folder and renames it in.
            std::string scratch = dir + "/build-" + std::to_string(::getpid());
            std::string cmd = "localedef -i de_DE -f UTF-8 '" + scratch + "' >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0 && ::stat((scratch + "/LC_NUMERIC").c_str(), &st) != 0)
                return false;
            if (std::rename(scratch.c_str(), target.c_str()) != 0) {
                std::string rm = "rm -rf '" + scratch + "'";
                (void)std::system(rm.c_str());
            }
        }
        ::setenv("LOCPATH", dir.c_str(), 1);
        return ::stat((target + "/LC_NUMERIC").c_str(), &st) == 0;
    }

private:
    std::string m_previous;
    bool m_active = false;
};

} // namespace fetchwick::test

#pragma once

#include "foundation/system/os/Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace enginetest {

// tools/page_server.py on 127.0.0.1, serving the files of `root`, for as long as the object lives.
class PageServer {
public:
    explicit PageServer(const std::filesystem::path& root)
    {
        std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        std::string script = (std::filesystem::path(TEST_TOOLS_DIR) / "page_server.py").string();
        if (!m_process.start({ python, script, root.string() }, {}))
            return;
        std::string line;
        char buffer[64];
        while (line.find('\n') == std::string::npos) {
            size_t count = 0;
            if (m_process.read(buffer, sizeof buffer, count, 10000) == s::system::os::Process::Read::Ended)
                return;
            line.append(buffer, count);
        }
        m_port = std::stoi(line);
    }

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

private:
    s::system::os::Process m_process;
    int m_port { 0 };
};

}

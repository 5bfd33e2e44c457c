#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace s::net {

// One HTTP GET on libcurl, for the page fetch at intake and the update check. Qt-free and free of
// global state apart from libcurl's own one-time set-up, so any thread may fetch.
//
// Only http and https are spoken, also after a redirect; bodies are asked for and taken as they
// are (no compression); TLS peers are verified; proxies come from the environment the way libcurl
// reads them (http_proxy, https_proxy, no_proxy). There is deliberately no "is the machine online"
// test: a loopback fetch has to work on a machine without any network.
class HttpFetch {
public:
    enum class Result {
        Ok,
        // No connection could be made (name not resolved, refused, no route, proxy unreachable).
        CouldNotConnect,
        // Everything else: an HTTP error status, a forbidden scheme, too many redirects, the time
        // limit, an abort, a broken transfer.
        Failed,
    };

    static constexpr int DefaultTimeLimitMs = 4000;
    static constexpr size_t DefaultBodyCap = 4u * 1024 * 1024;
    static constexpr long DefaultMaxRedirects = 5;

    struct Request {
        std::string_view Url;
        std::string_view UserAgent;
        // Sent as the Referer header when not empty.
        std::string_view Referrer;
        // For the whole transfer, connection included.
        int TimeLimitMs { DefaultTimeLimitMs };
        // The body is read up to this many bytes; the rest is not fetched and the fetch still
        // counts as Ok, so a link to a large media file never lands in memory.
        size_t BodyCap { DefaultBodyCap };
        long MaxRedirects { DefaultMaxRedirects };
        // Set from any thread to give the transfer up; it ends as Failed soon after.
        const std::atomic<bool>* Abort { nullptr };
    };

    struct Response {
        Result Outcome { Result::Failed };
        // The final HTTP status, 0 when none arrived.
        long Status { 0 };
        // The bytes of the body as they arrived, at most Request::BodyCap of them.
        std::string Body;
        // The body was longer than the cap and was cut there.
        bool Truncated { false };
    };

    static Response get(const Request& request);

    // The text of a result, for logs and tests: "ok", "could not connect", "failed".
    static std::string_view resultText(Result result);
};

}

#include "engine/net/HttpFetch.h"

#include <curl/curl.h>

#include <mutex>

namespace s::net {

namespace {

// What the callbacks of one transfer share with it.
struct Transfer {
    const HttpFetch::Request* Request { nullptr };
    HttpFetch::Response* Response { nullptr };
};

void initLibraryOnce()
{
    // curl_global_init is not safe to race with itself on every libcurl build, so it runs once.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t receiveBody(char* data, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    size_t bytes = size * count;
    std::string& body = transfer.Response->Body;
    size_t room = transfer.Request->BodyCap - body.size();
    if (bytes > room) {
        // Keep what fits and end the transfer: returning less than was offered makes libcurl stop
        // reading, so the rest of a huge body is never pulled in.
        body.append(data, room);
        transfer.Response->Truncated = true;
        return room;
    }
    body.append(data, bytes);
    return bytes;
}

int watchAbort(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(context);
    const std::atomic<bool>* abort = transfer.Request->Abort;
    return abort && abort->load(std::memory_order_relaxed) ? 1 : 0;
}

bool neverConnected(CURL* curl)
{
    curl_off_t connectTime = 0;
    return curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK && connectTime == 0;
}

HttpFetch::Result classify(CURLcode code, CURL* curl, bool truncated)
{
    switch (code) {
    case CURLE_OK:
        return HttpFetch::Result::Ok;
    case CURLE_WRITE_ERROR:
        // Our own stop at the body cap: what arrived is the answer.
        return truncated ? HttpFetch::Result::Ok : HttpFetch::Result::Failed;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return HttpFetch::Result::CouldNotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return neverConnected(curl) ? HttpFetch::Result::CouldNotConnect : HttpFetch::Result::Failed;
    default:
        return HttpFetch::Result::Failed;
    }
}

}

HttpFetch::Response HttpFetch::get(const Request& request)
{
    Response response;
    if (request.Abort && request.Abort->load())
        return response;

    initLibraryOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return response;

    Transfer transfer { &request, &response };
    std::string url(request.Url);
    std::string userAgent(request.UserAgent);
    std::string referrer(request.Referrer);

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    // Worker threads: libcurl must not use signals for its time limits.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, request.MaxRedirects);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.TimeLimitMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.TimeLimitMs));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    if (!userAgent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent.c_str());
    if (!referrer.empty())
        curl_easy_setopt(curl, CURLOPT_REFERER, referrer.c_str());

    // Ask for the body as it is: a compressed body would need to be inflated past the cap.
    curl_slist* headers = curl_slist_append(nullptr, "Accept-Encoding: identity");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, watchAbort);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.Status);
    response.Outcome = classify(code, curl, response.Truncated);
    if (response.Outcome != Result::Ok)
        response.Body.clear();

    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    return response;
}

std::string_view HttpFetch::resultText(Result result)
{
    switch (result) {
    case Result::Ok:
        return "ok";
    case Result::CouldNotConnect:
        return "could not connect";
    case Result::Failed:
        break;
    }
    return "failed";
}

}

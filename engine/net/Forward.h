#pragma once

namespace s::net {
class HttpFetch;
}

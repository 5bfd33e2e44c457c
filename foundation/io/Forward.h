#pragma once

namespace s::io {
class IInputStream;
class IOutputStream;
}

#pragma once

namespace s::io {
class IInputStream;
class IInputStreamable;
class IOutputStream;
}

#pragma once

namespace s::str {
class CaseFold;
class IStr;
class Utf8;
}

namespace s::str::strbuffer {
class Iterator;
class StrBuffer;
}

namespace s::str::strarray {
class StrArray;
}

namespace s::system::codepage {
class CodePage;
}

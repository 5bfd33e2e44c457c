#pragma once

namespace s::crypt::zcrypt {
class ZipKeys;
class ZCryptInputStream;
class ZCryptOutputStream;
}

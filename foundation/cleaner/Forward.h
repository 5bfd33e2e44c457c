#pragma once

namespace s::cleaner {
class CleanerIObject;
class CleanerRaw;
class CleanerRawObject;
}

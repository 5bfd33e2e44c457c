#pragma once

namespace s::cleaner {
class CleanerIObject;
class CleanerPooledIObject;
class CleanerRaw;
class CleanerRawObject;
}

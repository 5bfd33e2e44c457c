#pragma once

namespace s::system::os {
class Process;
}

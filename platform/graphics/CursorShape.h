#pragma once

namespace platform {

enum class CursorShape { StandardPointer, FingerPointer };

} // namespace platform

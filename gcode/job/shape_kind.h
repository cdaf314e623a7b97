#pragma once

namespace quorrel {

/// Which program is written; the values follow the order of the window's shape options.
enum class ShapeKind { Rectangle = 0, Circle = 1, RoundedRectangle = 2 };

}  // namespace quorrel

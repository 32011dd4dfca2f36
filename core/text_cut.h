// Where a long text may be cut when only its start is shown (the board, a table cell, a
// screen reader's row name). The stored text is never cut; only what is shown.
#pragma once
#include <cstddef>
#include "core/text.h"

namespace core {

// The length of the longest start of `text` of at most `limit` code units that splits
// neither a surrogate pair nor a CR LF. Equals text.size() when that is within the limit.
std::size_t CutLength(TextView text, std::size_t limit);

}  // namespace core

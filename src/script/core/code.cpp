#include "script/core/code.h"

#include <algorithm>

namespace quillet::script {

const StatementEntry& Code::statementAt(size_t pc) const
{
    static const StatementEntry none;
    auto it = std::upper_bound(statements.begin(), statements.end(), pc,
                               [](size_t at, const StatementEntry& e) { return at < e.start; });
    return it == statements.begin() ? none : *(it - 1);
}

} // namespace quillet::script

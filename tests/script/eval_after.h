// Running a script in a fresh engine and reading an expression after it:
// for tests that compare the machine's fast ways with its general ones.
#pragma once

#include "script/engine.h"

#include <string>

namespace quillet::script::testing {

// The text of `expression` after running `code`, or "(error N)" for the
// error either ends with.
inline Text evalAfter(const Text& code, const Text& expression, EngineLimits limits = {})
{
    Engine engine(limits);
    auto failed = [&engine] { return u"(error " + fromUtf8(std::to_string(engine.lastError().number)) + u")"; };
    if (!engine.addCode(code))
        return failed();
    const auto v = engine.eval(expression);
    return v ? v->toText() : failed();
}

} // namespace quillet::script::testing

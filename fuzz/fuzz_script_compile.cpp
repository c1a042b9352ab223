// The VBScript compiler over arbitrary text: the lexer and parser on their
// own (nothing runs), then the engine's addCode, which also resolves names
// and runs the top level, under a budget of a few dozen steps so that the
// fuzzer spends its time compiling.
#include "fuzz_text.h"
#include "script/core/compile_error.h"
#include "script/core/parser.h"
#include "script/engine.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    using namespace quillet::script;
    const Text source = fuzz::fileText(std::string(reinterpret_cast<const char*>(data), size));

    for (ParseMode mode : {ParseMode::Program, ParseMode::Statements, ParseMode::Expression}) {
        CodeUnit unit;
        unit.source = source;
        try {
            parseUnit(unit, mode);
        } catch (const CompileError& e) {
            // Every compile error is numbered and placed on a line of the text.
            if (e.error.number() < 1000 || e.line < 1)
                std::abort();
        }
    }

    EngineLimits limits;
    limits.stepBudget = 64;
    Engine engine(limits);
    if (!engine.addCode(source)) {
        const ScriptErrorInfo& error = engine.lastError();
        if (error.number == 0 || error.description.empty())
            std::abort();
    }
    return 0;
}

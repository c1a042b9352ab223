#include "script/engine.h"

#include "common/stop_request.h"
#include "script/core/core_builtins.h"
#include "script/core/err_object.h"
#include "script/core/runtime.h"

#include <new>

namespace quillet::script {

namespace {

constexpr int kInternalErrorNumber = 51;

// The text of the line an error or stop happened on: kept with it when its
// code was freed, otherwise read from its code.
template <typename Signal>
Text lineTextOf(const Signal& signal)
{
    if (!signal.lineText.empty() || !signal.unit)
        return signal.lineText;
    return signal.unit->lineText(signal.line);
}

// Where an error or stop happened, as a line of the code the host added
// and its text.  From code that Execute ran it is the statement that ran
// it, the line within the executed text joining the description; code an
// ExecuteGlobal defined and the host called directly has no such line.
template <typename Signal>
void placeInto(ScriptErrorInfo& info, const Signal& signal)
{
    int executedLine = signal.executedLine;
    if (signal.inExecuted) {
        executedLine = signal.line;
    } else {
        info.line = signal.line;
        info.column = signal.column;
        info.lineText = lineTextOf(signal);
    }
    if (executedLine > 0)
        info.description += u" (line " + decimalText(executedLine) + u" of the executed code)";
}

// What the engine makes current on its thread while it works: the
// session's memory meter and the stop request.
class WorkScope {
public:
    WorkScope(MemoryMeter* meter, const std::atomic<bool>& stop) noexcept : meter_(meter), stop_(&stop) {}

private:
    MeterScope meter_;
    StopScope stop_;
};

RuntimeLimits toRuntimeLimits(const EngineLimits& l)
{
    RuntimeLimits r;
    r.maxCallDepth = l.maxCallDepth;
    r.stackBytes = l.stackBytes;
    r.stepBudget = l.stepBudget;
    return r;
}

} // namespace

Engine::Engine() : Engine(EngineLimits()) {}

Engine::Engine(EngineLimits limits) : limits_(limits)
{
#ifndef QUILLET_NO_RUNTIME_LIBRARY
    registerRuntimeLibrary(registry_);
#endif
    registerCoreBuiltins(registry_);
    reset();
}

Engine::~Engine()
{
    // Class_Terminate handlers still run: their allocations count as well.
    WorkScope scope(meter_.get(), stop_);
    runtime_.reset();
}

void Engine::reset()
{
    {
        WorkScope scope(meter_.get(), stop_);
        runtime_.reset();
    }
    meter_ = MemoryMeter::create(limits_.memoryLimit);
    WorkScope scope(meter_.get(), stop_);
    runtime_ = std::make_unique<Runtime>(registry_, &stop_, toRuntimeLimits(limits_));
    runtime_->ui = ui_;
    runtime_->files = files_;
    lastError_ = ScriptErrorInfo();
}

void Engine::setUiCallbacks(UiCallbacks callbacks)
{
    ui_ = std::move(callbacks);
    runtime_->ui = ui_;
}

void Engine::setFileAccess(FileAccess access)
{
    files_ = std::move(access);
    runtime_->files = files_;
}

void Engine::addObject(TextView name, Value object, bool globalMembers)
{
    WorkScope scope(meter_.get(), stop_);
    runtime_->registerObject(Text(name), std::move(object), globalMembers);
}

template <typename F>
bool Engine::guarded(F&& body)
{
    lastError_ = ScriptErrorInfo();
    if (groups_ == 0)
        stop_.store(false);
    WorkScope scope(meter_.get(), stop_);
    try {
        body();
        runtime_->finishHostCall();
        return true;
    } catch (const ScriptError& e) {
        lastError_.number = e.number;
        lastError_.description = e.description;
        lastError_.source = e.source.empty() ? Text(e.compile ? kCompileErrorSource : kRuntimeErrorSource) : e.source;
        lastError_.compileError = e.compile;
        placeInto(lastError_, e);
    } catch (const StopSignal& s) {
        lastError_.number = s.number;
        lastError_.description = s.description;
        lastError_.source = kRuntimeErrorSource;
        lastError_.stopped = true;
        placeInto(lastError_, s);
    } catch (const StopRequested& s) {
        // Stopped outside any statement (compiling the code added).
        lastError_.number = s.number();
        lastError_.description = s.description();
        lastError_.source = kRuntimeErrorSource;
        lastError_.stopped = true;
    } catch (const VbError& v) {
        lastError_.number = v.number();
        lastError_.description = v.description();
        lastError_.source = kRuntimeErrorSource;
    } catch (const std::bad_alloc&) {
        lastError_.number = vberr::OutOfMemory;
        lastError_.description = vbErrorDescription(vberr::OutOfMemory);
        lastError_.source = kRuntimeErrorSource;
    } catch (const std::exception&) {
        // A host object failing in an unexpected way must not take the
        // program down; the script run ends with an internal error.
        lastError_.number = kInternalErrorNumber;
        lastError_.description = vbErrorDescription(kInternalErrorNumber);
        lastError_.source = kRuntimeErrorSource;
    }
    return false;
}

bool Engine::addCode(TextView code)
{
    return guarded([&] { runtime_->addCode(Text(code)); });
}

std::optional<Value> Engine::run(TextView procedure, std::span<Value> args)
{
    Value result;
    if (!guarded([&] { result = runtime_->runProcedure(procedure, args); }))
        return std::nullopt;
    return result;
}

size_t Engine::liveObjects() const
{
    return runtime_->liveObjects();
}

bool Engine::hasProcedure(TextView procedure) const
{
    return runtime_->hasProcedure(procedure);
}

std::optional<Value> Engine::eval(TextView expression)
{
    Value result;
    if (!guarded([&] {
            runtime_->enter();
            result = runtime_->evalText(Text(expression));
        }))
        return std::nullopt;
    return result;
}

} // namespace quillet::script

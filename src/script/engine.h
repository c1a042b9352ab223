// The script engine as the host program uses it: reset, register named
// objects, add code, run a procedure, read the last error.
//
//   Engine engine;
//   engine.addObject(u"Preview", Value::object(printObject), true);
//   if (!engine.addCode(text) || !engine.run(u"main"))
//       report(engine.lastError());   // number, description, line, column, lineText
//
// An engine and the values it hands out are used by one thread at a time
// (a value may be handed to another thread and released there); only
// requestStop() may be called while another thread is in the engine.  A
// host object may call back into the engine (addCode, run, eval) while a
// script runs, but must not reset() it then.
#pragma once

#include "script/builtins.h"
#include "script/memory_meter.h"
#include "script/value.h"

#include <atomic>
#include <memory>
#include <optional>
#include <span>

namespace quillet::script {

class Runtime;

struct ScriptErrorInfo {
    int number = 0;          // 0: no error
    Text description;
    Text source;             // "Microsoft VBScript runtime error" / "... compilation error"
    int line = 0;            // 1 = first line of the code given to addCode; 0 when unknown
    int column = 0;          // 1-based; 0 when unknown
    Text lineText;           // the text of that line
    bool compileError = false;
    bool stopped = false;    // ended by requestStop() or the step budget

    explicit operator bool() const { return number != 0; }
};

struct EngineLimits {
    int maxCallDepth = 3000;             // nested script calls before error 28
    size_t stackBytes = size_t(3) << 20; // C++ stack the engine may use before error 28
    uint64_t stepBudget = 0;             // loop turns + calls per host call; 0 = unlimited
    // Bytes the script's values (strings, arrays, dictionaries, class
    // instances, match collections) may hold at once, counted from the last
    // reset; beyond it an allocation fails with error 7.  0 = unlimited.
    size_t memoryLimit = size_t(1) << 30;
};

class Engine {
public:
    Engine();
    explicit Engine(EngineLimits limits);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Forgets all code, variables and named objects and clears the last
    // error.  Objects still alive, in cycles or held by the host, run their
    // Class_Terminate (with a bounded number of steps) and are emptied.
    void reset();

    // Makes `object` reachable as `name`; with `globalMembers` its members
    // are also global names of the script (resolved when code is added, so
    // register before addCode).
    void addObject(TextView name, Value object, bool globalMembers);

    // Compiles `code` and runs its top-level statements.  False on a
    // compile or run-time error (see lastError()); procedures and classes
    // defined before a run-time error stay defined.
    bool addCode(TextView code);

    // Calls a procedure of the script by name; nullopt on error.
    std::optional<Value> run(TextView procedure, std::span<Value> args = {});
    bool hasProcedure(TextView procedure) const;

    // Evaluates an expression in the global scope; nullopt on error.
    std::optional<Value> eval(TextView expression);

    // Bytes the values of this session hold now (see EngineLimits::memoryLimit).
    size_t memoryInUse() const { return meter_->used(); }
    // Objects of this session that hold values (instances of script
    // classes, dictionaries) alive now.  reset() ends them all: those the
    // host still holds stay, emptied, outside any session.
    size_t liveObjects() const;

    const ScriptErrorInfo& lastError() const { return lastError_; }
    void clearError() { lastError_ = ScriptErrorInfo(); }

    // Thread-safe: ends the current (or next) run with error 18 at its next
    // loop turn or call, or inside a long builtin or host member, which poll
    // the request as they go (common/stop_request.h: the engine makes it
    // current on its thread while it works).  The request is cleared when a
    // run starts, or inside a RunGroup when the group starts.
    void requestStop() { stop_.store(true); }

    // Several calls that make one run as the user sees it (reset, named
    // objects, code, main): the stop request is cleared once, as the group
    // starts, so that a stop asked for at any point of it (say while
    // reset() ends the last script's objects) ends the rest, instead of
    // being cleared by the next call.  Made on the thread that uses the
    // engine, for as long as those calls take.
    class RunGroup {
    public:
        explicit RunGroup(Engine& engine) : engine_(engine)
        {
            if (engine_.groups_++ == 0)
                engine_.stop_.store(false);
        }
        ~RunGroup() { --engine_.groups_; }
        RunGroup(const RunGroup&) = delete;
        RunGroup& operator=(const RunGroup&) = delete;

    private:
        Engine& engine_;
    };
    // The flag requestStop() sets, for the long operations of host objects
    // to poll while a run is going (see common/stop_request.h).
    const std::atomic<bool>& stopFlag() const { return stop_; }

    // MsgBox and InputBox answers.
    void setUiCallbacks(UiCallbacks callbacks);
    // The folders scripts may read files from; kept across reset(), and
    // seen by FileSystemObjects created after the call.
    void setFileAccess(FileAccess access);
    // The builtins; a host may add its own before reset()/addCode.
    BuiltinRegistry& builtins() { return registry_; }

private:
    template <typename F>
    bool guarded(F&& body);

    BuiltinRegistry registry_;
    EngineLimits limits_;
    UiCallbacks ui_;
    FileAccess files_;
    std::atomic<bool> stop_{false};
    int groups_ = 0; // RunGroups alive
    // Made anew by each reset; current on this thread while the engine
    // works.  Values left from an earlier session credit their own meter.
    MeterHandle meter_;
    std::unique_ptr<Runtime> runtime_;
    ScriptErrorInfo lastError_;
};

} // namespace quillet::script

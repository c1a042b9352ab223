// The interpreter: global state of one engine session (globals, classes,
// named objects, the Err object) and the execution of compiled code units.
#pragma once

#include "script/builtins.h"
#include "script/core/ast.h"
#include "script/core/code.h"
#include "script/core/compile_error.h"
#include "script/core/parser.h"
#include "script/core/slot_stack.h"
#include "script/host_object.h"
#include "script/object_registry.h"

#include <atomic>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace quillet::script {

class ScriptObject;
class Runtime;
class ErrObject;
class ExpressionRegisters;

// An error on its way up to the host or to an On Error Resume Next, with
// the place where it happened once known.
struct ScriptError {
    int number = 0;
    Text description;
    Text source;
    Text helpFile;      // Err.Raise's, else empty
    int32_t helpContext = 0;
    int line = 0;
    int column = 0;
    const CodeUnit* unit = nullptr;
    bool located = false;
    bool compile = false;
    Text lineText; // the failing line, when the unit is gone (compile errors, freed Execute code)
    // Located in code that Execute ran (the place moves out to the statement
    // that ran it), and the line within that code once it has moved.
    bool inExecuted = false;
    int executedLine = 0;
};

// A stop request or an exhausted budget: ends the run, and On Error Resume
// Next cannot catch it.
struct StopSignal {
    int number;
    Text description;
    // Where the run was when it stopped: the innermost statement.
    int line = 0;
    int column = 0;
    const CodeUnit* unit = nullptr;
    Text lineText{}; // when the unit was freed on the way up
    bool located = false;
    bool inExecuted = false; // as for ScriptError
    int executedLine = 0;
};

inline constexpr int kStopErrorNumber = 18; // "User interrupt occurred"

// Loop turns and calls that the Class_Terminate handlers still alive when a
// runtime ends may take together: plenty for real clean-up, a bound for a
// handler that never ends.
inline constexpr uint64_t kShutdownStepBudget = 5'000'000;

// Lets script objects and function references find their runtime, or learn
// that it is gone (after a reset).
struct RuntimeLink {
    Runtime* runtime = nullptr;
};

enum class GlobalKind : uint8_t { Undeclared, Variable, Constant, Procedure, NamedObject };

struct GlobalEntry {
    Text name;
    GlobalKind kind = GlobalKind::Undeclared;
    Value value;
    Procedure* proc = nullptr;
};

struct NamedObject {
    Text name;
    Value object;
    bool globalMembers = false;
};

// A variable that a Dim in code run by Execute declared in a procedure:
// it belongs to that procedure's call, not to the compiled procedure.
struct ExecutedLocal {
    Text name; // lower case
    Value value;
};

// The state of one For Each loop while it runs.
struct ForEachState {
    Value collection; // the array walked (as it was when the loop began) or the object
    std::unique_ptr<Enumerator> items;
    size_t next = 0; // arrays: the next element

    // Lets go of the collection (the loop ended or was left).
    void end()
    {
        items.reset();
        collection = Value();
    }
};

// The text of `s = s & a & b` while its pieces are evaluated.  Appends
// never nest within one frame (a piece that runs another append calls a
// procedure, with its own frame), so each frame has one, reused.
struct AppendText {
    Text text;
    bool allNull = true; // every piece so far was Null
};

// The capacity an append text keeps for the next append (UTF-16 units):
// a long-running loop should not hold on to a huge piece.
inline constexpr size_t kKeptAppendCapacity = 4096;

// The mode value (see code.h) of a call taking its arguments by reference
// with no host member looked up: script procedures and methods.
inline constexpr int32_t kProcedureMode = -1;

// An array element passed by reference: its array stays alive and cannot
// be resized until the call ends.  `argument` is the stack slot of the
// reference, telling which call it belongs to.
struct LockedElement {
    ArrayRep* rep = nullptr;
    Value* element = nullptr;
    const Value* argument = nullptr;
};

using ExecutedLocals = std::deque<ExecutedLocal, MeteredAllocator<ExecutedLocal>>;

class FrameExtrasPool;

// What only some calls use: the array elements passed by reference to
// calls not yet returned, the text of an append, and the variables Execute
// declared in the call.  A frame takes a block from its runtime's pool the
// first time it needs one (Runtime::extrasOf) and gives it back as it ends,
// so that a call that uses none of them costs nothing for them.
struct FrameExtras {
    AppendText append;
    // Array elements passed by reference to calls not yet returned, the
    // last passed at the back.
    std::vector<LockedElement> locked;
    // Created by the first Execute that declares a variable here; a deque
    // so that by-reference arguments pointing into it stay valid, metered
    // as a loop of such Executes may grow it without end.
    std::unique_ptr<ExecutedLocals> executedLocals;
    FrameExtrasPool* pool = nullptr;
    FrameExtras* nextSpare = nullptr; // in the pool
};

// The blocks of FrameExtras frames gave back, for the next frames to use.
// A few are kept; each is emptied as it comes back (the values Execute
// declared go then, as the call ends).
class FrameExtrasPool {
public:
    FrameExtrasPool() = default;
    FrameExtrasPool(const FrameExtrasPool&) = delete;
    FrameExtrasPool& operator=(const FrameExtrasPool&) = delete;
    ~FrameExtrasPool();

    FrameExtras* take();
    void give(FrameExtras* extras) noexcept;

private:
    static constexpr size_t kMaxSpare = 8;
    FrameExtras* spare_ = nullptr;
    size_t spareCount_ = 0;
};

struct Frame {
    Value* locals = nullptr;
    Value* stack = nullptr; // the code's value stack (Code::maxStack values)
    ForEachState* iterators = nullptr;
    Procedure* proc = nullptr;
    ScriptObject* me = nullptr;
    Frame* outer = nullptr; // the frame that called Eval/Execute
    bool resumeNext = false;
    // Null until the frame first passes an array element by reference,
    // appends or has Execute declare a variable (Runtime::extrasOf).
    FrameExtras* extras = nullptr;

    Frame() = default;
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
    ~Frame()
    {
        if (extras) [[unlikely]]
            extras->pool->give(extras);
    }

    // Whether array elements passed by reference are locked for calls not
    // yet returned.
    bool anyLocked() const { return extras && !extras->locked.empty(); }
    // The variables Execute declared in this call; null when none.
    const ExecutedLocals* executedLocals() const { return extras ? extras->executedLocals.get() : nullptr; }
    // One of them, by its number (it exists: a name resolved to it).
    Value& executedValue(int index) { return (*extras->executedLocals)[static_cast<size_t>(index)].value; }
    int executedLocal(TextView lowerName) const;
};

struct RuntimeLimits {
    int maxCallDepth = 3000;
    size_t stackBytes = size_t(3) << 20; // C++ stack the engine may use
    uint64_t stepBudget = 0;             // 0: unlimited
};

class Runtime : public Context {
public:
    Runtime(const BuiltinRegistry& registry, const std::atomic<bool>* stopFlag, RuntimeLimits limits);
    ~Runtime() override;
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // ---- host operations (throw ScriptError / StopSignal) --------------
    void registerObject(const Text& name, Value object, bool globalMembers);
    // Compiles `source` and runs its top-level code.
    void addCode(Text source);
    Value runProcedure(TextView name, std::span<Value> args);
    bool hasProcedure(TextView name) const;
    // Marks the C++ stack position the budget is measured from.
    void enter();
    // At the end of a host call that succeeded: a stop that ended a
    // Class_Terminate (which cannot pass it on) ends the run now.
    void finishHostCall();

    // ---- for builtins needing the compiler (Eval, Execute, ...) ----------
    Value evalText(const Text& text);
    void executeText(const Text& text, bool global);
    Value procedureReference(const Text& name);
    Value createObject(const Text& progId);
    ErrObject& err() { return *err_; }
    Value call(const Value& callee, std::span<Value> args) override;

    // ---- used by script objects -----------------------------------------
    Value invokeScriptMember(ScriptObject& object, int member, Access access, std::span<Value> args);
    Value callProcedure(Procedure& proc, ScriptObject* me, std::span<Value> args);
    void runTerminate(ScriptObject& object) noexcept;
    const std::shared_ptr<RuntimeLink>& link() const { return link_; }
    size_t liveObjects() const { return objects_.size(); }

private:
    // ---- execution ---------------------------------------------------------
    // vm.cpp: runs compiled code in `f` (locals and stack set up by the
    // caller).  An Eval expression leaves its value at the bottom of the
    // frame's stack, for the caller to take.
    void execute(Frame& f, const Code& code)
    {
        if (code.iterators > 0) [[unlikely]]
            executeWithIterators(f, code);
        else
            run(f, code);
    }
    // execute() with the frame's For Each iterators made for the code.
    void executeWithIterators(Frame& f, const Code& code);
    void run(Frame& f, const Code& code);
    bool startFor(Frame& f, const Code& code, Instr in, Value* operands);
    Value* storeNestedAt(Frame& f, const Code& code, Instr in, Value* sp);
    // Runs `proc` in a frame over `locals` (its arguments in place): the
    // value it returns.
    Value runFrame(Procedure& proc, ScriptObject* me, Value* locals)
    {
        Frame f;
        f.locals = locals;
        f.stack = locals + proc.localCount;
        f.proc = &proc;
        f.me = me;
        execute(f, *proc.code);
        if (proc.resultSlot >= 0)
            return std::move(locals[proc.resultSlot].deref());
        return Value();
    }
    // The extras of `f`, taken from the pool the first time.
    FrameExtras& extrasOf(Frame& f)
    {
        if (!f.extras) [[unlikely]]
            f.extras = extrasPool_.take();
        return *f.extras;
    }
    // The slots a call of `proc` takes: its locals, then its value stack.
    static size_t frameSize(const Procedure& proc) { return proc.frameSlots; }
    // A call counted in the depth until it ends (enterCall() counted it).
    struct CallDepth {
        int& room;
        ~CallDepth() { ++room; }
    };
    void releaseHoldings(Frame& f, const Code& code, const StatementEntry& at, size_t count) noexcept;
    void binaryOperand(Frame& f, const Code& code, Op op, uint8_t flags, OperandKind kind, int32_t index, Value& left);
    // The flat index in `rep` of the element the `count` subscript loads
    // from `subscripts` on name (ElementRead, ElementWrite) when each reads
    // a plain variable holding a whole number in range; -1 otherwise.
    ptrdiff_t subscriptsInPlace(Frame& f, const Code& code, const Instr* subscripts, size_t count, const ArrayRep& rep);
    // subscriptsInPlace() for the element access `in` (its subscript loads
    // at `subscripts`), or the same in one step when fuseElementAccess
    // marked it kOneSubscript.
    ptrdiff_t elementOffset(Frame& f, const Code& code, const Instr& in, const Instr* subscripts, const ArrayRep& rep);
    // The element of `array` elementOffset() gives when it is an array and
    // the subscripts are found in place; null otherwise.
    const Value* elementInPlace(Frame& f, const Code& code, const Instr& in, const Instr* subscripts,
                                const Value& array);
    // plainVariable() for names[index], whose place the compiler marked in
    // the instruction's `flags` (PlaceFlags).
    Value* placedVariable(const Code& code, int32_t index, Frame& f, uint8_t flags);
    // The element an ElementRead or CalleeElementRead `in` (or one of their
    // Jump forms), its subscript loads at `subscripts`, reads when it reads
    // it in place; null otherwise.  `globalArray`: an ElementRead form,
    // whose array is a Global name.
    const Value* elementReadInPlace(Frame& f, const Code& code, const Instr& in, const Instr* subscripts,
                                    bool globalArray);
    // ElementReadJump / CalleeElementReadJump: takes the jump after the
    // read (ip moved on) when the element is read in place and is a
    // Boolean, Empty or a whole number; false (nothing done) otherwise.
    bool elementJump(Frame& f, const Code& code, const Instr& in, const Instr*& ip, const Instr* instrs,
                     bool globalArray);
    // The element ElementWrite `write` (its subscript loads following at
    // `subscripts`) writes in place, as StoreIndexed would; null when it
    // goes the general way.
    Value* writableElement(Frame& f, const Code& code, const Instr& write, const Instr* subscripts);
    // The operator superinstructions (superinstructions.h): the value a
    // LocalBinary / GlobalBinary operand reads when it is a constant or a
    // variable read without side effects; null otherwise.
    const Value* fusedLeft(Frame& f, const Code& code, const Instr& in);
    const Value* fusedRight(Frame& f, const Code& code, int32_t packed);
    // `left op right` of that instruction into `result` when both are
    // numbers read in place and the operator is an inline case
    // (applyInline); false otherwise.
    bool fusedBinary(Frame& f, const Code& code, const Instr& in, InlineNumber& result);
    // LocalBinaryStore / GlobalBinaryStore: `in` computed by fusedBinary
    // into the variable `store` writes, when it is a local or a global
    // variable; false (nothing done) otherwise.
    bool binaryStore(Frame& f, const Code& code, const Instr& in, const Instr& store);
    // The variable a StoreLocal or StoreGlobal `store` writes, when it is a
    // local or a declared global; null otherwise (the store's own way).
    Value* storedVariable(Frame& f, const Code& code, const Instr& store);
    // DirectCall: the `count` arguments its loads push, made at `args`
    // (Empty slots) as their records (`plan`) say when each is a constant,
    // a plain variable or a number fusedBinary computes; false (nothing
    // left behind) when one is not.
    bool directArguments(Frame& f, const Code& code, const DirectArg* plan, const Instr* loads, size_t count,
                         Value* args);
    // The same for the ArgLocal / ArgName loads of a call ElementRead
    // found: references to the variables; false when one is no local or
    // declared global.
    bool variableArguments(Frame& f, const Code& code, const Instr* loads, size_t count, Value* args);
    // directCall() once the arguments are made in `locals`, the slots it
    // took for the call: runs it and gives them back.
    void runDirect(Procedure& proc, Value* locals, Value* result);
    // DirectCall (or an ElementRead of a procedure) of `proc`, its loads
    // at `loads` (after the instruction, loads[-1]): the arguments made
    // right in the slots of the call, which then runs; a function's value
    // made at `result` (Empty) through its variable, which refers there.
    // False, with nothing done, when an argument is not of those or the
    // count is not the procedure's: the general path then makes the call
    // (and raises its errors).
    bool directCall(Frame& f, const Code& code, Procedure& proc, const Instr* loads, Value* result);
    // A DirectCall of a function whose body is one expression
    // (expression_body.h): its value made at `result` (Empty) from the
    // arguments, when they are numbers and the expression works out as
    // applyInline does, as running the body would make it, the call
    // counted as a step as any call is.  False, with nothing done,
    // otherwise: the call then runs as any other.
    bool expressionCall(Frame& f, const Code& code, const Procedure& proc, const Instr* loads, Value* result);
    bool expressionCallOfVariables(Frame& f, const Code& code, const Procedure& proc, const Instr* loads,
                                   Value* result);
    bool expressionCallFits(const Procedure& proc, size_t count) const;
    bool expressionValue(const Procedure& proc, ExpressionRegisters& registers, Value* result);
    void raiseFrom(ScriptError& e, int line, int column, Frame& f);
    // Only inside a catch handler: the error being handled, raised at
    // `line`/`column` (recorded under On Error Resume Next, thrown on
    // otherwise); stop signals and unknown exceptions go on up.  True
    // for a script error, false for running out of memory.
    bool trapError(int line, int column, Frame& f);

    // loops.cpp
    bool forStart(Frame& f, const Code& code, const ForLoopInfo& loop, Value from, Value to, Value step);
    bool forNext(Frame& f, const Code& code, const ForLoopInfo& loop);
    bool forEachStart(Frame& f, const Code& code, const ForEachInfo& loop, Value collection);
    bool forEachNext(Frame& f, const Code& code, const ForEachInfo& loop, bool countStep);

    // vm_calls.cpp: the call instructions; each takes its operands from
    // the stack below `sp` and returns the new top.
    // `emptyParens`: written `x()` (CallFlags).
    Value indexed(Value& callee, std::span<Value> args, bool emptyParens = false);
    Value* index(Frame& f, uint16_t argc, Value* sp, bool emptyParens = false);
    Value* globalPrep(const NameRef& n, bool hasArgs, Value* sp);
    Value* globalCall(Frame& f, const NameRef& n, uint16_t argc, Value* sp, bool emptyParens = false);
    Value* memberPrep(const MemberSite& m, Value* sp);
    Value* memberCall(Frame& f, const MemberSite& m, uint16_t argc, bool onMe, Value* sp);
    // Checks the argument count; Eval and Execute see `f` as their caller.
    Value invokeBuiltin(const BuiltinEntry& entry, Frame& f, std::span<Value> args);
    Value* callMethod(Frame& f, const NameRef& n, uint16_t argc, Value* sp);
    Value* hostPrep(const NameRef& n, Value* sp);
    Value* hostCall(Frame& f, const NameRef& n, uint16_t argc, Value* sp);
    // Whether the call an argument `x(i)` is passed to takes references.
    static bool takesReferences(const Frame& f, const ArgSite& site)
    {
        return site.modeAt < 0 || (f.stack[site.modeAt].rawLong() & 1);
    }
    // [callee][mode?][subscripts] from `callee` up: a Ref to the element of
    // `array`, its array locked until the call it goes to ends.
    Value* elementRef(Frame& f, Value& array, Value* callee, uint16_t argc, Value* sp);
    // Ends a call whose arguments start at `args`: unlocks the arrays of
    // elements passed by reference (an element of a String array gets
    // back to text) and drops everything from `callee` up.
    Value* endCall(Frame& f, Value* callee, Value* args, Value* sp, Value result);
    void unlockArguments(Frame& f, const Value* from, bool strict);

    // vm_assign.cpp, declarations.cpp: assignments and declarations.
    Value* storeMember(const MemberSite& m, uint16_t argc, uint8_t flags, Value* sp);
    Value* indexedPrep(Frame& f, const NameRef& n, Value* sp);
    Value* storeIndexed(Frame& f, const NameRef& n, uint16_t argc, bool isSet, Value* sp);
    Value* storeNested(Frame& f, const NameRef& base, const NestedSite& site, uint16_t argc, bool isSet, Value* sp);
    Value* storeDefault(uint16_t argc, bool isSet, Value* sp);
    // AppendStart: the frame's append text (made the first time), empty.
    void startAppend(Frame& f);
    void appendStore(Frame& f, const NameRef& n);
    void dimArray(Frame& f, const NameRef& n, std::span<Value> bounds);
    void reDim(Frame& f, const NameRef& n, std::span<Value> bounds, bool preserve);
    void erase(Frame& f, const NameRef& n);

    // names.cpp, calls.cpp: reaching names, elements and members.
    Value evalName(const NameRef& n, Frame& f);
    // `Me` outside a class: the host's object whose members are global
    // names (the first registered), else Nothing.
    Value globalMe() const;
    Value evalNew(const Text& className);
    Value invokeOn(const Value& object, const MemberSite& m, Access access, std::span<Value> args, bool internal);
    Value applyArgs(Value target, std::span<Value> args);
    // applyArgs() with copies of the arguments (a script member's own
    // arguments arrive as references).
    Value applyArgValues(Value target, std::span<Value> args);
    Value* variablePtr(const NameRef& n, Frame& f);
    // The named object whose member `n` (a HostMember) is; error 91 when
    // the host has since replaced it with Nothing.
    const Value& hostOf(const NameRef& n) const;
    // The entry of `n`, a Global name of code that runs: bound when its
    // code was made (bindGlobals).
    GlobalEntry& globalEntry(const NameRef& n) { return *n.global; }
    const GlobalEntry& globalEntry(const NameRef& n) const { return *n.global; }
    // Points the Global names of freshly compiled code at their entries.
    void bindGlobals(Code& code);
    // The two common cases of variablePtr(), a local or a declared global,
    // which cannot fail; null for anything else.
    Value* plainVariable(const NameRef& n, Frame& f)
    {
        if (n.kind == NameKind::Local)
            return &f.locals[n.slot].deref();
        if (n.kind == NameKind::Global)
            return declaredVariable(globalEntry(n));
        return nullptr;
    }
    // variablePtr() with the two common cases first, for the machine's loop.
    Value* variableSlot(const NameRef& n, Frame& f)
    {
        if (Value* v = plainVariable(n, f))
            return v;
        return variablePtr(n, f);
    }
    // The value of `n`, a Global, when it is a variable (or one assigned
    // without a declaration) that reading cannot call; null otherwise.
    const Value* globalVariable(const NameRef& n) const { return globalVariable(globalEntry(n)); }
    const Value* globalVariable(const GlobalEntry& g) const
    {
        if (g.kind == GlobalKind::Variable || (g.kind == GlobalKind::Undeclared && !optionExplicit_))
            return &g.value;
        return nullptr;
    }
    // The entry of names[index], a Global name of `code`, through the
    // code's table of them (bindGlobals).
    static GlobalEntry& globalAt(const Code& code, int32_t index)
    {
        return *code.globals[static_cast<size_t>(index)];
    }
    // The value of a global that is a declared variable; null otherwise.
    static Value* declaredVariable(GlobalEntry& g)
    {
        return g.kind == GlobalKind::Variable ? &g.value : nullptr;
    }
    void assignName(const NameRef& n, Frame& f, Value value, bool isSet);
    Value* elementPtr(Value& arrayValue, std::span<Value> subscripts);
    // Writes one element, converting to text for a String array.
    void storeElement(Value& arrayValue, std::span<Value> subscripts, Value value);
    // At every loop turn and call: ends the run on a stop request or when
    // the step budget is spent.
    void checkStep()
    {
        if (attention_->load(std::memory_order_relaxed)) [[unlikely]]
            countStep();
    }
    // checkStep() when there is a request or a budget counts.
    void countStep()
    {
        if (stopFlag_->load(std::memory_order_relaxed) ||
            (limits_.stepBudget && ++steps_ > limits_.stepBudget))
            stopRun();
    }
    [[noreturn]] void stopRun() const;
    // The checks every call makes before it runs.  The depth is counted
    // only once they have all passed, so a call that fails here leaves it
    // as it was.
    void enterCall()
    {
        if (callRoom_ <= 0)
            throw VbError(vberr::OutOfStack);
        char probe;
        if (reinterpret_cast<uintptr_t>(&probe) < stackLimit_)
            throw VbError(vberr::OutOfStack);
        checkStep();
        --callRoom_;
    }
    // No call in progress.
    bool outsideCalls() const { return callRoom_ == limits_.maxCallDepth; }

    std::shared_ptr<CodeUnit> compile(Text source, ParseMode mode, Procedure* outer, bool asRuntimeError);
    void install(const std::shared_ptr<CodeUnit>& unit);
    // Resolves the names of an installed unit and compiles its code.
    void compileInstalled(CodeUnit& unit);
    // After compileInstalled failed with error `number`: keeps a unit whose
    // procedures or classes are installed, each procedure left without
    // code raising that error when called.
    void keepUncompiled(const std::shared_ptr<CodeUnit>& unit, int number);
    std::shared_ptr<const CodeUnit> unitOf(const CodeUnit* unit) const;
    void buildClass(ClassDef& cls);
    void resolve(Procedure& proc, bool explicitNames);
    void resolveName(NameExpr& name, Procedure& proc, bool explicitNames, const std::unordered_set<Text>& assigned);
    int globalSlot(const Text& name, bool create);
    Value runTopLevel(CodeUnit& unit, Frame* outer, bool evalExpression);
    // Eval code cached by the procedure it was compiled in and its text,
    // the most recently used first in evalUse_ (only so many are kept).
    using EvalKey = std::pair<Procedure*, Text>;
    struct EvalEntry {
        std::shared_ptr<CodeUnit> unit;
        size_t bytes = 0; // charged for the code and the entry
        std::list<const EvalKey*>::iterator lastUse;
    };
    using EvalCache = std::map<EvalKey, EvalEntry>;
    // Drops the Eval code cached for the top level of `unit`, and the Eval
    // code cached inside that code, and so on: their keys name procedures
    // about to go, which a procedure made later at the same address would
    // find.
    void forgetEvalUnder(const CodeUnit& unit) noexcept;
    void forgetEval(EvalCache::iterator entry) noexcept;
    // Drops the least recently used entries beyond the cache's bounds.
    void trimEvalCache() noexcept;

    const BuiltinRegistry& registry_;
    // The host's stop request; a flag never set when it gave none, so
    // that the check every step makes is one load.
    static constexpr std::atomic<bool> kNeverStopped{false};
    const std::atomic<bool>* stopFlag_;
    RuntimeLimits limits_;
    // What checkStep() reads: the stop request, or while a budget counts a
    // flag always set (countStep() then tests both), so that each step's
    // check is one flag.
    static constexpr std::atomic<bool> kAlwaysSet{true};
    const std::atomic<bool>* attention_ = limits_.stepBudget != 0 ? &kAlwaysSet : stopFlag_;
    // The slots of the calls in progress; declared early, so that it
    // outlasts every member whose going may still run script code.
    SlotStack slots_;
    // The frames' extras (FrameExtras), early for the same reason.
    FrameExtrasPool extrasPool_;
    // The session's objects that hold values (Context::objects points here).
    ObjectRegistry objects_;

    // The global table's entries and index, counted as names are added.
    MemoryCharge globalsCharge_{0};
    std::deque<GlobalEntry> globals_; // stable addresses: by-reference args point into it
    std::unordered_map<Text, int> globalIndex_;
    std::vector<NamedObject> namedObjects_;
    struct ClassEntry {
        ClassDef* cls = nullptr;
        std::shared_ptr<const CodeUnit> unit;
    };
    std::unordered_map<Text, ClassEntry> classes_;
    std::vector<std::shared_ptr<CodeUnit>> units_;
    EvalCache evalCache_;
    std::list<const EvalKey*> evalUse_;
    size_t evalCacheBytes_ = 0;
    bool optionExplicit_ = false;

    ErrObject* err_ = nullptr;
    Value errValue_;
    std::shared_ptr<RuntimeLink> link_;

    // Execution state.
    // The calls that may still begin before the depth limit (maxCallDepth
    // less the calls in progress).
    int callRoom_ = limits_.maxCallDepth;
    uint64_t steps_ = 0;
    // A stop that ended a Class_Terminate since the host call began.
    std::optional<StopSignal> terminatorStop_;
    // The lowest C++ stack address calls may reach: stackBytes below where
    // the host call began (0 until one has).
    uintptr_t stackLimit_ = 0;
    Frame* currentFrame_ = nullptr; // the frame calling a builtin
    // The procedure frame whose Execute is being compiled: its Dim
    // statements declare variables of that frame, not globals.
    Frame* executeFrame_ = nullptr;
};

} // namespace quillet::script

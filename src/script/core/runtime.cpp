#include "script/core/runtime.h"

#include "script/core/code_size.h"
#include "script/core/compiler.h"
#include "script/core/err_object.h"
#include "script/core/expression_body.h"
#include "script/core/script_object.h"
#include "script/core/superinstructions.h"
#include "script/stop_poll.h"

#include <algorithm>
#include <new>
#include <typeinfo>
#include <unordered_set>

namespace quillet::script {
namespace {

// Bounds of the Eval cache: plenty for the expressions a script evaluates
// again and again, while one that evaluates ever new texts holds only the
// recent ones, and never much of the memory the script may use.
constexpr size_t kEvalCacheEntries = 1024;
constexpr size_t kEvalCacheBytes = size_t(16) << 20;

size_t evalCacheBytesAllowed()
{
    const MemoryMeter* meter = MemoryMeter::current();
    return meter ? std::min(kEvalCacheBytes, meter->limit() / 16) : kEvalCacheBytes;
}

std::vector<Text> splitLines(const Text& source)
{
    std::vector<Text> lines;
    Text line;
    for (size_t i = 0; i < source.size(); ++i) {
        const char16_t c = source[i];
        if (c == u'\r' || c == u'\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == u'\r' && i + 1 < source.size() && source[i + 1] == u'\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

} // namespace

Runtime::Runtime(const BuiltinRegistry& registry, const std::atomic<bool>* stopFlag, RuntimeLimits limits)
    : registry_(registry), stopFlag_(stopFlag ? stopFlag : &kNeverStopped), limits_(limits),
      link_(std::make_shared<RuntimeLink>())
{
    link_->runtime = this;
    objects = &objects_;
    err_ = new ErrObject;
    errValue_ = Value::object(err_);
    const int slot = globalSlot(u"Err", true);
    globals_[static_cast<size_t>(slot)].kind = GlobalKind::NamedObject;
    globals_[static_cast<size_t>(slot)].value = errValue_;
}

Runtime::~Runtime()
{
    // Release the script's values while the runtime still works, so that
    // Class_Terminate of objects alive at the end runs as in VBScript.
    enter();
    // Nobody is left to stop a terminator that never ends (the program may
    // be closing): the ones still to run share a bounded number of steps.
    if (limits_.stepBudget == 0 || limits_.stepBudget > kShutdownStepBudget)
        limits_.stepBudget = kShutdownStepBudget;
    attention_ = &kAlwaysSet;
    // Script variables first: a Class_Terminate may still use the named
    // objects (WScript.Echo in a terminate handler, for instance).
    for (bool named : {false, true}) {
        if (named) {
            // The objects still alive are held in cycles, or by the host:
            // their Class_Terminate runs too, within the same steps.
            objects_.forEach([](HostObject& object) {
                if (typeid(object) == typeid(ScriptObject))
                    static_cast<ScriptObject&>(object).terminate();
            });
        }
        for (GlobalEntry& g : globals_) {
            if ((g.kind == GlobalKind::NamedObject) != named)
                continue;
            Value old = std::move(g.value);
            g.value = Value();
            old = Value();
        }
    }
    link_->runtime = nullptr;
    // Then every one of them lets go of what it holds, which frees those
    // only the session held: cycles do not outlive the session.
    objects_.dropAll();
    globals_.clear();
    namedObjects_.clear();
}

void Runtime::enter()
{
    if (outsideCalls()) {
        char probe;
        const auto base = reinterpret_cast<uintptr_t>(&probe);
        stackLimit_ = base > limits_.stackBytes ? base - limits_.stackBytes : 0;
        steps_ = 0;
        terminatorStop_.reset();
    }
}

void Runtime::finishHostCall()
{
    // Until the host call returns, the stop request (or the spent budget)
    // is still there for the next loop turn or call to find.
    if (outsideCalls() && terminatorStop_) {
        StopSignal stop = std::move(*terminatorStop_);
        terminatorStop_.reset();
        throw stop;
    }
}

int Runtime::globalSlot(const Text& name, bool create)
{
    const Text lower = lowerCase(name);
    auto it = globalIndex_.find(lower);
    if (it != globalIndex_.end())
        return it->second;
    if (!create)
        return -1;
    const int slot = static_cast<int>(globals_.size());
    globals_.push_back(GlobalEntry{name, GlobalKind::Undeclared, Value(), nullptr});
    globalIndex_.emplace(lower, slot);
    // Counted without a limit check: new names come from code whose charge
    // was checked, and an error here would leave a compile half-installed.
    const size_t entryBytes = sizeof(GlobalEntry) + textHeapBytes(name.capacity()) +
                              sizeof(std::pair<const Text, int>) + 2 * sizeof(void*) + textHeapBytes(lower.capacity());
    globalsCharge_.settle(globalsCharge_.bytes() + entryBytes);
    return slot;
}

void Runtime::registerObject(const Text& name, Value object, bool globalMembers)
{
    const int slot = globalSlot(name, true);
    GlobalEntry& g = globals_[static_cast<size_t>(slot)];
    g.kind = GlobalKind::NamedObject;
    g.value = object;
    for (NamedObject& named : namedObjects_) {
        if (equalsIgnoreCase(named.name, name)) {
            // Registering a name again replaces the object (code compiled
            // before keeps the members it found).
            named.object = std::move(object);
            named.globalMembers = globalMembers;
            return;
        }
    }
    namedObjects_.push_back(NamedObject{name, std::move(object), globalMembers});
}

namespace {

// Calls `fn` on each procedure of `unit` but its top level: its own, then
// those of its classes.
template <typename F>
void forEachProcedure(CodeUnit& unit, F&& fn)
{
    for (auto& proc : unit.procedures)
        fn(*proc);
    for (auto& cls : unit.classes) {
        for (auto& proc : cls->procedures)
            fn(*proc);
    }
}

} // namespace

std::shared_ptr<CodeUnit> Runtime::compile(Text source, ParseMode mode, Procedure* outer, bool asRuntimeError)
{
    auto unit = std::make_shared<CodeUnit>();
    unit->executed = asRuntimeError && mode == ParseMode::Program;
    // Error 7 here, before parsing, when the tree would pass the limit;
    // corrected to what the code keeps once it is compiled.
    unit->charge = MemoryCharge(compilingBytes(source.size()));
    unit->source = std::move(source);
    try {
        try {
            parseUnit(*unit, mode);
        } catch (const StopRequested&) {
            throw; // a stop met while reading a huge text stays a stop
        } catch (const VbError& v) {
            // A value error while folding a constant: still a compile error.
            throw CompileError{v, 0, 0};
        }
    } catch (const CompileError& ce) {
        ScriptError e;
        e.number = ce.error.number();
        e.description = ce.error.description();
        e.source = kCompileErrorSource;
        e.compile = true;
        if (!asRuntimeError) {
            e.line = ce.line;
            e.column = ce.column;
            e.located = true;
            unit->lines = splitLines(unit->source);
            e.lineText = unit->lineText(ce.line);
        } else if (unit->executed) {
            // Reported at the Execute statement, with its line in the text.
            e.executedLine = ce.line;
        }
        throw e;
    }
    unit->lines = splitLines(unit->source);
    unit->topLevel->outer = outer;
    install(unit);
    // Installed procedures and classes are reachable by name from here on:
    // should their code fail to compile (a limit of the code's form, or a
    // stop request), the unit stays and calling them raises that error.
    try {
        compileInstalled(*unit);
    } catch (const VbError& v) {
        keepUncompiled(unit, v.number());
        throw;
    } catch (const std::bad_alloc&) {
        keepUncompiled(unit, vberr::OutOfMemory);
        throw;
    }
    unit->charge.settle(compiledUnitBytes(*unit));
    return unit;
}

void Runtime::bindGlobals(Code& code)
{
    code.globals.assign(code.names.size(), nullptr);
    for (size_t i = 0; i < code.names.size(); ++i) {
        NameRef& n = code.names[i];
        if (n.kind == NameKind::Global)
            code.globals[i] = n.global = &globals_[static_cast<size_t>(n.slot)];
    }
}

namespace {

// A jump to a Return returns there and then: one instruction less on the
// way out of an If or a loop at the end of a body.  A Return cannot fail,
// so the statement the jump belongs to does not matter.
void returnWhereJumpsToReturn(Code& code)
{
    for (Instr& in : code.instrs) {
        if (in.op != OpCode::Jump || in.a < 0 || static_cast<size_t>(in.a) >= code.instrs.size())
            continue;
        const Instr& target = code.instrs[static_cast<size_t>(in.a)];
        if (target.op == OpCode::Return)
            in = target;
    }
}

} // namespace

void Runtime::compileInstalled(CodeUnit& unit)
{
    const bool explicitNames = unit.optionExplicit || optionExplicit_;
    // Variables the top level assigns without declaring them are globals
    // that procedures see; everything else a procedure assigns without a
    // declaration is local to it.  So: note those first, then resolve the
    // procedures, then the top level.
    if (!explicitNames) {
        for (NameExpr* n : unit.topLevel->names) {
            if (n->assigned)
                globalSlot(n->name, true);
        }
    }
    forEachProcedure(unit, [&](Procedure& proc) { resolve(proc, explicitNames); });
    resolve(*unit.topLevel, explicitNames);
    // Once compiled, the code holds everything it needs from the tree.
    auto compileProcedure = [this](Procedure& proc) {
        proc.code = compileBody(proc);
        proc.expression = expressionBody(proc);
        bindGlobals(*proc.code);
        fuseElementAccess(*proc.code);
        fuseOperators(*proc.code);
        returnWhereJumpsToReturn(*proc.code);
        proc.settleFrame();
        proc.body.clear();
        proc.names = {};
    };
    forEachProcedure(unit, compileProcedure);
    if (unit.evalExpression) {
        unit.evalCode = compileExpression(*unit.topLevel, *unit.evalExpression);
        bindGlobals(*unit.evalCode);
        unit.evalExpression.reset();
        unit.topLevel->names = {};
    } else {
        compileProcedure(*unit.topLevel);
    }
}

void Runtime::keepUncompiled(const std::shared_ptr<CodeUnit>& unit, int number)
{
    if (unit->procedures.empty() && unit->classes.empty())
        return;
    auto failing = [number](Procedure& proc) {
        if (proc.code)
            return;
        auto code = std::make_unique<Code>();
        code->instrs.push_back(Instr{OpCode::Fail, 0, 0, number});
        code->instrs.push_back(Instr{OpCode::Return, 0, 0, 0});
        code->statements.push_back(StatementEntry{0, proc.line, 1, 1, 1, 0, 0, 0});
        proc.code = std::move(code);
        proc.settleFrame();
        proc.body.clear();
        proc.names = {};
    };
    forEachProcedure(*unit, failing);
    units_.push_back(unit);
}

int Frame::executedLocal(TextView lowerName) const
{
    const ExecutedLocals* declared = executedLocals();
    if (!declared)
        return -1;
    for (size_t i = 0; i < declared->size(); ++i) {
        if ((*declared)[i].name == lowerName)
            return static_cast<int>(i);
    }
    return -1;
}

FrameExtrasPool::~FrameExtrasPool()
{
    while (FrameExtras* e = spare_) {
        spare_ = e->nextSpare;
        delete e;
    }
}

FrameExtras* FrameExtrasPool::take()
{
    if (FrameExtras* e = spare_) {
        spare_ = e->nextSpare;
        --spareCount_;
        e->nextSpare = nullptr;
        return e;
    }
    auto* e = new FrameExtras;
    e->pool = this;
    return e;
}

void FrameExtrasPool::give(FrameExtras* extras) noexcept
{
    // The call's Execute variables go as it ends; a Class_Terminate they
    // run may take blocks of its own meanwhile.
    extras->executedLocals.reset();
    extras->locked.clear(); // empty: each call unlocks what it was passed
    if (spareCount_ >= kMaxSpare) {
        delete extras;
        return;
    }
    if (extras->append.text.capacity() > kKeptAppendCapacity)
        Text().swap(extras->append.text);
    extras->nextSpare = spare_;
    spare_ = extras;
    ++spareCount_;
}

void Runtime::install(const std::shared_ptr<CodeUnit>& unitPtr)
{
    CodeUnit& unit = *unitPtr;
    if (unit.optionExplicit)
        optionExplicit_ = true;
    for (const auto& decl : unit.globals) {
        if (executeFrame_ && !decl.isConstant) {
            // Execute in a procedure: the variable is the procedure's.
            Frame& frame = *executeFrame_;
            const Text lower = lowerCase(decl.name);
            if (frame.proc->locals.count(lower) || frame.executedLocal(lower) >= 0)
                continue;
            FrameExtras& extras = extrasOf(frame);
            if (!extras.executedLocals)
                extras.executedLocals = std::make_unique<ExecutedLocals>();
            extras.executedLocals->push_back(ExecutedLocal{lower, Value()});
            continue;
        }
        GlobalEntry& g = globals_[static_cast<size_t>(globalSlot(decl.name, true))];
        if (decl.isConstant) {
            g.kind = GlobalKind::Constant;
            g.value = decl.constant;
        } else if (g.kind == GlobalKind::Undeclared || g.kind == GlobalKind::Procedure) {
            g.kind = GlobalKind::Variable;
        }
    }
    for (auto& proc : unit.procedures) {
        GlobalEntry& g = globals_[static_cast<size_t>(globalSlot(proc->name, true))];
        g.kind = GlobalKind::Procedure;
        g.proc = proc.get();
        g.value = Value();
    }
    for (auto& cls : unit.classes) {
        buildClass(*cls);
        // A script may define a class named like a built-in one (RegExp),
        // but New still makes the built-in object.
        if (!registry_.classFactory(cls->name))
            classes_[lowerCase(cls->name)] = ClassEntry{cls.get(), unitPtr};
    }
}

void Runtime::buildClass(ClassDef& cls)
{
    cls.members.clear();
    cls.members.emplace_back();
    auto memberFor = [&](const Text& name, bool isPublic) -> ClassMember& {
        const Text lower = lowerCase(name);
        auto it = cls.memberIndex.find(lower);
        if (it != cls.memberIndex.end())
            return cls.members[static_cast<size_t>(it->second)];
        cls.memberIndex.emplace(lower, static_cast<int>(cls.members.size()));
        ClassMember m;
        m.name = name;
        m.isPublic = isPublic;
        cls.members.push_back(std::move(m));
        return cls.members.back();
    };
    for (size_t i = 0; i < cls.fields.size(); ++i)
        memberFor(cls.fields[i].name, cls.fields[i].isPublic).field = static_cast<int>(i);
    int defaultIndex = -1;
    for (auto& proc : cls.procedures) {
        const Text lower = lowerCase(proc->name);
        if (lower == u"class_initialize")
            cls.initialize = proc.get();
        else if (lower == u"class_terminate")
            cls.terminate = proc.get();
        ClassMember& m = memberFor(proc->name, proc->isPublic);
        switch (proc->kind) {
        case ProcKind::PropertyGet: m.get = proc.get(); break;
        case ProcKind::PropertyLet: m.let = proc.get(); break;
        case ProcKind::PropertySet: m.set = proc.get(); break;
        default: m.method = proc.get(); break;
        }
        if (proc->isPublic)
            m.isPublic = true;
        if (proc->isDefault)
            defaultIndex = cls.memberIndex[lower];
    }
    if (defaultIndex > 0) {
        cls.members[0] = cls.members[static_cast<size_t>(defaultIndex)];
        cls.hasDefault = true;
    }
}

void Runtime::resolve(Procedure& proc, bool explicitNames)
{
    std::unordered_set<Text> assigned;
    for (NameExpr* name : proc.names) {
        if (name->assigned)
            assigned.insert(lowerCase(name->name));
    }
    // ReDim targets first: a variable a ReDim declares is the one every
    // use of the name means, wherever it stands.
    StopPoll poll;
    for (NameExpr* name : proc.names) {
        poll.tick();
        if (name->declares)
            resolveName(*name, proc, explicitNames, assigned);
    }
    for (NameExpr* name : proc.names) {
        poll.tick();
        if (!name->declares)
            resolveName(*name, proc, explicitNames, assigned);
    }
}

void Runtime::resolveName(NameExpr& n, Procedure& p, bool explicitNames, const std::unordered_set<Text>& assigned)
{
    const Text lower = lowerCase(n.name);
    // Locals (and the function's own name, unless called with arguments:
    // that is recursion).
    auto local = p.locals.find(lower);
    if (local != p.locals.end() && !(local->second.slot == p.resultSlot && p.resultSlot >= 0 && n.usedAsCallee)) {
        if (local->second.isConstant) {
            n.resolved = NameKind::Constant;
            n.constant = local->second.constant;
        } else {
            n.resolved = NameKind::Local;
            n.slot = local->second.slot;
        }
        return;
    }
    if (p.outer) {
        auto outerLocal = p.outer->locals.find(lower);
        if (outerLocal != p.outer->locals.end()) {
            if (outerLocal->second.isConstant) {
                n.resolved = NameKind::Constant;
                n.constant = outerLocal->second.constant;
            } else {
                n.resolved = NameKind::OuterLocal;
                n.slot = outerLocal->second.slot;
            }
            return;
        }
        if (executeFrame_ && executeFrame_->proc == p.outer) {
            const int executed = executeFrame_->executedLocal(lower);
            if (executed >= 0) {
                n.resolved = NameKind::OuterExecuted;
                n.slot = executed;
                return;
            }
        }
    }
    ClassDef* cls = p.owner ? p.owner : (p.outer ? p.outer->owner : nullptr);
    if (cls) {
        auto it = cls->memberIndex.find(lower);
        if (it != cls->memberIndex.end()) {
            const ClassMember& m = cls->members[static_cast<size_t>(it->second)];
            if (m.field >= 0) {
                n.resolved = NameKind::Field;
                n.slot = m.field;
            } else {
                n.resolved = NameKind::ClassMember;
                n.slot = it->second;
            }
            return;
        }
    }
    auto global = globalIndex_.find(lower);
    if (global != globalIndex_.end() && globals_[static_cast<size_t>(global->second)].kind != GlobalKind::Undeclared) {
        n.resolved = NameKind::Global;
        n.slot = global->second;
        return;
    }
    if (const Value* constant = registry_.constant(lower)) {
        n.resolved = NameKind::Constant;
        n.constant = *constant;
        return;
    }
    if (const BuiltinEntry* builtin = registry_.function(lower)) {
        n.resolved = NameKind::Builtin;
        n.builtin = builtin;
        return;
    }
    for (size_t i = 0; i < namedObjects_.size(); ++i) {
        const NamedObject& named = namedObjects_[i];
        if (!named.globalMembers || !named.object.isObject() || !named.object.rawObject())
            continue;
        const int member = named.object.rawObject()->findMember(n.name);
        if (member != kNoMember) {
            n.resolved = NameKind::HostMember;
            n.slot = static_cast<int>(i);
            n.member = member;
            return;
        }
    }
    const bool isProcedure = p.kind != ProcKind::TopLevel;
    // An undeclared variable inside a procedure is local to it; one a
    // ReDim declares is, even under Option Explicit (where a global never
    // declared is no variable).
    const bool undeclaredLocal = !explicitNames && global == globalIndex_.end() && assigned.count(lower);
    const bool declaredLocal = n.declares && (explicitNames || global == globalIndex_.end());
    if (isProcedure && (undeclaredLocal || declaredLocal)) {
        n.resolved = NameKind::Local;
        n.slot = p.addLocal(lower);
        return;
    }
    n.resolved = NameKind::Global;
    n.slot = globalSlot(n.name, true);
    GlobalEntry& g = globals_[static_cast<size_t>(n.slot)];
    if (n.declares && g.kind == GlobalKind::Undeclared)
        g.kind = GlobalKind::Variable;
}

Value Runtime::runTopLevel(CodeUnit& unit, Frame* outer, bool evalExpression)
{
    Procedure& top = *unit.topLevel;
    const Code& code = evalExpression ? *unit.evalCode : *top.code;
    std::vector<Value> locals(static_cast<size_t>(top.localCount) + static_cast<size_t>(code.maxStack));
    Frame f;
    f.locals = locals.data();
    f.stack = locals.data() + top.localCount;
    f.proc = &top;
    f.me = outer ? outer->me : nullptr;
    f.outer = outer;
    execute(f, code);
    if (evalExpression)
        return std::move(f.stack[0]);
    return Value();
}

void Runtime::addCode(Text source)
{
    enter();
    auto unit = compile(std::move(source), ParseMode::Program, nullptr, false);
    units_.push_back(unit);
    runTopLevel(*unit, nullptr, false);
}

bool Runtime::hasProcedure(TextView name) const
{
    auto it = globalIndex_.find(lowerCase(name));
    return it != globalIndex_.end() && globals_[static_cast<size_t>(it->second)].kind == GlobalKind::Procedure;
}

Value Runtime::runProcedure(TextView name, std::span<Value> args)
{
    enter();
    auto it = globalIndex_.find(lowerCase(name));
    if (it == globalIndex_.end() || globals_[static_cast<size_t>(it->second)].kind != GlobalKind::Procedure) {
        ScriptError e;
        e.number = vberr::SubNotDefined;
        e.description = vbErrorDescription(e.number);
        throw e;
    }
    return callProcedure(*globals_[static_cast<size_t>(it->second)].proc, nullptr, args);
}

namespace {

// Points the compiler at the procedure frame an Execute or Eval runs in
// (none for the script's top level), for as long as one compile lasts.
class ExecuteFrameScope {
public:
    ExecuteFrameScope(Frame*& slot, Frame* caller)
        : slot_(slot), saved_(slot)
    {
        slot_ = caller && caller->proc && caller->proc->kind != ProcKind::TopLevel ? caller : nullptr;
    }
    ~ExecuteFrameScope() { slot_ = saved_; }
    ExecuteFrameScope(const ExecuteFrameScope&) = delete;
    ExecuteFrameScope& operator=(const ExecuteFrameScope&) = delete;

private:
    Frame*& slot_;
    Frame* saved_;
};

} // namespace

Value Runtime::evalText(const Text& text)
{
    Frame* caller = currentFrame_;
    Procedure* outer = caller ? caller->proc : nullptr;
    // Names may mean variables that an Execute declared in this call, by
    // their number in it: the compiled expression is shared only with
    // calls that declared the same names in the same order.
    Text keyText;
    if (const ExecutedLocals* declared = caller ? caller->executedLocals() : nullptr) {
        for (const ExecutedLocal& local : *declared) {
            keyText += local.name;
            keyText += u'\n';
        }
    }
    keyText += u'\0';
    keyText += text;
    EvalKey key(outer, std::move(keyText));
    std::shared_ptr<CodeUnit> unit;
    auto cached = evalCache_.find(key);
    if (cached != evalCache_.end()) {
        unit = cached->second.unit;
        evalUse_.splice(evalUse_.begin(), evalUse_, cached->second.lastUse);
    } else {
        {
            ExecuteFrameScope scope(executeFrame_, caller);
            unit = compile(text, ParseMode::Expression, outer, true);
        }
        // The cache entry (a map node and a list node) lives as long as the
        // code: charged with it.
        unit->charge.grow(sizeof(EvalCache::value_type) + 7 * sizeof(void*) + textHeapBytes(key.second.capacity()));
        evalUse_.push_front(nullptr);
        try {
            auto entry = evalCache_.emplace(std::move(key), EvalEntry{unit, unit->charge.bytes(), evalUse_.begin()}).first;
            evalUse_.front() = &entry->first;
            evalCacheBytes_ += entry->second.bytes;
        } catch (...) {
            evalUse_.pop_front();
            throw;
        }
        trimEvalCache();
    }
    // The code runs with a hold of its own: an Eval inside it may push it
    // out of the cache.  Once out and done, what was cached inside it goes.
    struct Forget {
        Runtime& runtime;
        const std::shared_ptr<CodeUnit>& unit;
        ~Forget()
        {
            if (unit.use_count() == 1)
                runtime.forgetEvalUnder(*unit);
        }
    } forget{*this, unit};
    return runTopLevel(*unit, caller, true);
}

void Runtime::forgetEvalUnder(const CodeUnit& unit) noexcept
{
    const Procedure* top = unit.topLevel.get();
    auto it = evalCache_.lower_bound(EvalKey(const_cast<Procedure*>(top), Text()));
    while (it != evalCache_.end() && it->first.first == top) {
        // Keys under the inner code name its top level, not this one: the
        // iterators of this range stay valid.
        forgetEvalUnder(*it->second.unit);
        forgetEval(it++);
    }
}

void Runtime::forgetEval(EvalCache::iterator entry) noexcept
{
    evalCacheBytes_ -= entry->second.bytes;
    evalUse_.erase(entry->second.lastUse);
    evalCache_.erase(entry);
}

void Runtime::trimEvalCache() noexcept
{
    const size_t bytesAllowed = evalCacheBytesAllowed();
    while (evalCache_.size() > 1 && (evalCache_.size() > kEvalCacheEntries || evalCacheBytes_ > bytesAllowed)) {
        const auto oldest = evalCache_.find(*evalUse_.back());
        forgetEvalUnder(*oldest->second.unit);
        forgetEval(oldest);
    }
}

namespace {

// An error or stop leaving code that is about to be freed keeps the text
// of its line instead of the unit.
template <typename Signal>
void keepLineText(Signal& signal, const CodeUnit& going)
{
    if (signal.unit != &going)
        return;
    if (signal.lineText.empty())
        signal.lineText = signal.unit->lineText(signal.line);
    signal.unit = nullptr;
}

} // namespace

void Runtime::executeText(const Text& text, bool global)
{
    Frame* caller = currentFrame_;
    Procedure* outer = global || !caller ? nullptr : caller->proc;
    std::shared_ptr<CodeUnit> compiled;
    {
        ExecuteFrameScope scope(executeFrame_, global ? nullptr : caller);
        compiled = compile(text, ParseMode::Program, outer, true);
    }
    CodeUnit& unit = *compiled;
    Frame* runIn = global ? nullptr : caller;
    if (!unit.procedures.empty() || !unit.classes.empty()) {
        // Its procedures and classes are reached by name from now on
        // (globals, GetRef, New, objects): the unit stays for the session.
        units_.push_back(std::move(compiled));
        runTopLevel(unit, runIn, false);
        return;
    }
    // Code that defines nothing is never reached again once it has run:
    // nothing outside its own run points into it but the Eval code cached
    // for its top level (which only that run can use) and the place an
    // error or stop leaving it records (Eval code records none: its errors
    // belong to the statement calling Eval).  So it is freed here,
    // `compiled` keeping it alive while it runs: a script executing new
    // text in a loop holds only the code of the current turn.
    auto finish = [&](auto* signal) {
        if (signal)
            keepLineText(*signal, unit);
        forgetEvalUnder(unit);
    };
    try {
        runTopLevel(unit, runIn, false);
    } catch (ScriptError& e) {
        finish(&e);
        throw;
    } catch (StopSignal& s) {
        finish(&s);
        throw;
    } catch (...) {
        finish(static_cast<ScriptError*>(nullptr));
        throw;
    }
    finish(static_cast<ScriptError*>(nullptr));
}

Value Runtime::procedureReference(const Text& name)
{
    auto it = globalIndex_.find(lowerCase(name));
    if (it == globalIndex_.end() || globals_[static_cast<size_t>(it->second)].kind != GlobalKind::Procedure)
        throw VbError(vberr::InvalidCall);
    Procedure& proc = *globals_[static_cast<size_t>(it->second)].proc;
    return makeObject<ProcedureRef>(proc, link_, unitOf(proc.unit));
}

std::shared_ptr<const CodeUnit> Runtime::unitOf(const CodeUnit* unit) const
{
    for (const auto& u : units_) {
        if (u.get() == unit)
            return u;
    }
    return nullptr;
}

Value Runtime::createObject(const Text& progId)
{
    if (ObjectFactory factory = registry_.creatable(progId))
        return factory(*this);
    throw VbError(vberr::CantCreateObject);
}

Value Runtime::call(const Value& callee, std::span<Value> args)
{
    const Value& c = callee.deref();
    if (!c.isObject())
        throw VbError(vberr::TypeMismatch);
    if (!c.rawObject())
        throw VbError(vberr::ObjectNotSet);
    Value keep = c;
    return keep.rawObject()->invoke(kDefaultMember, Access::Get, args);
}

void Runtime::runTerminate(ScriptObject& object) noexcept
{
    try {
        callProcedure(*object.cls().terminate, &object, {});
    } catch (StopSignal& stop) {
        // A terminator runs where a value is released and cannot pass the
        // stop on: it is kept for the end of the host call.
        try {
            if (stop.unit && stop.lineText.empty())
                stop.lineText = stop.unit->lineText(stop.line);
            stop.unit = nullptr;
            terminatorStop_ = std::move(stop);
        } catch (...) {
            terminatorStop_ = StopSignal{stop.number, Text()};
        }
    } catch (...) {
        // Errors in Class_Terminate are not reported, as in VBScript.
    }
}

} // namespace quillet::script

#include "script/core/code_size.h"

#include "script/metered.h"

#include <limits>

namespace quillet::script {
namespace {

// Measured at some 50 to 70 bytes per character on typical scripts, the
// code kept at about 20.
constexpr size_t kCompilingBytesPerChar = 64;
constexpr size_t kCompilingBytesFixed = 4096;

size_t textBytes(const Text& t) { return textHeapBytes(t.capacity()); }

template <typename T, typename A>
size_t vectorBytes(const std::vector<T, A>& v)
{
    return v.capacity() * sizeof(T);
}

size_t textsBytes(const std::vector<Text>& texts)
{
    size_t bytes = vectorBytes(texts);
    for (const Text& t : texts)
        bytes += textBytes(t);
    return bytes;
}

// A node per entry (the pair, the next pointer and the cached hash) and
// the bucket array, as the usual hash map lays them out.
template <typename Map>
size_t hashMapBytes(const Map& map)
{
    size_t bytes = map.bucket_count() * sizeof(void*);
    for (const auto& entry : map)
        bytes += sizeof(entry) + 2 * sizeof(void*) + textBytes(entry.first);
    return bytes;
}

size_t codeBytes(const Code& code)
{
    size_t bytes = sizeof(Code) + vectorBytes(code.instrs) + vectorBytes(code.statements) +
                   vectorBytes(code.holdings) + vectorBytes(code.constants) + vectorBytes(code.names) +
                   vectorBytes(code.globals) +
                   vectorBytes(code.members) + textsBytes(code.classNames) + vectorBytes(code.argSites) +
                   vectorBytes(code.nested) + vectorBytes(code.forLoops) + vectorBytes(code.forEachLoops) +
                   vectorBytes(code.updates) + vectorBytes(code.chains) +
                   vectorBytes(code.directArgs);
    for (const MemberSite& m : code.members)
        bytes += textBytes(m.name);
    for (const NestedSite& n : code.nested)
        bytes += vectorBytes(n.counts);
    return bytes;
}

size_t procedureBytes(const Procedure& proc)
{
    size_t bytes = sizeof(Procedure) + textBytes(proc.name) + vectorBytes(proc.params) + hashMapBytes(proc.locals) +
                   vectorBytes(proc.expression.ops) + vectorBytes(proc.expression.numbers);
    for (const Param& p : proc.params)
        bytes += textBytes(p.name);
    if (proc.code)
        bytes += codeBytes(*proc.code);
    return bytes;
}

size_t classBytes(const ClassDef& cls)
{
    size_t bytes = sizeof(ClassDef) + textBytes(cls.name) + vectorBytes(cls.fields) + vectorBytes(cls.members) +
                   hashMapBytes(cls.memberIndex) + vectorBytes(cls.procedures);
    for (const ClassField& f : cls.fields)
        bytes += textBytes(f.name) + vectorBytes(f.bounds);
    for (const ClassMember& m : cls.members)
        bytes += textBytes(m.name);
    for (const auto& proc : cls.procedures)
        bytes += procedureBytes(*proc);
    return bytes;
}

} // namespace

size_t compilingBytes(size_t sourceLength)
{
    if (sourceLength > (std::numeric_limits<size_t>::max() - kCompilingBytesFixed) / kCompilingBytesPerChar)
        return std::numeric_limits<size_t>::max();
    return kCompilingBytesFixed + sourceLength * kCompilingBytesPerChar;
}

size_t compiledUnitBytes(const CodeUnit& unit)
{
    // The unit with the control block of its shared pointer.
    size_t bytes = sizeof(CodeUnit) + 2 * sizeof(void*) + textBytes(unit.source) + textsBytes(unit.lines) +
                   vectorBytes(unit.procedures) + vectorBytes(unit.classes) + vectorBytes(unit.globals);
    if (unit.topLevel)
        bytes += procedureBytes(*unit.topLevel);
    for (const auto& proc : unit.procedures)
        bytes += procedureBytes(*proc);
    for (const auto& cls : unit.classes)
        bytes += classBytes(*cls);
    for (const CodeUnit::GlobalDecl& g : unit.globals)
        bytes += textBytes(g.name);
    if (unit.evalCode)
        bytes += codeBytes(*unit.evalCode);
    return bytes;
}

} // namespace quillet::script

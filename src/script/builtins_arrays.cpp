// Array functions: Array, LBound, UBound, and the string-array functions
// Join, Split and Filter.
#include "script/builtins_support.h"
#include "script/stop_poll.h"

namespace quillet::script {

namespace {

const ArrayRep& arrayArg(const Value& v)
{
    if (!v.isArray())
        throw VbError(vberr::TypeMismatch);
    return *v.rawArray();
}

const ArrayRep& listArg(const Value& v)
{
    const ArrayRep& rep = arrayArg(v);
    if (rep.dimensionCount() != 1)
        throw VbError(vberr::TypeMismatch);
    return rep;
}

const ArrayDim& dimensionArg(std::span<Value> a)
{
    const ArrayRep& rep = arrayArg(a[0]);
    const int32_t d = intArg(a, 1, 1);
    if (d < 1 || d > rep.dimensionCount())
        throw VbError(vberr::SubscriptOutOfRange);
    return rep.dims[static_cast<size_t>(d - 1)];
}

// Split and Filter give String arrays, not Variant ones.
Value textArray(ElementVector items)
{
    Value array = Value::arrayOf(std::move(items));
    array.rawArray()->textItems = true;
    return array;
}

// Elements go straight into the array's metered storage: a huge result
// meets the memory limit while it is built, not after.
void appendElement(ElementVector& items, Value item)
{
    if (items.size() >= kMaxArrayElements)
        throw VbError(vberr::OutOfMemory);
    items.push_back(std::move(item));
}

Value fnArray(Context&, std::span<Value> a)
{
    return Value::arrayOf(ElementVector(a.begin(), a.end()));
}

Value fnLBound(Context&, std::span<Value> a) { return Value::longInt(dimensionArg(a).lower); }
Value fnUBound(Context&, std::span<Value> a) { return Value::longInt(dimensionArg(a).upper()); }

// Join takes its list as it comes: Null is error 94, an object its
// default value (438 without one); an element that is Null is a type
// mismatch, an Empty one joins as "".
Value fnJoin(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        throw VbError(vberr::InvalidUseOfNull);
    const Value list = a[0].withoutObject();
    const ArrayRep& rep = listArg(list);
    const Text delimiter = hasArg(a, 1) ? a[1].toText() : Text(u" ");
    StopPoll poll;
    Text out;
    for (size_t i = 0; i < rep.items.size(); ++i) {
        const size_t before = out.size();
        if (i > 0)
            out += delimiter;
        if (rep.items[i].isNull())
            throw VbError(vberr::TypeMismatch);
        out += rep.items[i].toConcatText();
        if (out.size() > kMaxTextLength)
            throw VbError(vberr::OutOfMemory);
        poll.tick(out.size() - before + 1);
    }
    return Value::string(std::move(out));
}

Value fnSplit(Context&, std::span<Value> a)
{
    const Text delimiter = hasArg(a, 1) ? a[1].toText() : Text(u" ");
    const int32_t limit = intArg(a, 2, -1);
    if (limit < -1)
        throw VbError(vberr::InvalidCall);
    const CompareMode mode = compareArg(a, 3);
    ElementVector items;
    splitEach(*TextArg(a[0]), delimiter, limit, mode,
              [&](TextView piece) { appendElement(items, Value::string(piece)); });
    return textArray(std::move(items));
}

Value fnFilter(Context&, std::span<Value> a)
{
    const ArrayRep& rep = listArg(a[0]);
    const Text find = a[1].toText();
    const bool include = boolArg(a, 2, true);
    const TextFinder finder(find, compareArg(a, 3));
    StopPoll poll;
    ElementVector kept;
    for (const Value& item : rep.items) {
        Text text = item.toText();
        poll.tick(text.size() + 1);
        if ((finder.find(text, 0) != TextFinder::npos) == include)
            appendElement(kept, Value::string(std::move(text)));
    }
    return textArray(std::move(kept));
}

constexpr BuiltinEntry kArrays[] = {
    {u"Array", 0, 255, fnArray}, {u"LBound", 1, 2, fnLBound}, {u"UBound", 1, 2, fnUBound},
    {u"Join", 1, 2, fnJoin},     {u"Split", 1, 4, fnSplit},   {u"Filter", 2, 4, fnFilter},
};

} // namespace

void registerArrayBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kArrays);
}

} // namespace quillet::script

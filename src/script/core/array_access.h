// The machine's inline way to an array element: subscripts that are all
// Integer or Long and in range give the element's flat index directly.
// Anything else (other subscript types, the wrong count, out of range)
// goes the general way, which converts or raises the error.
#pragma once

#include "script/core/binary_op.h"
#include "script/value.h"

#include <cstddef>
#include <cstdint>

namespace quillet::script {

// The offset of whole-number subscript `s` in `dim`, or -1 out of range
// (one comparison for both ends: below the lower bound wraps round).
[[gnu::always_inline]] inline int64_t offsetIn(const ArrayDim& dim, int32_t s)
{
    const int64_t offset = int64_t(s) - dim.lower;
    return static_cast<uint64_t>(offset) < static_cast<uint64_t>(dim.count) ? offset : -1;
}

// The flat index of the element at `subscripts`, or -1 for the general way.
[[gnu::always_inline]] inline ptrdiff_t quickIndex(const ArrayRep& rep, const Value* subscripts, size_t count)
{
    if (count != rep.dims.size())
        return -1;
    size_t index = 0;
    for (size_t d = 0; d < count; ++d) {
        const Value& s = subscripts[d];
        if (!isIntegerOrLong(s))
            return -1;
        const ArrayDim& dim = rep.dims[d];
        const int64_t offset = int64_t(s.rawLong()) - dim.lower;
        // One comparison for both ends: below the lower bound wraps round.
        if (static_cast<uint64_t>(offset) >= static_cast<uint64_t>(dim.count))
            return -1;
        index = index * static_cast<size_t>(dim.count) + static_cast<size_t>(offset);
    }
    return static_cast<ptrdiff_t>(index);
}

// The element of `array` at the one whole-number subscript `s` when
// `array` is a one-dimensional array and s is in range; null otherwise.
[[gnu::always_inline]] inline const Value* oneElement(const Value& array, const Value& s)
{
    if (!array.isArray() || !isIntegerOrLong(s))
        return nullptr;
    const ArrayRep& rep = *array.rawArray();
    if (rep.dims.size() != 1)
        return nullptr;
    const uint64_t offset = static_cast<uint64_t>(int64_t(s.rawLong()) - rep.dims.front().lower);
    return offset < static_cast<uint64_t>(rep.dims.front().count) ? rep.items.data() + offset : nullptr;
}

// oneElement() for writing in place: also null when the storage is shared
// or a String array's (see quickWritableElement).
[[gnu::always_inline]] inline Value* writableOneElement(Value& array, const Value& s)
{
    if (!array.isArray() || !isIntegerOrLong(s))
        return nullptr;
    ArrayRep& rep = *array.rawArray();
    if (rep.refs != 1 || rep.textItems || rep.dims.size() != 1)
        return nullptr;
    const uint64_t offset = static_cast<uint64_t>(int64_t(s.rawLong()) - rep.dims.front().lower);
    return offset < static_cast<uint64_t>(rep.dims.front().count) ? rep.items.data() + offset : nullptr;
}

// The flat index of the element of `array` at the whole-number subscripts
// `s0`, `s1` when `array` is a two-dimensional array and both are in
// range; -1 otherwise.
[[gnu::always_inline]] inline ptrdiff_t twoIndex(const ArrayRep& rep, const Value& s0, const Value& s1)
{
    if (rep.dims.size() != 2 || !isIntegerOrLong(s0) || !isIntegerOrLong(s1))
        return -1;
    const ArrayDim* dims = rep.dims.data();
    const uint64_t o0 = static_cast<uint64_t>(int64_t(s0.rawLong()) - dims[0].lower);
    const uint64_t o1 = static_cast<uint64_t>(int64_t(s1.rawLong()) - dims[1].lower);
    if (o0 >= static_cast<uint64_t>(dims[0].count) || o1 >= static_cast<uint64_t>(dims[1].count))
        return -1;
    return static_cast<ptrdiff_t>(o0 * static_cast<uint64_t>(dims[1].count) + o1);
}

// The element of `array` at (s0, s1) as twoIndex finds it; null otherwise.
[[gnu::always_inline]] inline const Value* twoElement(const Value& array, const Value& s0, const Value& s1)
{
    if (!array.isArray())
        return nullptr;
    const ArrayRep& rep = *array.rawArray();
    const ptrdiff_t at = twoIndex(rep, s0, s1);
    return at >= 0 ? rep.items.data() + at : nullptr;
}

// twoElement() for writing in place: also null when the storage is shared
// or a String array's (see quickWritableElement).
[[gnu::always_inline]] inline Value* writableTwoElement(Value& array, const Value& s0, const Value& s1)
{
    if (!array.isArray())
        return nullptr;
    ArrayRep& rep = *array.rawArray();
    if (rep.refs != 1 || rep.textItems)
        return nullptr;
    const ptrdiff_t at = twoIndex(rep, s0, s1);
    return at >= 0 ? rep.items.data() + at : nullptr;
}

// The element of `array` to write at `subscripts` when the inline way can
// write it: storage held only here (nothing to unshare) and not a String
// array (whose elements are converted).  Null for the general way.
[[gnu::always_inline]] inline Value* quickWritableElement(Value& array, const Value* subscripts, size_t count)
{
    ArrayRep* rep = array.rawArray();
    if (rep->refs != 1 || rep->textItems)
        return nullptr;
    const ptrdiff_t at = quickIndex(*rep, subscripts, count);
    return at < 0 ? nullptr : &rep->items[static_cast<size_t>(at)];
}

} // namespace quillet::script

#include "script/value.h"

#include "script/host_object.h"
#include "script/lib/date_time.h"
#include "script/lib/number_text.h"
#include "script/stop_poll.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <sys/mman.h>

namespace quillet::script {

void Value::retainHeap() noexcept
{
    switch (type_) {
    case Type::String: ++u_.str->refs; break;
    case Type::Object: if (u_.obj) u_.obj->addRef(); break;
    case Type::Array:
        // An array with by-reference arguments pointing into it must not be
        // shared: a write through such a reference would show in both.
        ++u_.arr->refs;
        if (u_.arr->locks > 0) {
            try {
                ArrayRep* copy = new ArrayRep(*u_.arr, false);
                --u_.arr->refs;
                u_.arr = copy;
            } catch (...) {
                // No memory for the copy (or a stop request met while
                // copying), and a copy cannot fail: the two share the
                // storage, which only a script already out of memory (or
                // about to stop at its next statement) can notice.
            }
        }
        break;
    default: break;
    }
}

namespace {

// A big array is walked with strides as often as in order (a sieve, a
// column of a grid): on 4 KiB pages each step of such a walk would miss
// the address cache.  The kernel is asked for huge pages on the whole
// 2 MiB stretches inside it; where it gives none, nothing changes.
void adviseLargePages(void* data, size_t bytes)
{
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (bytes < 2 * kHuge)
        return;
    const auto begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Freeing an array of arrays, or an object whose field holds the next
// object of a long chain, recurses once per level.  A script can build a
// chain a million levels deep, so past a modest depth the last references
// are parked here and dropped one by one by the outermost release.
struct DeferredReleases {
    int depth = 0;
    std::vector<ArrayRep*> arrays;
    std::vector<HostObject*> objects;
};
thread_local DeferredReleases deferred;
constexpr int kMaxReleaseDepth = 200;

void drainDeferred() noexcept
{
    while (!deferred.arrays.empty() || !deferred.objects.empty()) {
        ++deferred.depth;
        if (!deferred.arrays.empty()) {
            ArrayRep* rep = deferred.arrays.back();
            deferred.arrays.pop_back();
            delete rep;
        } else {
            HostObject* obj = deferred.objects.back();
            deferred.objects.pop_back();
            obj->release();
        }
        --deferred.depth;
    }
}

} // namespace

void Value::releaseHeap() noexcept
{
    switch (type_) {
    case Type::String:
        if (--u_.str->refs == 0)
            delete u_.str;
        break;
    case Type::Object:
        if (!u_.obj)
            break;
        if (u_.obj->refCount() == 1 && deferred.depth >= kMaxReleaseDepth) {
            try {
                deferred.objects.push_back(u_.obj);
                break;
            } catch (...) {
                // No room to defer: release in place.
            }
        }
        ++deferred.depth;
        u_.obj->release();
        --deferred.depth;
        if (deferred.depth == 0)
            drainDeferred();
        break;
    case Type::Array:
        if (--u_.arr->refs != 0)
            break;
        if (deferred.depth >= kMaxReleaseDepth) {
            try {
                deferred.arrays.push_back(u_.arr);
                break;
            } catch (...) {
            }
        }
        ++deferred.depth;
        delete u_.arr;
        --deferred.depth;
        if (deferred.depth == 0)
            drainDeferred();
        break;
    default: break;
    }
}

Value Value::string(Text text)
{
    Value v;
    v.u_.str = new StringRep(std::move(text));
    v.type_ = Type::String;
    return v;
}

void StringRep::reserve(size_t capacity)
{
    if (capacity <= text.capacity())
        return;
    // Charged to the meter current now (moving the rep there if it was
    // made elsewhere), old and new buffer together, as both exist while
    // the text is copied.
    MemoryCharge grown(chargeFor(capacity));
    text.reserve(capacity);
    grown.settle(chargeFor(text.capacity()));
    charge = std::move(grown);
}

ArrayRep::ArrayRep(const ArrayRep& other, bool keepFixedSize)
    : fixedSize(keepFixedSize && other.fixedSize), textItems(other.textItems),
      charge(sizeof(ArrayRep) + other.dims.size() * sizeof(ArrayDim)), dims(other.dims)
{
    // Copied in stretches: a copy of millions of elements must not outlast
    // a stop request.
    items.reserve(other.items.size());
    inStretches(other.items.size(), [&](size_t from, size_t to) {
        items.insert(items.end(), other.items.begin() + static_cast<ptrdiff_t>(from),
                     other.items.begin() + static_cast<ptrdiff_t>(to));
    });
}

ArrayRep::ArrayRep(ElementVector&& values)
    : charge(sizeof(ArrayRep) + sizeof(ArrayDim)), dims(1, ArrayDim{0, static_cast<int32_t>(values.size())}),
      items(std::move(values))
{
}

Value Value::object(HostObject* object)
{
    Value v;
    v.type_ = Type::Object;
    v.u_.obj = object;
    if (object)
        object->addRef();
    return v;
}

Value Value::newArray(std::span<const int32_t> upperBounds)
{
    auto* rep = new ArrayRep;
    Value holder = array(rep);
    rep->charge.grow(upperBounds.size() * sizeof(ArrayDim));
    rep->dims.reserve(upperBounds.size());
    size_t total = 1;
    for (int32_t upper : upperBounds) {
        if (upper < -1)
            throw VbError(vberr::SubscriptOutOfRange);
        // Counted in size_t (upper + 1 overflows an int32_t at 2^31 - 1),
        // each dimension on its own too, as an empty one makes the total 0.
        const size_t count = static_cast<size_t>(upper) + 1;
        total *= count;
        if (count > kMaxArrayElements || total > kMaxArrayElements)
            throw VbError(vberr::OutOfMemory);
        rep->dims.push_back({0, static_cast<int32_t>(count)});
    }
    // Filled in stretches (the memory is charged at once): tens of
    // millions of elements must not outlast a stop request.
    rep->items.reserve(total);
    adviseLargePages(rep->items.data(), total * sizeof(Value));
    inStretches(total, [&](size_t, size_t to) { rep->items.resize(to); });
    return holder;
}

Value Value::arrayOf(ElementVector items)
{
    if (items.size() > kMaxArrayElements)
        throw VbError(vberr::OutOfMemory);
    return array(new ArrayRep(std::move(items)));
}

size_t ArrayRep::flatIndex(std::span<const int32_t> subscripts) const
{
    if (subscripts.size() != dims.size())
        throw VbError(vberr::SubscriptOutOfRange);
    size_t index = 0;
    for (size_t d = 0; d < dims.size(); ++d) {
        const int64_t offset = int64_t(subscripts[d]) - dims[d].lower;
        if (offset < 0 || offset >= dims[d].count)
            throw VbError(vberr::SubscriptOutOfRange);
        index = index * static_cast<size_t>(dims[d].count) + static_cast<size_t>(offset);
    }
    return index;
}

size_t ArrayRep::storageIndex(size_t ordinal) const
{
    if (dims.size() == 1)
        return ordinal;
    // Peel the subscripts off `ordinal`, first one first; each steps over
    // the elements of all the dimensions after it in storage.
    size_t index = 0;
    size_t stride = items.size();
    for (const ArrayDim& dim : dims) {
        const auto count = static_cast<size_t>(dim.count);
        stride /= count;
        index += (ordinal % count) * stride;
        ordinal /= count;
    }
    return index;
}

ArrayRep* Value::mutableArray()
{
    // A locked array's extra reference belongs to the call that locked it:
    // writes go to the one shared storage (see Runtime::elementRef).
    if (u_.arr->refs > 1 && u_.arr->locks == 0) {
        ArrayRep* copy = new ArrayRep(*u_.arr, true);
        --u_.arr->refs;
        u_.arr = copy;
    }
    return u_.arr;
}

bool Value::isNumber() const
{
    switch (type_) {
    case Type::Integer: case Type::Long: case Type::Single: case Type::Double:
    case Type::Currency: case Type::Byte:
        return true;
    default:
        return false;
    }
}

int Value::varType() const
{
    switch (type_) {
    case Type::Empty: return vartype::Empty;
    case Type::Null: return vartype::Null;
    case Type::Integer: return vartype::Integer;
    case Type::Long: return vartype::Long;
    case Type::Single: return vartype::Single;
    case Type::Double: return vartype::Double;
    case Type::Currency: return vartype::Currency;
    case Type::Date: return vartype::Date;
    case Type::String: return vartype::String;
    case Type::Object: return vartype::Object;
    case Type::Error: return vartype::Error;
    case Type::Boolean: return vartype::Boolean;
    case Type::Byte: return vartype::Byte;
    case Type::Array: return vartype::Array + (u_.arr->textItems ? vartype::String : vartype::Variant);
    case Type::Ref: return u_.ref->varType();
    }
    return vartype::Empty;
}

Text Value::typeName() const
{
    switch (type_) {
    case Type::Empty: return u"Empty";
    case Type::Null: return u"Null";
    case Type::Integer: return u"Integer";
    case Type::Long: return u"Long";
    case Type::Single: return u"Single";
    case Type::Double: return u"Double";
    case Type::Currency: return u"Currency";
    case Type::Date: return u"Date";
    case Type::String: return u"String";
    case Type::Object: return u_.obj ? u_.obj->typeName() : Text(u"Nothing");
    case Type::Error: return u"Error";
    case Type::Boolean: return u"Boolean";
    case Type::Byte: return u"Byte";
    case Type::Array: return u_.arr->textItems ? u"String()" : u"Variant()";
    case Type::Ref: return u_.ref->typeName();
    }
    return u"Empty";
}

Value Value::withoutObject() const
{
    if (type_ == Type::Ref)
        return u_.ref->withoutObject();
    if (type_ != Type::Object)
        return *this;
    if (!u_.obj)
        throw VbError(vberr::ObjectNotSet);
    Value result = u_.obj->invoke(kDefaultMember, Access::Get, {});
    if (result.isObject())
        return result.withoutObject();
    return result;
}

double Value::toDouble() const
{
    switch (type_) {
    case Type::Empty: return 0.0;
    case Type::Null: throw VbError(vberr::InvalidUseOfNull);
    case Type::Integer: case Type::Long: case Type::Byte: return u_.i32;
    case Type::Boolean: return u_.i32 != 0 ? -1.0 : 0.0;
    case Type::Single: return u_.f;
    case Type::Double: case Type::Date: return u_.d;
    case Type::Currency: return rawCurrency().toDouble();
    case Type::String: {
        auto parsed = parseNumericText(u_.str->text);
        if (!parsed)
            throw VbError(vberr::TypeMismatch);
        return *parsed;
    }
    case Type::Object: return withoutObject().toDouble();
    case Type::Ref: return u_.ref->toDouble();
    case Type::Error: case Type::Array: break;
    }
    throw VbError(vberr::TypeMismatch);
}

int16_t Value::toInt16() const
{
    if (type_ == Type::Integer || type_ == Type::Byte || type_ == Type::Boolean)
        return static_cast<int16_t>(u_.i32);
    return quillet::toInt16(toDouble());
}

int32_t Value::toInt32() const
{
    if (type_ == Type::Integer || type_ == Type::Long || type_ == Type::Byte || type_ == Type::Boolean)
        return u_.i32;
    if (type_ == Type::Currency) {
        // Round the ticks exactly rather than through a double.
        const int64_t t = u_.i64;
        int64_t whole = t / Currency::kScale;
        const int64_t rest = t % Currency::kScale;
        const int64_t half = Currency::kScale / 2;
        if (rest > half || (rest == half && (whole & 1)))
            ++whole;
        else if (rest < -half || (rest == -half && (whole & 1)))
            --whole;
        if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max())
            throw VbError(vberr::Overflow);
        return static_cast<int32_t>(whole);
    }
    return quillet::toInt32(toDouble());
}

uint8_t Value::toByte() const
{
    // True is all bits set: 255 as a Byte, not -1 out of range.
    switch (type_) {
    case Type::Boolean: return u_.i32 != 0 ? 0xFF : 0;
    case Type::Ref: return u_.ref->toByte();
    case Type::Object: return withoutObject().toByte();
    default: return quillet::toByte(toDouble());
    }
}

float Value::toSingle() const
{
    const double d = toDouble();
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        throw VbError(vberr::Overflow);
    return static_cast<float>(d);
}

Currency Value::toCurrency() const
{
    switch (type_) {
    case Type::Currency: return rawCurrency();
    case Type::Integer: case Type::Long: case Type::Byte:
        return Currency::fromTicks(int64_t(u_.i32) * Currency::kScale);
    case Type::Boolean: return Currency::fromTicks(u_.i32 ? -Currency::kScale : 0);
    default: return Currency::fromDouble(toDouble());
    }
}

bool Value::toBool() const
{
    switch (type_) {
    case Type::Empty: return false;
    case Type::Boolean: case Type::Integer: case Type::Long: case Type::Byte: return u_.i32 != 0;
    case Type::Currency: return u_.i64 != 0;
    case Type::Single: return u_.f != 0.0f;
    case Type::Double: case Type::Date: return u_.d != 0.0;
    case Type::String: {
        // "#TRUE#" and "#FALSE#" are how Boolean values are written in
        // data files (Write #), and read back as such.
        const Text trimmed = trimSpaces(u_.str->text);
        if (equalsIgnoreCase(trimmed, u"true") || equalsIgnoreCase(trimmed, u"#true#"))
            return true;
        if (equalsIgnoreCase(trimmed, u"false") || equalsIgnoreCase(trimmed, u"#false#"))
            return false;
        auto parsed = parseNumericText(u_.str->text);
        if (!parsed)
            throw VbError(vberr::TypeMismatch);
        return *parsed != 0.0;
    }
    case Type::Null: throw VbError(vberr::InvalidUseOfNull);
    case Type::Object: return withoutObject().toBool();
    case Type::Ref: return u_.ref->toBool();
    case Type::Error: case Type::Array: break;
    }
    throw VbError(vberr::TypeMismatch);
}

double Value::toDateSerial() const
{
    switch (type_) {
    case Type::Date: return u_.d;
    case Type::String: {
        if (auto date = parseDateText(u_.str->text))
            return *date;
        if (auto number = parseNumericText(u_.str->text))
            return *number;
        throw VbError(vberr::TypeMismatch);
    }
    case Type::Ref: return u_.ref->toDateSerial();
    case Type::Object: return withoutObject().toDateSerial();
    default: {
        const double d = toDouble();
        // Dates run from year 100 to 9999.
        if (d < -657434.0 || d >= 2958466.0)
            throw VbError(vberr::Overflow);
        return d;
    }
    }
}

Text Value::toText() const
{
    switch (type_) {
    case Type::Empty: return Text();
    case Type::Null: throw VbError(vberr::InvalidUseOfNull);
    case Type::Integer: case Type::Long: case Type::Byte: return decimalText(u_.i32);
    case Type::Boolean: return u_.i32 ? Text(u"True") : Text(u"False");
    case Type::Single: return singleToText(u_.f);
    case Type::Double: return numberToText(u_.d);
    case Type::Currency: return rawCurrency().toText();
    case Type::Date: return dateToText(u_.d);
    case Type::String: return u_.str->text;
    case Type::Object: return withoutObject().toText();
    case Type::Ref: return u_.ref->toText();
    case Type::Error: case Type::Array: break;
    }
    throw VbError(vberr::TypeMismatch);
}

Text Value::toConcatText() const
{
    if (type_ == Type::Null)
        return Text();
    if (type_ == Type::Ref)
        return u_.ref->toConcatText();
    if (type_ == Type::Object) {
        const Value v = withoutObject();
        return v.isNull() ? Text() : v.toText();
    }
    return toText();
}

Value Value::toNumeric() const
{
    switch (type_) {
    case Type::Empty: return integer(0);
    case Type::Null: case Type::Integer: case Type::Long: case Type::Byte: case Type::Boolean:
    case Type::Single: case Type::Double: case Type::Currency: case Type::Date:
        return *this;
    case Type::String: return dbl(toDouble());
    case Type::Object: return withoutObject().toNumeric();
    case Type::Ref: return u_.ref->toNumeric();
    case Type::Error: case Type::Array: break;
    }
    throw VbError(vberr::TypeMismatch);
}

void Value::appendText(TextView tail)
{
    if (type_ == Type::String && u_.str->refs == 1) {
        StringRep& rep = *u_.str;
        const size_t length = rep.text.size() + tail.size();
        if (length > kMaxTextLength)
            throw VbError(vberr::OutOfMemory);
        // Grow by doubling, as the string would by itself, but reserve
        // explicitly so that the growth is charged before it is made.
        if (length > rep.text.capacity())
            rep.reserve(std::max(length, std::min(2 * rep.text.capacity(), kMaxTextLength)));
        rep.text.append(tail);
        return;
    }
    // Shared or not a string: one new string, sized for the result.
    const Text converted = type_ == Type::String ? Text() : toConcatText();
    const Text& head = type_ == Type::String ? u_.str->text : converted;
    const size_t length = head.size() + tail.size();
    if (length > kMaxTextLength)
        throw VbError(vberr::OutOfMemory);
    MemoryCharge charge(StringRep::chargeFor(length)); // error 7 before allocating
    Text joined;
    joined.reserve(length);
    joined.append(head).append(tail);
    charge.settle(StringRep::chargeFor(joined.capacity()));
    Value result;
    result.u_.str = new StringRep(std::move(joined), std::move(charge));
    result.type_ = Type::String;
    *this = std::move(result);
}

} // namespace quillet::script

// The script engine's Variant: one 16-byte value that holds any of
// VBScript's subtypes.  Strings, arrays and objects are reference counted
// (not thread safe: an engine and its values belong to one thread), so that
// passing a value around is cheap, `s = s & x` can append in place when the
// string is held only once, and an object's Class_Terminate runs exactly
// when its last reference goes.
//
// Arrays are values in VBScript (assigning one copies it); here they are
// shared until written (copy on write), so the copy costs nothing until one
// side changes.
//
// Strings and arrays charge the memory they hold to the current
// MemoryMeter (memory_meter.h) and credit it when they go, so a script's
// total is bounded as well as each single string and array.
//
// Conversions follow VBScript's implicit and explicit conversion rules and
// throw quillet::VbError (13 Type mismatch, 6 Overflow, 94 Invalid use of
// Null, ...) when VBScript would raise an error.  Whole-number rounding and
// range checks come from common/vb_number.h.
#pragma once

#include "common/text.h"
#include "common/vb_error.h"
#include "common/vb_number.h"
#include "script/metered.h"

#include <bit>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace quillet::script {

class HostObject; // host_object.h: anything a Value can hold as an object

// The subtypes a Value can have.  The numbers of VarType() are given by
// Value::varType(); this enum is only the engine's internal tag.
enum class Type : uint8_t {
    Empty,
    Null,
    Integer,  // 16-bit
    Long,     // 32-bit
    Single,
    Double,
    Currency,
    Date,     // a day serial as a double: 0 = 30 Dec 1899, fraction = time
    Error,    // an error value; kMissingError marks an omitted argument
    Boolean,
    Byte,
    Ref,      // engine-internal: a by-reference slot; never seen by builtins
    // The reference-counted subtypes come last, so that copying or
    // dropping any other value is one comparison and no call.
    String,
    Object,   // a HostObject, or Nothing (null pointer)
    Array,
};

// VarType numbers as VBScript reports them.
namespace vartype {
inline constexpr int Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6,
                     Date = 7, String = 8, Object = 9, Error = 10, Boolean = 11, Variant = 12, Byte = 17,
                     Array = 8192;
}

// The error value of an omitted optional argument (DISP_E_PARAMNOTFOUND).
inline constexpr int32_t kMissingError = static_cast<int32_t>(0x80020004u);

// A string's shared buffer.  `refs` counts the Values holding it.
struct StringRep {
    explicit StringRep(Text&& t) : charge(chargeFor(t.capacity())), text(std::move(t)) {}
    // Takes over a text and the charge already made for it.
    StringRep(Text&& t, MemoryCharge&& c) noexcept : charge(std::move(c)), text(std::move(t)) {}

    // What a rep whose text has room for `capacity` units holds.
    static size_t chargeFor(size_t capacity) noexcept { return sizeof(StringRep) + textHeapBytes(capacity); }
    // Gives the text room for `capacity` units, charged to the current
    // meter before the buffer is allocated (error 7 leaves it as it was).
    void reserve(size_t capacity);

    int refs = 1;
    MemoryCharge charge; // the rep and its text's buffer
    Text text;
};

// One dimension of an array: its lower bound and element count.
struct ArrayDim {
    int32_t lower = 0;
    int32_t count = 0;
    int32_t upper() const { return lower + count - 1; }
};

class Value;

// An array's element storage, charged to the meter current when it was
// made.  Builtins that make arrays fill one and hand it over whole.
using ElementVector = std::vector<Value, MeteredAllocator<Value>>;

// An array's shared storage.  Elements are stored with the first dimension
// varying slowest (element (i, j) of a 3 x 4 array is at i * 4 + j).
struct ArrayRep {
    ArrayRep() = default;
    // An unshared copy of the elements, charged to the current meter.
    ArrayRep(const ArrayRep& other, bool keepFixedSize);
    // A one-dimensional array taking over `values` and its charge (made
    // under the meter current now, as the rep is).
    explicit ArrayRep(ElementVector&& values);
    ArrayRep(const ArrayRep&) = delete;
    ArrayRep& operator=(const ArrayRep&) = delete;

    int refs = 1;
    // Number of by-reference arguments currently pointing into `items`;
    // while non-zero the array cannot be resized or erased (error 10).
    int locks = 0;
    // Arrays declared with a size (`Dim a(3)`) cannot be ReDim'ed (error 10).
    bool fixedSize = false;
    // A String array (what Split and Filter return): every element is a
    // String, and what is stored into one is converted to text first.
    bool textItems = false;
    // The rep and its dimensions (set when it is made), charged before the
    // elements, whose allocator uses the same meter: while the rep lives
    // this charge keeps that meter alive.
    MemoryCharge charge{sizeof(ArrayRep)};
    std::vector<ArrayDim> dims;
    ElementVector items;

    int dimensionCount() const { return static_cast<int>(dims.size()); }
    // Flat index of the given subscripts; error 9 when out of range or
    // when the number of subscripts differs from the dimensions.
    size_t flatIndex(std::span<const int32_t> subscripts) const;
    // The flat index of the `ordinal`-th element in the order For Each
    // visits them: the first subscript running fastest (the elements are
    // stored with the last one fastest).
    size_t storageIndex(size_t ordinal) const;
};

class Value {
public:
    Value() noexcept : type_(Type::Empty) { u_.i64 = 0; }
    ~Value() { if (type_ >= Type::String) releaseHeap(); }
    Value(const Value& other) noexcept : type_(other.type_), u_(other.u_) { if (type_ >= Type::String) retainHeap(); }
    Value(Value&& other) noexcept : type_(other.type_), u_(other.u_) { other.type_ = Type::Empty; }
    Value& operator=(const Value& other) noexcept
    {
        if (this != &other) {
            Value copy(other);
            swap(copy);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        if (this != &other) {
            Value old(std::move(*this));
            type_ = other.type_;
            u_ = other.u_;
            other.type_ = Type::Empty;
        }
        return *this;
    }
    void swap(Value& other) noexcept
    {
        std::swap(type_, other.type_);
        std::swap(u_, other.u_);
    }

    // ---- construction -------------------------------------------------
    static Value empty() { return Value(); }
    static Value null() { Value v; v.type_ = Type::Null; return v; }
    // The payload is written as one whole word: a narrower write followed
    // by a copy of the word stalls the processor (store forwarding fails).
    static Value integer(int16_t i) { return Value(Type::Integer, i); }
    static Value longInt(int32_t i) { return Value(Type::Long, i); }
    static Value single(float f) { return Value(Type::Single, std::bit_cast<uint32_t>(f)); }
    static Value dbl(double d) { Value v; v.type_ = Type::Double; v.u_.d = d; return v; }
    static Value currency(Currency c) { Value v; v.type_ = Type::Currency; v.u_.i64 = c.ticks(); return v; }
    static Value date(double serial) { Value v; v.type_ = Type::Date; v.u_.d = serial; return v; }
    static Value boolean(bool b) { return Value(Type::Boolean, b ? -1 : 0); }
    static Value byte(uint8_t b) { return Value(Type::Byte, b); }
    static Value string(Text text);
    static Value string(TextView text) { return string(Text(text)); }
    static Value string(const char16_t* text) { return string(Text(text)); }
    // Takes a new reference to `object` (nullptr gives Nothing).
    static Value object(HostObject* object);
    static Value nothing() { return object(nullptr); }
    static Value error(int32_t code) { return Value(Type::Error, code); }
    static Value missing() { return error(kMissingError); }
    // Adopts `rep` (its refs already count this Value).
    static Value array(ArrayRep* rep) { Value v; v.type_ = Type::Array; v.u_.arr = rep; return v; }
    // A new zero-based array of Empty elements with the given upper bounds
    // (an upper bound of -1 gives an empty dimension); error 7 when too large.
    static Value newArray(std::span<const int32_t> upperBounds);
    // A new one-dimensional zero-based array taking over `items`.
    static Value arrayOf(ElementVector items);
    // Engine-internal by-reference slot.
    static Value ref(Value* target) { Value v; v.type_ = Type::Ref; v.u_.ref = target; return v; }

    // ---- type information ---------------------------------------------------
    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNull() const { return type_ == Type::Null; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }
    bool isNothing() const { return type_ == Type::Object && u_.obj == nullptr; }
    bool isArray() const { return type_ == Type::Array; }
    bool isMissing() const { return type_ == Type::Error && u_.i32 == kMissingError; }
    bool isRef() const { return type_ == Type::Ref; }
    // Integer, Long, Single, Double, Currency, Byte (not Date, not Boolean).
    bool isNumber() const;
    // VarType number, e.g. 8 for String, 8204 for a Variant array, 8200
    // for a String array.
    int varType() const;
    // TypeName text, e.g. "Integer", "String", "Variant()", "String()", "Nothing", or
    // the object's class name.
    Text typeName() const;

    // ---- raw access (only valid for the matching type) ----------------
    int16_t rawInteger() const { return static_cast<int16_t>(u_.i32); }
    int32_t rawLong() const { return u_.i32; }
    float rawSingle() const { return u_.f; }
    double rawDouble() const { return u_.d; }
    Currency rawCurrency() const { return Currency::fromTicks(u_.i64); }
    double rawDate() const { return u_.d; }
    bool rawBoolean() const { return u_.i32 != 0; }
    uint8_t rawByte() const { return static_cast<uint8_t>(u_.i32); }
    int32_t rawError() const { return u_.i32; }
    const Text& rawText() const { return u_.str->text; }
    HostObject* rawObject() const { return u_.obj; }
    ArrayRep* rawArray() const { return u_.arr; }
    Value* rawRef() const { return u_.ref; }

    // Follows an engine-internal reference; the value itself otherwise.
    const Value& deref() const { return type_ == Type::Ref ? *u_.ref : *this; }
    Value& deref() { return type_ == Type::Ref ? *u_.ref : *this; }

    // ---- conversions (VBScript rules; throw VbError) ------------------
    // Objects convert through their default member (error 438 without one).
    double toDouble() const;            // CDbl; Empty 0, Null error 94, text must be numeric (13)
    int16_t toInt16() const;            // CInt: halves to even, error 6 outside range
    int32_t toInt32() const;            // CLng
    uint8_t toByte() const;             // CByte
    float toSingle() const;             // CSng, error 6 outside range
    Currency toCurrency() const;        // CCur
    bool toBool() const;                // CBool; text "True"/"False" (any case) or numeric
    double toDateSerial() const;        // CDate: numbers as serials, text through the date parser
    Text toText() const;                // CStr; Null error 94, Empty ""
    // CStr except that Null and Empty give "" (the rule of the & operator).
    Text toConcatText() const;
    // The value a numeric operator sees: numbers, Date and Boolean as they
    // are, Empty as Integer 0, text as Double (error 13 unless numeric),
    // objects through their default member.  Null stays Null.
    Value toNumeric() const;
    // Objects replaced by their default value (error 438 without one);
    // every other value unchanged.
    Value withoutObject() const;

    // ---- strings ------------------------------------------------------
    // Appends in place when this value is a String held only here,
    // otherwise makes a new String of toConcatText() + tail.
    void appendText(TextView tail);

    // ---- arrays -------------------------------------------------------
    // Makes this array's storage unshared before writing into it.
    ArrayRep* mutableArray();

private:
    // A 32-bit payload, zero-extended to the whole word.
    Value(Type type, int32_t bits) noexcept : type_(type) { u_.i64 = static_cast<uint32_t>(bits); }
    Value(Type type, uint32_t bits) noexcept : type_(type) { u_.i64 = bits; }

    void retainHeap() noexcept;
    void releaseHeap() noexcept;

    Type type_;
    union {
        int32_t i32;
        int64_t i64;
        float f;
        double d;
        StringRep* str;
        HostObject* obj;
        ArrayRep* arr;
        Value* ref;
    } u_;
};

static_assert(sizeof(Value) == 16, "Value should stay two words");

// Largest number of elements one array may have (about 2^27): ReDim or
// Array beyond it is error 7 "Out of memory" rather than a crash.
inline constexpr size_t kMaxArrayElements = size_t(1) << 27;
// Longest string (in UTF-16 units, 64 MB) the engine builds: error 7
// beyond it, long before the machine runs out of memory.
inline constexpr size_t kMaxTextLength = size_t(1) << 25;

} // namespace quillet::script

// Declarations (Dim, ReDim, Erase) and the in-place append of
// `s = s & a & b`.
#include "script/core/runtime.h"
#include "script/stop_poll.h"

#include <algorithm>

namespace quillet::script {
namespace {

std::vector<int32_t> upperBounds(std::span<Value> bounds)
{
    std::vector<int32_t> out;
    out.reserve(bounds.size());
    for (const Value& b : bounds)
        out.push_back(b.toInt32());
    return out;
}

} // namespace

void Runtime::dimArray(Frame& f, const NameRef& n, std::span<Value> bounds)
{
    Value* target = variablePtr(n, f);
    if (!target)
        throw VbError(vberr::IllegalAssignment);
    if (bounds.empty()) {
        if (!target->isArray())
            *target = Value::array(new ArrayRep);
        return;
    }
    Value array = Value::newArray(upperBounds(bounds));
    array.rawArray()->fixedSize = true;
    *target = std::move(array);
}

// ReDim lets go of the old array and makes a new one: a fixed-size or
// locked array refuses (error 10) before the bounds are read as numbers.
// ReDim Preserve resizes the old array to the bounds read first.
void Runtime::reDim(Frame& f, const NameRef& n, std::span<Value> boundValues, bool preserve)
{
    std::vector<int32_t> bounds;
    if (preserve)
        bounds = upperBounds(boundValues);
    Value* target = variablePtr(n, f);
    if (!target)
        throw VbError(vberr::IllegalAssignment);
    if (target->isArray() && (target->rawArray()->fixedSize || target->rawArray()->locks > 0))
        throw VbError(vberr::ArrayLocked);
    if (!preserve)
        bounds = upperBounds(boundValues);
    Value array = Value::newArray(bounds);
    if (preserve && target->isArray() && !target->rawArray()->dims.empty()) {
        const ArrayRep* old = target->rawArray();
        ArrayRep* fresh = array.rawArray();
        if (old->dims.size() != fresh->dims.size())
            throw VbError(vberr::SubscriptOutOfRange);
        for (size_t d = 0; d + 1 < old->dims.size(); ++d) {
            if (old->dims[d].count != fresh->dims[d].count)
                throw VbError(vberr::SubscriptOutOfRange);
        }
        // Only the last dimension may change: copy row by row.
        const size_t oldLast = static_cast<size_t>(old->dims.back().count);
        const size_t newLast = static_cast<size_t>(fresh->dims.back().count);
        const size_t rows = oldLast == 0 ? 0 : old->items.size() / oldLast;
        const size_t keep = std::min(oldLast, newLast);
        // A String array stays one; its new elements are empty texts.
        fresh->textItems = old->textItems;
        StopPoll poll;
        if (fresh->textItems) {
            for (Value& v : fresh->items) {
                poll.tick();
                v = Value::string(Text());
            }
        }
        for (size_t r = 0; r < rows; ++r) {
            poll.tick(keep + 1);
            for (size_t c = 0; c < keep; ++c)
                fresh->items[r * newLast + c] = old->items[r * oldLast + c];
        }
    }
    *target = std::move(array);
}

void Runtime::erase(Frame& f, const NameRef& n)
{
    Value* target = variablePtr(n, f);
    if (!target || !target->isArray())
        throw VbError(vberr::TypeMismatch);
    if (target->rawArray()->locks > 0)
        throw VbError(vberr::ArrayLocked);
    if (target->rawArray()->fixedSize) {
        ArrayRep* rep = target->mutableArray();
        for (Value& v : rep->items)
            v = Value();
    } else {
        auto* rep = new ArrayRep;
        rep->textItems = target->rawArray()->textItems;
        *target = Value::array(rep);
    }
}

void Runtime::startAppend(Frame& f)
{
    AppendText& append = extrasOf(f).append;
    append.text.clear();
    append.allNull = true;
}

void Runtime::appendStore(Frame& f, const NameRef& n)
{
    // The buffer is kept for the next append of this frame, unless it grew
    // large (kKeptAppendCapacity).  AppendStart made the frame's extras.
    AppendText& append = f.extras->append;
    struct Trim {
        Text& buffer;
        ~Trim()
        {
            if (buffer.capacity() > kKeptAppendCapacity)
                Text().swap(buffer);
        }
    } trim{append.text};
    const bool allNull = append.allNull;
    const Text& tail = append.text;
    Value* target = variableSlot(n, f);
    if (!target) {
        // A property or the like: the general path.
        Value current = evalName(n, f);
        if (!(current.isNull() && allNull))
            current.appendText(tail);
        assignName(n, f, std::move(current), false);
        return;
    }
    if (target->isNull() && allNull)
        return;
    if (target->isArray())
        throw VbError(vberr::TypeMismatch);
    if (target->isObject()) {
        Value converted = Value::string(target->toConcatText());
        converted.appendText(tail);
        *target = std::move(converted);
        return;
    }
    target->appendText(tail);
}

} // namespace quillet::script

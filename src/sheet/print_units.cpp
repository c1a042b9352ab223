#include "sheet/print_units.h"

#include "character/parser.h"
#include "common/vb_error.h"
#include "common/vb_number.h"
#include "script/lib/number_text.h"

#include <cmath>

namespace quillet {

using script::Type;
using script::Value;

int16_t unitFactorOf(int16_t scaleMode)
{
    switch (scaleMode) {
    case 1: return 567;
    case 2: return 1;
    default: return 1440;
    }
}

double scaledProduct(const Value& value, int16_t factor)
{
    const Value v = value.deref().toNumeric();
    switch (v.type()) {
    case Type::Null:
        throw VbError(vberr::InvalidUseOfNull);
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
    case Type::Boolean:
        return static_cast<double>(static_cast<int64_t>(v.toInt32()) * factor);
    case Type::Single:
        return static_cast<double>(v.rawSingle() * static_cast<float>(factor));
    default:
        return v.toDouble() * factor;
    }
}

int32_t roundedTwips(double product)
{
    return toInt32(product);
}

std::optional<bool> flagValue(const Value& value)
{
    const Value& v = value.deref();
    if (v.isMissing() || v.isEmpty() || v.isNull())
        return std::nullopt;
    return v.toBool();
}

Text convertTableFormat(TextView format, int16_t factor)
{
    SplitText(format, u"<>^=+_~!|", 0);
    const int16_t pieces = SplitPartCount();
    Text out;
    out.reserve(format.size() + 8);
    for (int16_t i = 1; i <= pieces; ++i) {
        const Text piece = SplitPart(i);
        const double number = leadingNumber(piece);
        if (number != 0)
            out += script::numberToText(number * factor);
        else
            out += piece;
        out += SplitSeparator(i);
    }
    return out;
}

PictureSize fitPicture(int32_t width, int32_t height, int32_t imageWidth, int32_t imageHeight)
{
    if (imageWidth == 0 || imageHeight == 0)
        throw VbError(vberr::DivisionByZero);
    auto product = [](int32_t a, int32_t b) {
        const int64_t p = static_cast<int64_t>(a) * b;
        if (p > INT32_MAX || p < INT32_MIN)
            throw VbError(vberr::Overflow);
        return static_cast<int32_t>(p);
    };
    int32_t w = width;
    int32_t h = roundedTwips(static_cast<double>(product(width, imageHeight)) / imageWidth);
    if (h > height) {
        h = height;
        w = roundedTwips(static_cast<double>(product(height, imageWidth)) / imageHeight);
    }
    return {w, h};
}

} // namespace quillet

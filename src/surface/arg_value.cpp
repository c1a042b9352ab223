#include "surface/arg_value.h"

#include "common/vb_error.h"
#include "common/vb_number.h"

namespace quillet::surface {

bool truthOf(const ArgValue& value, bool fallback)
{
    switch (value.kind) {
    case ArgValue::Kind::Omitted:
    case ArgValue::Kind::Empty:
    case ArgValue::Kind::Null:
        return fallback;
    case ArgValue::Kind::Boolean:
    case ArgValue::Kind::Number:
        return value.number != 0;
    case ArgValue::Kind::String:
        break;
    }
    Text trimmed = trimSpaces(value.text);
    if (equalsIgnoreCase(trimmed, u"True"))
        return true;
    if (equalsIgnoreCase(trimmed, u"False"))
        return false;
    if (auto number = parseNumericText(value.text))
        return *number != 0;
    throw VbError(vberr::TypeMismatch);
}

std::optional<Rgb> shadeOf(const ArgValue& value)
{
    double number = 0;
    switch (value.kind) {
    case ArgValue::Kind::Omitted:
    case ArgValue::Kind::Empty:
    case ArgValue::Kind::Null:
        return std::nullopt;
    case ArgValue::Kind::Boolean:
    case ArgValue::Kind::Number:
        number = value.number;
        break;
    case ArgValue::Kind::String: {
        if (value.text.empty())
            return std::nullopt;
        auto parsed = parseNumericText(value.text);
        if (!parsed)
            throw VbError(vberr::TypeMismatch);
        number = *parsed;
        break;
    }
    }
    // Sheets pass 0 or False to mean "no shading": a black fill under black
    // text is never what they meant.
    const int32_t colour = toInt32(number);
    if (colour == 0)
        return std::nullopt;
    return rgbFromNumber(colour);
}

} // namespace quillet::surface

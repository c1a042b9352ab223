// A value that the print object passes through exactly as the script gave
// it (the wrap, calc and shade flags of a text box; the shade colours and
// the append flag of a table).  The surface decides what each kind means.
#pragma once

#include "common/text.h"
#include "surface/rgb_colour.h"

#include <optional>

namespace quillet::surface {

struct ArgValue {
    enum class Kind { Omitted, Empty, Null, Boolean, Number, String };

    Kind kind = Kind::Omitted;
    double number = 0;  // Number; Boolean as -1 or 0
    Text text;          // String

    static ArgValue omitted() { return {}; }
    static ArgValue empty() { return {Kind::Empty, 0, {}}; }
    static ArgValue null() { return {Kind::Null, 0, {}}; }
    static ArgValue boolean(bool value) { return {Kind::Boolean, value ? -1.0 : 0.0, {}}; }
    static ArgValue fromNumber(double value) { return {Kind::Number, value, {}}; }
    static ArgValue string(Text value) { return {Kind::String, 0, std::move(value)}; }

    bool isMissing() const { return kind == Kind::Omitted || kind == Kind::Empty || kind == Kind::Null; }
};

// A flag: a true value, a non-zero number, or text reading as either
// ("True", "False", a number).  Omitted, Empty and Null give `fallback`.
// Other text is error 13 (type mismatch).
bool truthOf(const ArgValue& value, bool fallback);

// A shade colour: a number (or numeric text, or True as -1) is that
// colour; 0, False, omitted, Empty, Null and "" mean no shading.  Other
// text is error 13; a number beyond 32 bits is error 6.
std::optional<Rgb> shadeOf(const ArgValue& value);

} // namespace quillet::surface

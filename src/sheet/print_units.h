// The print object's unit rules: scripts work in inches, centimetres or
// twips, the surface in twips only.
#pragma once

#include "common/text.h"
#include "script/value.h"

#include <cstdint>

namespace quillet {

// Twips per script unit for a scale mode: 0 inch (1440), 1 centimetre
// (567), 2 twip (1); any other mode counts as inches.
int16_t unitFactorOf(int16_t scaleMode);

// A coordinate or length times the unit factor, computed in the kind of
// the script's value: whole numbers exactly, a Single in single precision,
// anything else (fractional numbers, numeric text) in double precision.
// Null is error 94, text that is no number error 13.
double scaledProduct(const script::Value& value, int16_t factor);

// The product rounded to the nearest whole twip, halves to even; error 6
// outside the 32-bit range.
int32_t roundedTwips(double product);

// Truth of a flag argument: a true value, a non-zero number, or text that
// reads as either.  Omitted, Empty and Null give nullopt.
std::optional<bool> flagValue(const script::Value& value);

// A table format with every column width converted from script units to
// twips: the pieces between the markers "<>^=+_~!|" that start with a
// non-zero number become that number times the factor; others stay as
// they are.
Text convertTableFormat(TextView format, int16_t factor);

// Where a picture of iw x ih pixels goes in a box of width x height twips
// when it keeps its proportions: it fills the width unless it would then be
// taller than the box, and then it fills the height.
struct PictureSize {
    int32_t width;
    int32_t height;
};
PictureSize fitPicture(int32_t width, int32_t height, int32_t imageWidth, int32_t imageHeight);

} // namespace quillet

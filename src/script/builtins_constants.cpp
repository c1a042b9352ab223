// The vb... constants.  Most numbers are Integer; the colours, the MsgBox
// options from vbMsgBoxHelpButton on and vbObjectError are Long, whatever
// their value, as VBScript types them (VarType(vbBlack) is vbLong).
#include "script/builtins_support.h"

namespace quillet::script {

namespace {

struct LongConstant {
    const char16_t* name;
    int32_t value;
};

constexpr LongConstant kLongs[] = {
    // Colours (red in the low byte).
    {u"vbBlack", 0x000000}, {u"vbRed", 0x0000FF}, {u"vbGreen", 0x00FF00}, {u"vbYellow", 0x00FFFF},
    {u"vbBlue", 0xFF0000}, {u"vbMagenta", 0xFF00FF}, {u"vbCyan", 0xFFFF00}, {u"vbWhite", 0xFFFFFF},
    {u"vbMsgBoxHelpButton", 16384}, {u"vbMsgBoxSetForeground", 65536}, {u"vbMsgBoxRight", 524288},
    {u"vbMsgBoxRtlReading", 1048576},
    // Base of user-defined error numbers.
    {u"vbObjectError", static_cast<int32_t>(0x80040000u)},
};

struct IntegerConstant {
    const char16_t* name;
    int16_t value;
};

constexpr IntegerConstant kIntegers[] = {
    // Comparison.
    {u"vbBinaryCompare", 0}, {u"vbTextCompare", 1}, {u"vbDatabaseCompare", 2},
    // Days of the week and the first week of the year.
    {u"vbUseSystemDayOfWeek", 0}, {u"vbSunday", 1}, {u"vbMonday", 2}, {u"vbTuesday", 3},
    {u"vbWednesday", 4}, {u"vbThursday", 5}, {u"vbFriday", 6}, {u"vbSaturday", 7},
    {u"vbUseSystem", 0}, {u"vbFirstJan1", 1}, {u"vbFirstFourDays", 2}, {u"vbFirstFullWeek", 3},
    // FormatDateTime.
    {u"vbGeneralDate", 0}, {u"vbLongDate", 1}, {u"vbShortDate", 2}, {u"vbLongTime", 3}, {u"vbShortTime", 4},
    // Tristate.
    {u"vbUseDefault", -2}, {u"vbTrue", -1}, {u"vbFalse", 0},
    // VarType.
    {u"vbEmpty", 0}, {u"vbNull", 1}, {u"vbInteger", 2}, {u"vbLong", 3}, {u"vbSingle", 4},
    {u"vbDouble", 5}, {u"vbCurrency", 6}, {u"vbDate", 7}, {u"vbString", 8}, {u"vbObject", 9},
    {u"vbError", 10}, {u"vbBoolean", 11}, {u"vbVariant", 12}, {u"vbDataObject", 13},
    {u"vbDecimal", 14}, {u"vbByte", 17}, {u"vbArray", 8192},
    // MsgBox buttons, icons and options.
    {u"vbOKOnly", 0}, {u"vbOKCancel", 1}, {u"vbAbortRetryIgnore", 2}, {u"vbYesNoCancel", 3},
    {u"vbYesNo", 4}, {u"vbRetryCancel", 5}, {u"vbCritical", 16}, {u"vbQuestion", 32},
    {u"vbExclamation", 48}, {u"vbInformation", 64}, {u"vbDefaultButton1", 0},
    {u"vbDefaultButton2", 256}, {u"vbDefaultButton3", 512}, {u"vbDefaultButton4", 768},
    {u"vbApplicationModal", 0}, {u"vbSystemModal", 4096},
    // MsgBox answers.
    {u"vbOK", 1}, {u"vbCancel", 2}, {u"vbAbort", 3}, {u"vbRetry", 4}, {u"vbIgnore", 5},
    {u"vbYes", 6}, {u"vbNo", 7},
};

struct TextConstant {
    const char16_t* name;
    const char16_t* value;
    size_t length;
};

constexpr TextConstant kTexts[] = {
    {u"vbCr", u"\r", 1},       {u"vbLf", u"\n", 1},       {u"vbCrLf", u"\r\n", 2},
    {u"vbNewLine", u"\r\n", 2}, {u"vbTab", u"\t", 1},      {u"vbFormFeed", u"\f", 1},
    {u"vbVerticalTab", u"\v", 1}, {u"vbNullChar", u"\0", 1}, {u"vbNullString", u"", 0},
};

} // namespace

void registerConstants(BuiltinRegistry& registry)
{
    for (const IntegerConstant& c : kIntegers)
        registry.addConstant(c.name, Value::integer(c.value));
    for (const LongConstant& c : kLongs)
        registry.addConstant(c.name, Value::longInt(c.value));
    for (const TextConstant& c : kTexts)
        registry.addConstant(c.name, Value::string(Text(c.value, c.length)));
}

} // namespace quillet::script

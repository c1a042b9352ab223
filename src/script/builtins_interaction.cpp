// MsgBox and InputBox (answered by the host's callbacks), RGB and the
// ScriptEngine version functions.
#include "script/builtins_support.h"

namespace quillet::script {

namespace {

constexpr int kMajorVersion = 5;
constexpr int kMinorVersion = 8;
constexpr int kBuildVersion = 16384;

Text optionalText(std::span<Value> a, size_t i, Text fallback)
{
    return hasArg(a, i) ? a[i].toText() : std::move(fallback);
}

Value fnMsgBox(Context& context, std::span<Value> a)
{
    const Text prompt = a[0].toText();
    const int32_t buttons = intArg(a, 1, 0);
    const Text title = optionalText(a, 2, u"VBScript");
    // Without a host to ask, the box is acknowledged as if OK was pressed.
    const int answer = context.ui.messageBox ? context.ui.messageBox(prompt, buttons, title) : 1;
    return Value::integer(static_cast<int16_t>(answer));
}

Value fnInputBox(Context& context, std::span<Value> a)
{
    const Text prompt = a[0].toText();
    const Text title = optionalText(a, 1, u"VBScript");
    const Text defaultText = optionalText(a, 2, Text());
    if (!context.ui.inputBox)
        return Value::string(defaultText);
    std::optional<Text> answer = context.ui.inputBox(prompt, title, defaultText);
    return Value::string(answer ? std::move(*answer) : Text());
}

int32_t colourPart(const Value& v)
{
    const int32_t n = v.toInt32();
    if (n < 0)
        throw VbError(vberr::InvalidCall);
    return n > 255 ? 255 : n;
}

Value fnRGB(Context&, std::span<Value> a)
{
    return Value::longInt(colourPart(a[0]) | (colourPart(a[1]) << 8) | (colourPart(a[2]) << 16));
}

// The engine formats in one fixed locale, US English; SetLocale accepts a
// locale but formatting stays as it is, and reports US English as the
// previous one.
constexpr int32_t kUsEnglish = 1033;
Value fnGetLocale(Context&, std::span<Value>) { return Value::longInt(kUsEnglish); }
Value fnSetLocale(Context&, std::span<Value>) { return Value::longInt(kUsEnglish); }

Value fnScriptEngine(Context&, std::span<Value>) { return Value::string(u"VBScript"); }
Value fnMajor(Context&, std::span<Value>) { return Value::longInt(kMajorVersion); }
Value fnMinor(Context&, std::span<Value>) { return Value::longInt(kMinorVersion); }
Value fnBuild(Context&, std::span<Value>) { return Value::longInt(kBuildVersion); }

constexpr BuiltinEntry kInteraction[] = {
    {u"MsgBox", 1, 5, fnMsgBox},
    {u"InputBox", 1, 7, fnInputBox},
    {u"RGB", 3, 3, fnRGB},
    {u"GetLocale", 0, 0, fnGetLocale},
    {u"SetLocale", 0, 1, fnSetLocale},
    {u"ScriptEngine", 0, 0, fnScriptEngine},
    {u"ScriptEngineMajorVersion", 0, 0, fnMajor},
    {u"ScriptEngineMinorVersion", 0, 0, fnMinor},
    {u"ScriptEngineBuildVersion", 0, 0, fnBuild},
};

} // namespace

void registerInteractionBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kInteraction);
}

} // namespace quillet::script

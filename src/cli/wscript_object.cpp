#include "cli/wscript_object.h"

#include <memory>

namespace quillet::cli {
namespace {

using script::Access;
using script::ArgKind;
using script::NativeClass;
using script::NativeMember;
using script::NativeObject;
using script::Value;

// WScript.Arguments: a read-only list of the command-line arguments.
class ArgumentsObject final : public NativeObject {
public:
    explicit ArgumentsObject(std::vector<Text> items) : NativeObject(cls()), items_(std::move(items)) {}

    std::unique_ptr<script::Enumerator> enumerate() override
    {
        struct Walk final : script::Enumerator {
            explicit Walk(const std::vector<Text>& items) : items(items) {}
            bool next(Value& out) override
            {
                if (i >= items.size())
                    return false;
                out = Value::string(items[i++]);
                return true;
            }
            const std::vector<Text>& items;
            size_t i = 0;
        };
        return std::make_unique<Walk>(items_);
    }

private:
    static const NativeClass& cls()
    {
        static const NativeClass c = [] {
            NativeClass k(u"Object");
            auto item = [](NativeObject& o, std::span<Value> args) {
                const auto& items = static_cast<ArgumentsObject&>(o).items_;
                const int32_t i = args[0].rawLong();
                if (i < 0 || static_cast<size_t>(i) >= items.size())
                    throw VbError(vberr::SubscriptOutOfRange);
                return Value::string(items[static_cast<size_t>(i)]);
            };
            auto count = [](NativeObject& o, std::span<Value>) {
                return Value::longInt(static_cast<int32_t>(static_cast<ArgumentsObject&>(o).items_.size()));
            };
            k.add({u"Item", {ArgKind::Int32}, 1, 0, item, {}, {}}, true);
            k.add({u"Count", {}, 0, 0, count, {}, {}});
            k.add({u"Length", {}, 0, 0, count, {}, {}});
            return k;
        }();
        return c;
    }

    std::vector<Text> items_;
};

class WScriptObject final : public NativeObject {
public:
    WScriptObject(std::ostream& out, std::vector<Text> arguments, Text name, Text fullName)
        : NativeObject(cls()),
          out_(out),
          arguments_(script::makeObject<ArgumentsObject>(std::move(arguments))),
          name_(std::move(name)),
          fullName_(std::move(fullName))
    {
    }

private:
    static WScriptObject& self(NativeObject& o) { return static_cast<WScriptObject&>(o); }

    static const NativeClass& cls()
    {
        static const NativeClass c = [] {
            NativeClass k(u"Object");
            // Echo takes any number of arguments, printed with blanks between.
            k.add({u"Echo", std::vector<ArgKind>(64, ArgKind::Any), 0, 0,
                   [](NativeObject& o, std::span<Value> args) {
                       Text line;
                       for (size_t i = 0; i < args.size(); ++i) {
                           if (i > 0)
                               line.push_back(u' ');
                           if (!args[i].isMissing())
                               line += args[i].toConcatText();
                       }
                       self(o).out_ << toUtf8(line) << '\n';
                       return Value();
                   },
                   {}, {}});
            k.add({u"Quit", {ArgKind::Int32}, 0, 0,
                   [](NativeObject&, std::span<Value> args) -> Value {
                       throw QuitRequest{args.empty() || args[0].isMissing() ? 0 : args[0].rawLong()};
                   },
                   {}, {}});
            k.add({u"Arguments", {}, 0, 0, [](NativeObject& o, std::span<Value>) { return self(o).arguments_; }, {}, {}});
            k.add({u"ScriptName", {}, 0, 0,
                   [](NativeObject& o, std::span<Value>) { return Value::string(self(o).name_); }, {}, {}});
            k.add({u"ScriptFullName", {}, 0, 0,
                   [](NativeObject& o, std::span<Value>) { return Value::string(self(o).fullName_); }, {}, {}});
            k.add({u"Name", {}, 0, 0,
                   [](NativeObject&, std::span<Value>) { return Value::string(u"Windows Script Host"); }, {}, {}});
            return k;
        }();
        return c;
    }

    std::ostream& out_;
    Value arguments_;
    Text name_;
    Text fullName_;
};

} // namespace

script::Value makeWScriptObject(std::ostream& out, std::vector<Text> arguments, Text scriptName, Text scriptFullName)
{
    return script::makeObject<WScriptObject>(out, std::move(arguments), std::move(scriptName),
                                             std::move(scriptFullName));
}

} // namespace quillet::cli

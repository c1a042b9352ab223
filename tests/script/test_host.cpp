#include "test_host.h"

#include <memory>
#include <vector>

namespace quillet::script::testing {
namespace {

class TestHost final : public NativeObject {
public:
    TestHost() : NativeObject(cls()) {}

    std::unique_ptr<Enumerator> enumerate() override
    {
        struct Walk final : Enumerator {
            explicit Walk(std::vector<Value> v) : items(std::move(v)) {}
            bool next(Value& out) override
            {
                if (i >= items.size())
                    return false;
                out = items[i++];
                return true;
            }
            std::vector<Value> items;
            size_t i = 0;
        };
        return std::make_unique<Walk>(items_);
    }

private:
    static TestHost& self(NativeObject& o) { return static_cast<TestHost&>(o); }
    static Value& item(NativeObject& o, std::span<Value> a)
    {
        auto& items = self(o).items_;
        const int32_t i = a[0].rawLong();
        if (i < 0 || static_cast<size_t>(i) >= items.size())
            throw VbError(vberr::SubscriptOutOfRange);
        return items[static_cast<size_t>(i)];
    }

    static const NativeClass& cls()
    {
        static const NativeClass c = [] {
            NativeClass k(u"TestHost");
            k.add({u"Item", {ArgKind::Int32}, 1, 0, [](NativeObject& o, std::span<Value> a) { return item(o, a); },
                   [](NativeObject& o, std::span<Value> a, const Value& v) { item(o, a) = v; }, {}},
                  true);
            k.add({u"Name", {}, 0, 0, [](NativeObject& o, std::span<Value>) { return Value::string(self(o).name_); },
                   [](NativeObject& o, std::span<Value>, const Value& v) { self(o).name_ = v.toText(); }, {}});
            k.add({u"Count", {}, 0, 0,
                   [](NativeObject& o, std::span<Value>) {
                       return Value::longInt(static_cast<int32_t>(self(o).items_.size()));
                   },
                   {}, {}});
            k.add({u"Add", {ArgKind::Any}, 1, 0,
                   [](NativeObject& o, std::span<Value> a) {
                       self(o).items_.push_back(a[0]);
                       return Value();
                   },
                   {}, {}});
            k.add({u"Twice", {ArgKind::Any}, 1, 1,
                   [](NativeObject&, std::span<Value> a) {
                       a[0] = Value::dbl(a[0].toDouble() * 2);
                       return Value();
                   },
                   {}, {}});
            k.add({u"Greet", {ArgKind::Text, ArgKind::Text}, 1, 0,
                   [](NativeObject&, std::span<Value> a) {
                       const Text greeting = a.size() > 1 && !a[1].isMissing() ? a[1].rawText() : Text(u"Hello");
                       return Value::string(greeting + u", " + a[0].rawText());
                   },
                   {}, {}});
            k.add({u"Kinds",
                   {ArgKind::Int16, ArgKind::Int32, ArgKind::Single, ArgKind::Double, ArgKind::Currency,
                    ArgKind::Bool, ArgKind::Text},
                   7, 0,
                   [](NativeObject&, std::span<Value> a) {
                       Text out;
                       for (const Value& v : a) {
                           if (!out.empty())
                               out += u" ";
                           out += v.typeName() + u":" + v.toText();
                       }
                       return Value::string(out);
                   },
                   {}, {}});
            k.add({u"Child", {}, 0, 0, [](NativeObject& o, std::span<Value>) { return self(o).child_; }, {},
                   [](NativeObject& o, std::span<Value>, const Value& v) { self(o).child_ = v; }});
            k.add({u"Fail", {ArgKind::Int32}, 1, 0,
                   [](NativeObject&, std::span<Value> a) -> Value { throw VbError(a[0].rawLong()); }, {}, {}});
            return k;
        }();
        return c;
    }

    std::vector<Value> items_;
    Text name_ = u"host";
    Value child_ = Value::nothing();
};

class MethodsHost final : public HostObject {
public:
    MethodsHost(Text typeName, std::vector<std::pair<Text, HostMethod>> methods)
        : typeName_(std::move(typeName)), methods_(std::move(methods))
    {
    }
    Text typeName() const override { return typeName_; }
    int findMember(TextView name) const override
    {
        for (size_t i = 0; i < methods_.size(); ++i)
            if (equalsIgnoreCase(methods_[i].first, name))
                return static_cast<int>(i) + 1;
        return kNoMember;
    }
    Value invoke(int member, Access, std::span<Value> args) override
    {
        if (member < 1 || static_cast<size_t>(member) > methods_.size())
            throw VbError(vberr::NoSuchMember);
        return methods_[static_cast<size_t>(member) - 1].second(args);
    }

private:
    Text typeName_;
    std::vector<std::pair<Text, HostMethod>> methods_;
};

} // namespace

Value makeTestHost()
{
    return makeObject<TestHost>();
}

Value makeMethodsHost(Text typeName, std::vector<std::pair<Text, HostMethod>> methods)
{
    return makeObject<MethodsHost>(std::move(typeName), std::move(methods));
}

} // namespace quillet::script::testing

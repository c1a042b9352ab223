#include "script/objects/regexp.h"

#include "script/objects/native_member.h"
#include "script/stop_poll.h"

namespace quillet::script {

namespace {

// ---- SubMatches ---------------------------------------------------------

class SubMatches : public NativeObject {
public:
    explicit SubMatches(std::vector<Value> values);
    MemoryCharge charge;
    std::vector<Value> values;
    Value at(int32_t index) const
    {
        if (index < 0 || index >= static_cast<int32_t>(values.size()))
            throw VbError(vberr::InvalidCall);
        return values[static_cast<size_t>(index)];
    }
    std::unique_ptr<Enumerator> enumerate() override;
};

class ListEnumerator : public Enumerator {
public:
    explicit ListEnumerator(std::vector<Value> items) : items_(std::move(items)) {}
    bool next(Value& out) override
    {
        if (at_ >= items_.size())
            return false;
        out = items_[at_++];
        return true;
    }

private:
    std::vector<Value> items_;
    size_t at_ = 0;
};

const NativeClass& subMatchesClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"ISubMatches");
        c.add(nativeMember(u"Item", {ArgKind::Int32}, 1,
               [](NativeObject& o, std::span<Value> a) {
                   return static_cast<SubMatches&>(o).at(a[0].rawLong());
               }),
              true);
        c.add(nativeMember(u"Count", {}, 0, [](NativeObject& o, std::span<Value>) {
                   return Value::longInt(static_cast<int32_t>(static_cast<SubMatches&>(o).values.size()));
               }));
        return c;
    }();
    return cls;
}

SubMatches::SubMatches(std::vector<Value> v)
    : NativeObject(subMatchesClass()), charge(sizeof(SubMatches) + v.capacity() * sizeof(Value)), values(std::move(v))
{
}

std::unique_ptr<Enumerator> SubMatches::enumerate()
{
    return std::make_unique<ListEnumerator>(values);
}

// ---- Match --------------------------------------------------------------

class MatchObject : public NativeObject {
public:
    MatchObject(Text value, int32_t firstIndex, Value subMatches);
    MemoryCharge charge;
    Text value;
    int32_t firstIndex;
    Value subMatches;
};

MatchObject& matchSelf(NativeObject& o) { return static_cast<MatchObject&>(o); }

const NativeClass& matchClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"IMatch2");
        c.add(nativeMember(u"Value", {}, 0, [](NativeObject& o, std::span<Value>) { return Value::string(matchSelf(o).value); }),
              true);
        c.add(nativeMember(u"FirstIndex", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::longInt(matchSelf(o).firstIndex); }));
        c.add(nativeMember(u"Length", {}, 0, [](NativeObject& o, std::span<Value>) {
                   return Value::longInt(static_cast<int32_t>(matchSelf(o).value.size()));
               }));
        // m.SubMatches(i) indexes the collection directly, as scripts write it.
        c.add(nativeMember(u"SubMatches", {ArgKind::Any}, 0, [](NativeObject& o, std::span<Value> a) {
            const Value& subs = matchSelf(o).subMatches;
            if (a.empty() || a[0].isMissing())
                return subs;
            return static_cast<SubMatches*>(subs.rawObject())->at(a[0].toInt32());
        }));
        return c;
    }();
    return cls;
}

MatchObject::MatchObject(Text v, int32_t first, Value subs)
    : NativeObject(matchClass()), charge(sizeof(MatchObject) + textHeapBytes(v.capacity())), value(std::move(v)),
      firstIndex(first), subMatches(std::move(subs))
{
}

// ---- Matches ------------------------------------------------------------

class Matches : public NativeObject {
public:
    explicit Matches(std::vector<Value> items);
    MemoryCharge charge;
    std::vector<Value> items;
    std::unique_ptr<Enumerator> enumerate() override { return std::make_unique<ListEnumerator>(items); }
};

const NativeClass& matchesClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"IMatchCollection2");
        c.add(nativeMember(u"Item", {ArgKind::Int32}, 1,
               [](NativeObject& o, std::span<Value> a) {
                   const auto& items = static_cast<Matches&>(o).items;
                   const int32_t i = a[0].rawLong();
                   if (i < 0 || i >= static_cast<int32_t>(items.size()))
                       throw VbError(vberr::InvalidCall);
                   return items[static_cast<size_t>(i)];
               }),
              true);
        c.add(nativeMember(u"Count", {}, 0, [](NativeObject& o, std::span<Value>) {
                   return Value::longInt(static_cast<int32_t>(static_cast<Matches&>(o).items.size()));
               }));
        return c;
    }();
    return cls;
}

Matches::Matches(std::vector<Value> v)
    : NativeObject(matchesClass()), charge(sizeof(Matches) + v.capacity() * sizeof(Value)), items(std::move(v))
{
}

Value matchValue(const Text& text, const RegexMatch& m)
{
    std::vector<Value> subs;
    subs.reserve(m.groups.size());
    for (const RegexMatch::Span& g : m.groups)
        subs.push_back(g.matched() ? Value::string(text.substr(g.start, g.end - g.start)) : Value());
    return makeObject<MatchObject>(text.substr(m.whole.start, m.whole.end - m.whole.start),
                                   static_cast<int32_t>(m.whole.start), makeObject<SubMatches>(std::move(subs)));
}

// ---- RegExp -------------------------------------------------------------

RegExpObject& regexpSelf(NativeObject& o) { return static_cast<RegExpObject&>(o); }

template <bool RegExpObject::*Flag>
NativeMember flagMember(const char16_t* name)
{
    return nativeMember(
        name, {}, 0, [](NativeObject& o, std::span<Value>) { return Value::boolean(regexpSelf(o).*Flag); },
        [](NativeObject& o, std::span<Value>, const Value& v) { regexpSelf(o).*Flag = v.toBool(); });
}

const NativeClass& regexpClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"IRegExp2");
        c.add(nativeMember(u"Pattern", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::string(regexpSelf(o).pattern()); },
               [](NativeObject& o, std::span<Value>, const Value& v) { regexpSelf(o).setPattern(automationText(v)); }));
        c.add(flagMember<&RegExpObject::ignoreCase>(u"IgnoreCase"));
        c.add(flagMember<&RegExpObject::global>(u"Global"));
        c.add(flagMember<&RegExpObject::multiline>(u"Multiline"));
        c.add(nativeMember(u"Test", {ArgKind::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
                   return Value::boolean(regexpSelf(o).test(a[0].rawText()));
               }));
        c.add(nativeMember(u"Execute", {ArgKind::AutomationText}, 1,
               [](NativeObject& o, std::span<Value> a) { return regexpSelf(o).execute(a[0].rawText()); }));
        // The replacement is a text with $ tokens, or an object whose default
        // member (a GetRef function, a class's default method) makes each
        // replacement.  Like every text the object reads, a Boolean
        // replacement is "-1" or "0".
        c.add(nativeMember(u"Replace", {ArgKind::AutomationText, ArgKind::Any}, 2, [](NativeObject& o, std::span<Value> a) {
                   if (a[1].isObject() && !a[1].isNothing())
                       return Value::string(regexpSelf(o).replace(a[0].rawText(), *a[1].rawObject()));
                   return Value::string(regexpSelf(o).replace(a[0].rawText(), automationText(a[1])));
               }));
        return c;
    }();
    return cls;
}

// Work allowed for one call: enough for any sane pattern over the text
// (it grows with the text), far too little for exponential backtracking.
RegexBudget budgetFor(const Text& text)
{
    return RegexBudget(RegexBudget::kDefaultSteps + 200 * static_cast<long long>(text.size()));
}

} // namespace

RegExpObject::RegExpObject() : NativeObject(regexpClass()) {}

void RegExpObject::setPattern(Text pattern)
{
    MemoryCharge charge(textHeapBytes(pattern.capacity()));
    pattern_ = std::move(pattern);
    patternCharge_ = std::move(charge);
}

const Regex& RegExpObject::compiled()
{
    const RegexOptions options{ignoreCase, multiline};
    if (!regex_ || compiledPattern_ != pattern_ || compiledOptions_.ignoreCase != options.ignoreCase ||
        compiledOptions_.multiline != options.multiline) {
        regex_.reset();
        compiledPattern_.clear();
        compiledPatternCharge_ = MemoryCharge();
        MemoryCharge charge(textHeapBytes(pattern_.size()));
        regex_.emplace(pattern_, options);
        compiledPattern_ = pattern_;
        charge.settle(textHeapBytes(compiledPattern_.capacity()));
        compiledPatternCharge_ = std::move(charge);
        compiledOptions_ = options;
    }
    return *regex_;
}

void RegExpObject::findAll(const Text& text, RegexBudget& budget, FoundMatches& found)
{
    const Regex& re = compiled();
    size_t from = 0;
    while (from <= text.size()) {
        std::optional<RegexMatch> m = re.search(text, from, budget);
        if (!m)
            break;
        found.groupsCharge.grow(m->groups.capacity() * sizeof(RegexMatch::Span));
        found.list.push_back(std::move(*m));
        if (!global)
            break;
        const size_t end = static_cast<size_t>(found.list.back().whole.end);
        from = end == static_cast<size_t>(found.list.back().whole.start) ? end + 1 : end;
    }
}

bool RegExpObject::test(const Text& text)
{
    RegexBudget budget = budgetFor(text);
    return compiled().search(text, 0, budget).has_value();
}

Value RegExpObject::execute(const Text& text)
{
    RegexBudget budget = budgetFor(text);
    FoundMatches found;
    findAll(text, budget, found);
    std::vector<Value> items;
    items.reserve(found.list.size());
    StopPoll poll(1024);
    for (const RegexMatch& m : found.list) {
        poll.tick();
        items.push_back(matchValue(text, m));
    }
    return makeObject<Matches>(std::move(items));
}

Text RegExpObject::replaceEach(const Text& text, const std::function<Text(const RegexMatch&)>& replacementOf)
{
    RegexBudget budget = budgetFor(text);
    // Every match is found before any replacement is made, so a replacer
    // that changes this object's Pattern cannot disturb the search.
    FoundMatches found;
    findAll(text, budget, found);
    Text out;
    size_t copied = 0;
    StopPoll poll(1024);
    for (const RegexMatch& m : found.list) {
        poll.tick();
        out.append(text, copied, static_cast<size_t>(m.whole.start) - copied);
        out += replacementOf(m);
        copied = static_cast<size_t>(m.whole.end);
        if (out.size() > kMaxTextLength)
            throw VbError(vberr::OutOfMemory);
    }
    out.append(text, copied);
    return out;
}

Text RegExpObject::replace(const Text& text, const Text& replacement)
{
    return replaceEach(text, [&](const RegexMatch& m) { return expandReplacement(replacement, text, m); });
}

Text RegExpObject::replace(const Text& text, HostObject& replacer)
{
    // Called as replacer(match, submatch1, ..., position, source).
    return replaceEach(text, [&](const RegexMatch& m) {
        std::vector<Value> args;
        args.reserve(m.groups.size() + 3);
        args.push_back(Value::string(text.substr(m.whole.start, m.whole.end - m.whole.start)));
        for (const RegexMatch::Span& g : m.groups)
            args.push_back(g.matched() ? Value::string(text.substr(g.start, g.end - g.start)) : Value());
        args.push_back(Value::longInt(static_cast<int32_t>(m.whole.start)));
        args.push_back(Value::string(text));
        return replacer.invoke(kDefaultMember, Access::Get, args).toConcatText();
    });
}

Value makeRegExp(Context&)
{
    return makeObject<RegExpObject>();
}

} // namespace quillet::script

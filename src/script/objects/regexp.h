// The RegExp object and its results: Match, Matches (the collection
// Execute returns) and SubMatches.
//
// Engine hook: `New RegExp` resolves to makeRegExp() (registered by the
// runtime library with BuiltinRegistry::addClass under the name "RegExp").
// TypeName gives "IRegExp2", "IMatchCollection2", "IMatch2" and
// "ISubMatches", as scripts see them.
#pragma once

#include "script/builtins.h"
#include "script/host_object.h"
#include "script/lib/regex.h"
#include "script/metered.h"

#include <functional>
#include <optional>

namespace quillet::script {

class RegExpObject : public NativeObject {
public:
    RegExpObject();

    // The Pattern property: charged to the current meter (error 7 leaves the
    // old pattern).
    const Text& pattern() const { return pattern_; }
    void setPattern(Text pattern);

    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;

    bool test(const Text& text);
    Value execute(const Text& text);
    Text replace(const Text& text, const Text& replacement);
    // Each replacement made by calling the default member of `replacer`.
    Text replace(const Text& text, HostObject& replacer);

private:
    // The matches of one call, charged to the current meter as they are
    // found (a global search over a long text finds millions).
    struct FoundMatches {
        MemoryCharge groupsCharge;
        std::vector<RegexMatch, MeteredAllocator<RegexMatch>> list;
    };

    // The compiled pattern for the current settings (recompiled only when
    // they change); pattern errors surface here, when the script uses it.
    const Regex& compiled();
    // Every match (or just the first without Global), empty matches
    // advancing one position as VBScript does.
    void findAll(const Text& text, RegexBudget& budget, FoundMatches& found);
    Text replaceEach(const Text& text, const std::function<Text(const RegexMatch&)>& replacementOf);

    MemoryCharge charge_{sizeof(RegExpObject)};
    Text pattern_;
    MemoryCharge patternCharge_;
    std::optional<Regex> regex_;
    Text compiledPattern_;
    MemoryCharge compiledPatternCharge_;
    RegexOptions compiledOptions_;
};

Value makeRegExp(Context& context);

} // namespace quillet::script

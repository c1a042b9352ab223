// Substring search in time linear in the text and the pattern whatever
// they hold.  A naive search takes time proportional to the product of the
// two lengths, which a script can make minutes long (a 20,001-unit pattern
// in a 2,000,000-unit text); it is still the fastest on ordinary texts,
// where a pattern's first unit rarely starts a long partial match.  So the
// search starts naive, counting the units it compares, and once they pass
// what the positions scanned and the pattern's length allow it goes on from
// there with the two-way algorithm (Crochemore and Perrin, "Two-way string
// matching", 1991), which looks at the text unit under the pattern's last
// unit first and so skips most of a text in the usual case.
//
// The pattern is read in place, already folded and in search order; the
// text is read through a function, so that one pattern serves texts read
// forwards or backwards, folded or not.  Searching polls the stop request
// as it goes (common/stop_request.h).
#pragma once

#include "common/stop_request.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

namespace quillet::script {

template <typename Unit>
class TwoWayPattern {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // `units` must outlive the pattern.  Without `naiveFirst` the two-way
    // search does all the work (for tests).
    explicit TwoWayPattern(std::basic_string_view<Unit> units, bool naiveFirst = true) noexcept
        : n_(units), naiveFirst_(naiveFirst)
    {
    }
    TwoWayPattern(const TwoWayPattern&) = delete;
    TwoWayPattern& operator=(const TwoWayPattern&) = delete;

    size_t size() const { return n_.size(); }

    // The least i >= from with textAt(i + k) == unit k of the pattern for
    // every k, where textAt(j) is unit j of a text of `length` units; npos
    // when there is none.  An empty pattern is found at `from`.
    template <typename TextAt>
    size_t find(const TextAt& textAt, size_t length, size_t from) const;

private:
    // Positions of the text searched between two polls of the stop request.
    static constexpr size_t kPollStride = size_t(1) << 16;
    // Comparisons the naive search may make beyond one per position and
    // the pattern's length, before the two-way search takes over.
    static constexpr size_t kNaiveAllowance = 256;

    template <typename TextAt>
    size_t findTwoWay(const TextAt& textAt, size_t length, size_t from) const;
    // The critical factorization, the shifts and the skip table: made by
    // the first search that needs them.
    void prepare() const;
    // The maximal suffix of the pattern for the order `after` (a unit
    // that compares after another ranks higher): its start minus one,
    // and its period.
    template <typename After>
    std::pair<ptrdiff_t, size_t> maximalSuffix(After after) const;

    // Units fall into 256 buckets for the skip table; units sharing a
    // bucket only make the skips shorter, never wrong.
    static size_t bucket(Unit u)
    {
        const auto c = static_cast<uint32_t>(static_cast<std::make_unsigned_t<Unit>>(u));
        return (c ^ (c >> 8)) & 0xFF;
    }

    std::basic_string_view<Unit> n_;
    bool naiveFirst_;
    mutable bool prepared_ = false;
    // The critical factorization: the pattern is n_[0, split_) n_[split_, size).
    mutable size_t split_ = 0;
    // How far a failed left half moves the pattern, and for a periodic
    // pattern how many of its first units are then known to match.
    mutable size_t shift_ = 1;
    mutable size_t knownAfterShift_ = 0;
    // Per bucket: one past the last position of a pattern unit in it, 0
    // for none.
    mutable std::array<uint32_t, 256> lastEnd_;
};

template <typename Unit>
template <typename TextAt>
size_t TwoWayPattern<Unit>::find(const TextAt& textAt, size_t length, size_t from) const
{
    const size_t l = n_.size();
    if (l == 0)
        return from <= length ? from : npos;
    if (length < l || from > length - l)
        return npos;
    if (!naiveFirst_ && l > 1)
        return findTwoWay(textAt, length, from);
    const size_t last = length - l;
    const Unit first = n_[0];
    size_t compared = 0;
    for (size_t at = from; at <= last;) {
        if (at != from)
            pollStop();
        const size_t stretchEnd = std::min(last + 1, at + kPollStride);
        for (; at < stretchEnd; ++at) {
            if (textAt(at) != first)
                continue;
            size_t k = 1;
            while (k < l && textAt(at + k) == n_[k])
                ++k;
            if (k == l)
                return at;
            compared += k;
            if (compared > kNaiveAllowance + l + (at - from))
                return findTwoWay(textAt, length, at);
        }
    }
    return npos;
}

template <typename Unit>
void TwoWayPattern<Unit>::prepare() const
{
    prepared_ = true;
    const size_t l = n_.size();
    lastEnd_.fill(0);
    for (size_t i = 0; i < l; ++i)
        lastEnd_[bucket(n_[i])] = static_cast<uint32_t>(std::min<size_t>(i + 1, UINT32_MAX));
    // The longer of the two maximal suffixes gives the critical position.
    const auto [before1, period1] = maximalSuffix([](Unit a, Unit b) { return a > b; });
    const auto [before2, period2] = maximalSuffix([](Unit a, Unit b) { return a < b; });
    const ptrdiff_t before = std::max(before1, before2);
    const size_t period = before2 > before1 ? period2 : period1;
    split_ = static_cast<size_t>(before + 1);
    // Periodic when the left half recurs one period on.
    const bool periodic = period + split_ <= l && std::equal(n_.begin(), n_.begin() + split_, n_.begin() + period);
    if (periodic) {
        shift_ = period;
        knownAfterShift_ = l - period;
    } else {
        // Past the longer half (less one on the left: shorter is safe).
        shift_ = std::max(split_ - 1, l - split_) + 1;
        knownAfterShift_ = 0;
    }
}

template <typename Unit>
template <typename After>
std::pair<ptrdiff_t, size_t> TwoWayPattern<Unit>::maximalSuffix(After after) const
{
    // `best` is the start of the best suffix so far minus one, `candidate`
    // the start of the one compared with it, `k` the offset compared and
    // `period` the period of the best suffix.
    const auto l = static_cast<ptrdiff_t>(n_.size());
    ptrdiff_t best = -1;
    ptrdiff_t candidate = 0;
    ptrdiff_t k = 1;
    ptrdiff_t period = 1;
    while (candidate + k < l) {
        const Unit a = n_[static_cast<size_t>(best + k)];
        const Unit b = n_[static_cast<size_t>(candidate + k)];
        if (a == b) {
            if (k == period) {
                candidate += period;
                k = 1;
            } else {
                ++k;
            }
        } else if (after(a, b)) {
            candidate += k;
            k = 1;
            period = candidate - best;
        } else {
            best = candidate++;
            k = period = 1;
        }
    }
    return {best, static_cast<size_t>(period)};
}

template <typename Unit>
template <typename TextAt>
size_t TwoWayPattern<Unit>::findTwoWay(const TextAt& textAt, size_t length, size_t from) const
{
    if (!prepared_)
        prepare();
    const size_t l = n_.size();
    const size_t last = length - l;
    size_t at = from;
    size_t known = 0; // units of the pattern's start known to match at `at`
    size_t nextPoll = at + kPollStride;
    while (at <= last) {
        if (at >= nextPoll) {
            pollStop();
            nextPoll = at + kPollStride;
        }
        // The text unit under the pattern's last unit: move the pattern
        // to where that unit's last occurrence in the pattern meets it.
        const uint32_t end = lastEnd_[bucket(textAt(at + l - 1))];
        if (end == 0) {
            at += l;
            known = 0;
            continue;
        }
        if (end != l) {
            // A periodic pattern shifted by its period matches its first
            // `known` units; that unit breaks the period, so no match
            // starts before the first `known` positions are passed.
            at += std::max<size_t>(l - end, known);
            known = 0;
            continue;
        }
        // Right half, from the critical position.
        size_t k = std::max(split_, known);
        while (k < l && n_[k] == textAt(at + k))
            ++k;
        if (k < l) {
            at += k - split_ + 1;
            known = 0;
            continue;
        }
        // Left half, down to what is known to match.
        k = split_;
        while (k > known && n_[k - 1] == textAt(at + k - 1))
            --k;
        if (k <= known)
            return at;
        at += shift_;
        known = knownAfterShift_;
    }
    return npos;
}

} // namespace quillet::script

#include "surface/line_breaker.h"

#include "common/stop_request.h"

#include <algorithm>
#include <optional>
#include <span>

namespace quillet::surface {
namespace {

enum class ItemKind { Word, Space, Tab, Break };

// A piece of one run's text (the runs outlive the line breaking).
struct Fragment {
    size_t run = 0;
    TextView text;
};

using Fragments = std::span<const Fragment>;

// A word may run over several styled runs ("bo" bold + "ld" plain) and is
// still one unit for wrapping.  An item's fragments follow one another in
// Tokens::fragments.
struct Item {
    ItemKind kind = ItemKind::Word;
    size_t first = 0;
    size_t count = 1;
};

struct Tokens {
    std::vector<Item> items;
    std::vector<Fragment> fragments;

    Fragments of(const Item& item) const { return Fragments(fragments).subspan(item.first, item.count); }
    void add(ItemKind kind, size_t run, TextView text)
    {
        items.push_back({kind, fragments.size(), 1});
        fragments.push_back({run, text});
    }
};

bool isSeparator(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

void tokenize(const std::vector<StyledRun>& runs, Tokens& tokens)
{
    // A word and the blank after it take about six characters: room for
    // that many items saves growing the lists step by step for the short
    // texts most are.  A long text grows its lists as it goes, so that
    // they take memory only as it is used.
    size_t characters = 0;
    for (const StyledRun& run : runs)
        characters += run.text.size();
    const size_t expected = std::min<size_t>(characters / 3 + runs.size(), 256);
    tokens.items.clear();
    tokens.fragments.clear();
    tokens.items.reserve(expected);
    tokens.fragments.reserve(expected);
    for (size_t r = 0; r < runs.size(); ++r) {
        const TextView t = runs[r].text;
        size_t i = 0;
        while (i < t.size()) {
            pollStop();
            char16_t c = t[i];
            if (c == u'\r' || c == u'\n') {
                i += (c == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') ? 2 : 1;
                tokens.add(ItemKind::Break, r, {});
            } else if (c == u'\t') {
                ++i;
                tokens.add(ItemKind::Tab, r, {});
            } else if (c == u' ') {
                size_t j = i;
                while (j < t.size() && t[j] == u' ')
                    ++j;
                tokens.add(ItemKind::Space, r, t.substr(i, j - i));
                i = j;
            } else {
                size_t j = i;
                while (j < t.size() && !isSeparator(t[j]))
                    ++j;
                bool continuesWord = i == 0 && !tokens.items.empty() && tokens.items.back().kind == ItemKind::Word;
                if (continuesWord) {
                    tokens.fragments.push_back({r, t.substr(i, j - i)});
                    ++tokens.items.back().count;
                } else {
                    tokens.add(ItemKind::Word, r, t.substr(i, j - i));
                }
                i = j;
            }
        }
    }
}

double nextTabStop(double x)
{
    return (std::floor(x / kTabStep + 1e-9) + 1) * kTabStep;
}

LineMetrics combine(const LineMetrics& a, const LineMetrics& b)
{
    double ascent = std::max(a.ascent, b.ascent);
    double descent = std::max(a.descent, b.descent);
    double below = std::max(a.descent + a.leading, b.descent + b.leading);
    return LineMetrics{ascent, descent, below - descent};
}

// A piece of the line being built: a stretch of one run's text (words
// and blanks that follow one another there), or a tab.
struct Pending {
    bool tab = false;
    bool space = false;
    size_t run = 0;
    TextView text;
    // The advance of `text` where `known`; `additive` when it is the sum
    // of its characters' advances, so that text joined to it adds up.
    double width = 0;
    bool known = false;
    bool additive = false;
};

// The working lists of a line breaking, kept for the next one on the same
// thread: layout breaks thousands of short texts (table cells) in a row,
// and they would otherwise be made and freed for every one.
struct Scratch {
    Tokens tokens;
    std::vector<Pending> pending;
    bool busy = false;
};

class ScratchLease {
public:
    ScratchLease()
    {
        thread_local Scratch shared;
        scratch_ = shared.busy ? &own_ : &shared;
        scratch_->busy = true;
    }
    ~ScratchLease()
    {
        // A huge text's lists are not kept.
        constexpr size_t kKeptItems = 4096;
        if (scratch_->tokens.items.capacity() > kKeptItems || scratch_->tokens.fragments.capacity() > kKeptItems ||
            scratch_->pending.capacity() > kKeptItems)
            *scratch_ = Scratch();
        scratch_->busy = false;
    }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;

    Scratch& operator*() const { return *scratch_; }

private:
    Scratch own_;
    Scratch* scratch_;
};

class LineBuilder {
public:
    LineBuilder(const std::vector<StyledRun>& runs, const BreakOptions& options,
                const TextMeasurer& measurer, const FontStyle& fallbackFont, Scratch& scratch)
        : runs_(runs), options_(options), measurer_(measurer), fallbackFont_(fallbackFont),
          width_(std::max(options.width, 1.0)), lineStart_(options.firstLineOffset), penX_(lineStart_),
          tokens_(scratch.tokens), pending_(scratch.pending)
    {
        pending_.clear();
    }

    std::vector<LaidLine> run()
    {
        tokenize(runs_, tokens_);
        const Tokens& tokens = tokens_;
        for (const Item& item : tokens.items) {
            pollStop();
            const Fragments fragments = tokens.of(item);
            switch (item.kind) {
            case ItemKind::Break:
                lastRun_ = fragments.front().run;
                finishLine(true);
                break;
            case ItemKind::Tab:
                addTab(fragments.front().run);
                break;
            case ItemKind::Space:
                if (!skipSpaces_)
                    addText(fragments.front().run, fragments.front().text, true);
                break;
            case ItemKind::Word:
                placeWord(fragments);
                break;
            }
        }
        finishLine(true);
        lines_.back().endsWithBreak = false;
        return std::move(lines_);
    }

private:
    const FontStyle& fontOf(size_t run) const { return runs_[run].font; }

    double measure(size_t run, TextView text) const { return measurer_.advance(fontOf(run), text); }

    struct Measured {
        double advance = 0;
        bool additive = false;
    };
    Measured measureParts(size_t run, TextView text) const
    {
        Measured m;
        m.advance = measurer_.advanceOfCharacters(fontOf(run), text, m.additive);
        return m;
    }

    void noteFont(size_t run)
    {
        lastRun_ = run;
        // Words follow words of the same run: its metrics are looked up once
        // for all of them.
        if (run != metricsRun_) {
            metricsRun_ = run;
            runMetrics_ = measurer_.metrics(fontOf(run));
        }
        metrics_ = hasMetrics_ ? combine(metrics_, runMetrics_) : runMetrics_;
        hasMetrics_ = true;
    }

    bool fits(double width) const { return penX_ + width <= width_ + options_.tolerance; }

    // Something already stands on this line (or it starts right of the
    // left edge), so moving a word down gains room.
    bool canWrap() const { return !pending_.empty() || lineStart_ > 0; }

    void addText(size_t run, TextView text, bool space) { addText(run, text, space, measureParts(run, text)); }

    // The same, `text` already measured.
    void addText(size_t run, TextView text, bool space, Measured measured)
    {
        const double advance = measured.advance;
        // Justified lines need every word and blank as its own piece so the
        // blanks can be widened.
        // What is added to a run's piece comes right after it in the run's
        // text, so the piece grows over it.
        Pending* last = pending_.empty() ? nullptr : &pending_.back();
        bool merge = options_.align != Align::Justify && last && !last->tab && last->run == run &&
                     last->text.data() + last->text.size() == text.data();
        if (merge) {
            last->text = TextView(last->text.data(), last->text.size() + text.size());
            last->space = space;
            last->width += advance;
            last->known = last->known && last->additive && measured.additive;
            last->additive = last->additive && measured.additive;
        } else {
            pending_.push_back({false, space, run, text, advance, true, measured.additive});
        }
        penX_ += advance;
        noteFont(run);
    }

    void addTab(size_t run)
    {
        pending_.push_back({true, false, run, {}, 0, false, false});
        penX_ = nextTabStop(penX_);
        noteFont(run);
        skipSpaces_ = false;
    }

    void placeWord(Fragments word)
    {
        bool keep = options_.keepFirstWord && firstWord_;
        firstWord_ = false;
        // A word of one fragment (most words) is measured once.
        std::optional<Measured> measured;
        if (options_.wrap && !keep) {
            double w = 0;
            for (const Fragment& f : word)
                w += (measured = measureParts(f.run, f.text))->advance;
            measured->advance = w;
            if (!fits(w) && canWrap()) {
                finishLine(false);
                skipSpaces_ = true;
            }
            if (!fits(w) && !canWrap()) {
                breakByCharacter(word);
                skipSpaces_ = false;
                return;
            }
        }
        if (word.size() == 1 && measured) {
            addText(word.front().run, word.front().text, false, *measured);
        } else {
            for (const Fragment& f : word)
                addText(f.run, f.text, false);
        }
        skipSpaces_ = false;
    }

    // A word wider than the whole line: as many characters per line as fit,
    // at least one, so that nothing loops.
    void breakByCharacter(Fragments word)
    {
        for (const Fragment& f : word) {
            size_t i = 0;
            while (i < f.text.size()) {
                pollStop();
                size_t len = (i + 1 < f.text.size() && f.text[i] >= 0xD800 && f.text[i] < 0xDC00) ? 2 : 1;
                const TextView piece = f.text.substr(i, len);
                if (!fits(measure(f.run, piece)) && !pending_.empty())
                    finishLine(false);
                addText(f.run, piece, false);
                i += len;
            }
        }
    }

    void dropTrailingBlanks()
    {
        while (!pending_.empty() && !pending_.back().tab) {
            TextView& t = pending_.back().text;
            while (!t.empty() && t.back() == u' ') {
                t.remove_suffix(1);
                pending_.back().known = false;
            }
            if (!t.empty())
                break;
            pending_.pop_back();
        }
    }

    void finishLine(bool hardBreak)
    {
        if (!hardBreak)
            dropTrailingBlanks();
        LaidLine line;
        line.startX = lineStart_;
        line.endsWithBreak = hardBreak;
        double cursor = lineStart_;
        double contentEnd = lineStart_;
        line.pieces.reserve(pending_.size());
        for (const Pending& p : pending_) {
            if (p.tab) {
                cursor = nextTabStop(cursor);
                continue;
            }
            LinePiece piece{cursor, p.known ? p.width : measure(p.run, p.text), Text(p.text), fontOf(p.run),
                            runs_[p.run].colour};
            cursor += piece.width;
            if (!p.space)
                contentEnd = cursor;
            else if (options_.align != Align::Left && piece.text.find_first_not_of(u' ') != Text::npos)
                contentEnd =
                    piece.x + measure(p.run, TextView(piece.text).substr(0, piece.text.find_last_not_of(u' ') + 1));
            line.pieces.push_back(std::move(piece));
        }
        line.endX = cursor;
        line.contentWidth = contentEnd - lineStart_;
        if (hasMetrics_)
            line.metrics = metrics_;
        else
            line.metrics = measurer_.metrics(lastRun_ < runs_.size() ? fontOf(lastRun_) : fallbackFont_);
        align(line, hardBreak, contentEnd);
        lines_.push_back(std::move(line));

        pending_.clear();
        lineStart_ = 0;
        penX_ = 0;
        hasMetrics_ = false;
    }

    void align(LaidLine& line, bool hardBreak, double contentEnd)
    {
        double spare = width_ - contentEnd;
        double shift = 0;
        switch (options_.align) {
        case Align::Left:
            return;
        case Align::Center:
            shift = spare / 2;
            break;
        case Align::Right:
            shift = spare;
            break;
        case Align::Justify:
            if (!hardBreak && spare > 0)
                justify(line, spare);
            return;
        }
        for (LinePiece& piece : line.pieces)
            piece.x += shift;
        line.startX += shift;
        line.endX += shift;
    }

    static bool isBlank(const LinePiece& piece) { return piece.text.find_first_not_of(u' ') == Text::npos; }

    static void justify(LaidLine& line, double spare)
    {
        auto& pieces = line.pieces;
        auto lastWord = std::find_if(pieces.rbegin(), pieces.rend(), [](const LinePiece& p) { return !isBlank(p); });
        if (lastWord == pieces.rend())
            return;
        size_t end = static_cast<size_t>(pieces.rend() - lastWord);  // one past the last word
        size_t gaps = 0;
        for (size_t i = 1; i < end; ++i)
            gaps += isBlank(pieces[i]) ? 1 : 0;
        if (gaps == 0)
            return;
        double extra = spare / static_cast<double>(gaps);
        double shift = 0;
        for (size_t i = 1; i < pieces.size(); ++i) {
            pieces[i].x += shift;
            if (i < end && isBlank(pieces[i])) {
                pieces[i].width += extra;
                shift += extra;
            }
        }
        line.endX += shift;
    }

    const std::vector<StyledRun>& runs_;
    const BreakOptions& options_;
    const TextMeasurer& measurer_;
    const FontStyle& fallbackFont_;
    double width_;
    double lineStart_;
    double penX_;
    Tokens& tokens_;
    std::vector<Pending>& pending_;
    std::vector<LaidLine> lines_;
    LineMetrics metrics_;
    bool hasMetrics_ = false;
    size_t lastRun_ = static_cast<size_t>(-1);
    size_t metricsRun_ = static_cast<size_t>(-1); // the run runMetrics_ are of
    LineMetrics runMetrics_;
    bool firstWord_ = true;
    bool skipSpaces_ = false;
};

} // namespace

std::vector<LaidLine> breakLines(const std::vector<StyledRun>& runs, const BreakOptions& options,
                                 const TextMeasurer& measurer, const FontStyle& fallbackFont)
{
    ScratchLease scratch;
    return LineBuilder(runs, options, measurer, fallbackFont, *scratch).run();
}

} // namespace quillet::surface

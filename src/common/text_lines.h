// Physical lines of a decoded text file: CR LF, LF and a lone CR all end a
// line; a final line without a line end still counts, a final line end
// does not start another line.
#pragma once

#include "common/text.h"

namespace quillet {

class TextLines {
public:
    explicit TextLines(TextView text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    // How many lines next() has handed out: the 1-based number of the
    // last line read.
    size_t linesRead() const { return linesRead_; }

    // The next line without its line end; empty at the end.
    TextView next()
    {
        const size_t start = pos_;
        size_t i = start;
        while (i < text_.size() && text_[i] != u'\r' && text_[i] != u'\n')
            ++i;
        const TextView line = text_.substr(start, i - start);
        if (i < text_.size()) {
            if (text_[i] == u'\r' && i + 1 < text_.size() && text_[i + 1] == u'\n')
                ++i;
            ++i;
        }
        pos_ = i;
        ++linesRead_;
        return line;
    }

private:
    TextView text_;
    size_t pos_ = 0;
    size_t linesRead_ = 0;
};

} // namespace quillet

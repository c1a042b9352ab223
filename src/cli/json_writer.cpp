#include "cli/json_writer.h"

#include <cstdio>

namespace quillet {

void JsonWriter::newline()
{
    out_ += '\n';
    out_.append(hasItems_.size() * 2, ' ');
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItems_.empty()) {
        if (hasItems_.back())
            out_ += ',';
        hasItems_.back() = true;
        newline();
    }
}

void JsonWriter::beginObject()
{
    beforeValue();
    out_ += '{';
    hasItems_.push_back(false);
}

void JsonWriter::endObject()
{
    const bool any = hasItems_.back();
    hasItems_.pop_back();
    if (any)
        newline();
    out_ += '}';
}

void JsonWriter::beginArray()
{
    beforeValue();
    out_ += '[';
    hasItems_.push_back(false);
}

void JsonWriter::endArray()
{
    const bool any = hasItems_.back();
    hasItems_.pop_back();
    if (any)
        newline();
    out_ += ']';
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ += '"';
    out_ += name;
    out_ += "\": ";
    afterKey_ = true;
}

void JsonWriter::value(TextView text)
{
    beforeValue();
    out_ += '"';
    for (const char c : toUtf8(text)) {
        switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else {
                out_ += c;
            }
        }
    }
    out_ += '"';
}

void JsonWriter::value(long long number)
{
    beforeValue();
    out_ += std::to_string(number);
}

void JsonWriter::rawNumber(std::string_view number)
{
    beforeValue();
    out_ += number;
}

void JsonWriter::null()
{
    beforeValue();
    out_ += "null";
}

void JsonWriter::embed(const JsonWriter& other)
{
    beforeValue();
    // Texts escape their line breaks, so every raw one is the other
    // writer's own layout.
    const std::string indent(hasItems_.size() * 2, ' ');
    for (const char c : other.out_) {
        out_ += c;
        if (c == '\n')
            out_ += indent;
    }
}

} // namespace quillet

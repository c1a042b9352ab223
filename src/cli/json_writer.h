// A small streaming JSON writer for the command-line tools' output.
#pragma once

#include "common/text.h"

#include <string>
#include <vector>

namespace quillet {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void value(TextView text);
    void value(const char* text) { value(fromUtf8(text)); }
    void value(long long number);
    // A number already in JSON form ("15.5", "-3").
    void rawNumber(std::string_view number);
    void null();
    // A value another writer wrote whole, indented to sit here.
    void embed(const JsonWriter& other);

    const std::string& str() const { return out_; }

private:
    void beforeValue();
    void newline();

    std::string out_;
    std::vector<bool> hasItems_;
    bool afterKey_ = false;
};

} // namespace quillet

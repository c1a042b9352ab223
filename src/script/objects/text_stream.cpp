#include "script/objects/text_stream.h"

#include "common/file_system.h"
#include "script/lib/file_status.h"
#include "script/lib/path_text.h"
#include "script/objects/native_member.h"
#include "script/objects/refused_member.h"

namespace quillet::script {

namespace {

class TextStream : public NativeObject {
public:
    TextStream(Text text, MemoryCharge charge);

    int32_t line() const { return line_; }
    int32_t column() const { return column_; }
    bool atEndOfStream() const { return open().pos_ >= text_.size(); }
    bool atEndOfLine() const;
    Text read(int32_t count);
    Text readLine();
    Text readAll();
    void skip(int32_t count);
    void skipLine();
    void close();

private:
    const TextStream& open() const;
    // The stream at its end is error 62 for anything that reads.
    void requireMore() const;
    // Moves past `count` characters, counting lines as TextLines does: CR
    // LF, LF and a lone CR each end one.
    void advance(size_t count);
    size_t lineEndAt(size_t at) const;

    // Charged first: covers the text below.
    MemoryCharge charge_;
    Text text_;
    size_t pos_ = 0;
    int32_t line_ = 1;
    int32_t column_ = 1;
    bool closed_ = false;
};

TextStream& self(NativeObject& o) { return static_cast<TextStream&>(o); }

int32_t countArg(const Value& v)
{
    const int32_t n = v.rawLong();
    if (n < 0)
        throw VbError(vberr::InvalidCall);
    return n;
}

const NativeClass& textStreamClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"TextStream");
        using A = ArgKind;
        c.add(nativeMember(u"Line", {}, 0, [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).line()); }));
        c.add(nativeMember(u"Column", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).column()); }));
        c.add(nativeMember(u"AtEndOfStream", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::boolean(self(o).atEndOfStream()); }));
        c.add(nativeMember(u"AtEndOfLine", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::boolean(self(o).atEndOfLine()); }));
        c.add(nativeMember(u"Read", {A::Int32}, 1, [](NativeObject& o, std::span<Value> a) {
            return Value::string(self(o).read(countArg(a[0])));
        }));
        c.add(nativeMember(u"ReadLine", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::string(self(o).readLine()); }));
        c.add(nativeMember(u"ReadAll", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::string(self(o).readAll()); }));
        c.add(nativeMember(u"Skip", {A::Int32}, 1, [](NativeObject& o, std::span<Value> a) {
            self(o).skip(countArg(a[0]));
            return Value();
        }));
        c.add(nativeMember(u"SkipLine", {}, 0, [](NativeObject& o, std::span<Value>) {
            self(o).skipLine();
            return Value();
        }));
        c.add(nativeMember(u"Close", {}, 0, [](NativeObject& o, std::span<Value>) {
            self(o).close();
            return Value();
        }));
        c.add(refusedMember(u"Write", 1, 1));
        c.add(refusedMember(u"WriteLine", 1, 0));
        c.add(refusedMember(u"WriteBlankLines", 1, 1));
        return c;
    }();
    return cls;
}

TextStream::TextStream(Text text, MemoryCharge charge)
    : NativeObject(textStreamClass()), charge_(std::move(charge)), text_(std::move(text))
{
}

const TextStream& TextStream::open() const
{
    if (closed_)
        throw VbError(54); // Bad file mode: the stream is no longer open for reading
    return *this;
}

void TextStream::requireMore() const
{
    if (atEndOfStream())
        throw VbError(vberr::InputPastEnd);
}

bool TextStream::atEndOfLine() const
{
    open();
    return pos_ >= text_.size() || text_[pos_] == u'\r' || text_[pos_] == u'\n';
}

size_t TextStream::lineEndAt(size_t at) const
{
    while (at < text_.size() && text_[at] != u'\r' && text_[at] != u'\n')
        ++at;
    return at;
}

void TextStream::advance(size_t count)
{
    const size_t end = std::min(text_.size(), pos_ + count);
    for (; pos_ < end; ++pos_) {
        const char16_t c = text_[pos_];
        const bool endsLine = c == u'\n' || (c == u'\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != u'\n'));
        if (endsLine) {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
    }
}

Text TextStream::read(int32_t count)
{
    requireMore();
    const size_t start = pos_;
    advance(static_cast<size_t>(count));
    return text_.substr(start, pos_ - start);
}

Text TextStream::readLine()
{
    requireMore();
    const size_t start = pos_;
    const size_t end = lineEndAt(start);
    Text line = text_.substr(start, end - start);
    skipLine();
    return line;
}

Text TextStream::readAll()
{
    requireMore();
    const size_t start = pos_;
    advance(text_.size() - start);
    return text_.substr(start);
}

void TextStream::skip(int32_t count)
{
    requireMore();
    advance(static_cast<size_t>(count));
}

void TextStream::skipLine()
{
    requireMore();
    size_t end = lineEndAt(pos_);
    if (end < text_.size())
        end += (text_[end] == u'\r' && end + 1 < text_.size() && text_[end + 1] == u'\n') ? 2 : 1;
    advance(end - pos_);
}

void TextStream::close()
{
    closed_ = true;
    Text().swap(text_);
    charge_ = MemoryCharge();
}

// Unicode as a text stream reads it: UTF-16, little endian unless a
// byte-order mark says otherwise.
Text fromUnicode(std::string_view bytes)
{
    const bool marked = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    return marked ? decodeFileText(bytes) : fromUtf16(bytes, false);
}

} // namespace

TextFormat textFormatFrom(int32_t tristate)
{
    switch (tristate) {
    case 0: case -2: return TextFormat::Detect;
    case -1: return TextFormat::Utf16;
    default: throw VbError(vberr::InvalidCall);
    }
}

void requireReadMode(int32_t iomode)
{
    switch (iomode) {
    case 1: return;
    case 2: case 8: throw VbError(vberr::PermissionDenied);
    default: throw VbError(vberr::InvalidCall);
    }
}

Value openTextStream(const std::string& realPath, TextFormat format)
{
    const FileStatus status = fileStatus(realPath);
    switch (status.kind) {
    case FileKind::Missing: {
        const bool folderThere = fileStatus(toUtf8(parentFolderOf(fromUtf8(realPath)))).kind == FileKind::Folder;
        throw VbError(folderThere ? vberr::FileNotFound : vberr::PathNotFound);
    }
    case FileKind::File: break;
    default: throw VbError(vberr::PermissionDenied);
    }
    // The raw bytes and the text made of them, charged before either is
    // read so that a file beyond the limit is refused before it is read.
    MemoryCharge charge(std::min<uint64_t>(status.size, kMaxTextFileBytes + 1) * 3);
    Text text;
    {
        const std::string bytes = readFileBytes(fromUtf8(realPath));
        text = format == TextFormat::Utf16 ? fromUnicode(bytes) : decodeFileText(bytes);
    }
    if (text.size() > kMaxTextLength)
        throw VbError(vberr::OutOfMemory);
    charge.settle(textHeapBytes(text.capacity()));
    return makeObject<TextStream>(std::move(text), std::move(charge));
}

} // namespace quillet::script

// The syntax of a PDF file as the surface's PDF writer writes it: numbers,
// strings and references in content and dictionaries, and the objects of
// the file with their cross-reference table.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <concepts>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace quillet::surface::pdf {

// Page contents are the bulk of a file and are deflated for speed; fonts,
// pictures and maps, written once, for size.
inline constexpr int kFastDeflate = 1;
inline constexpr int kSmallDeflate = 6;

// A number as the file holds it: three decimals, within what every PDF
// reader takes.
double asWritten(double value);
// That number as text (no trailing zeros, no point for a whole number),
// written into `buffer` of at least kNumberChars; returns its end.
inline constexpr int kNumberChars = 32;
char* formatNumber(char* buffer, double value);
void appendInt(QByteArray& out, long long value);
void appendHex(QByteArray& out, unsigned value, int digits);

// Operators and operands: numbers and integers are followed by a space.
QByteArray& operator<<(QByteArray& out, const char* text);
QByteArray& operator<<(QByteArray& out, const QByteArray& text);
QByteArray& operator<<(QByteArray& out, int value);

// Page content: millions of appends of a few bytes each.  Room is made
// first and the bytes written straight into it, all inline; a number is
// formatted in place rather than copied in.  (std::string's append calls
// out of the string and into memcpy for every piece.)
class ContentBuffer {
public:
    ContentBuffer() = default;
    ContentBuffer(const ContentBuffer&) = delete;
    ContentBuffer& operator=(const ContentBuffer&) = delete;

    const char* data() const { return data_.get(); }
    size_t size() const { return size_; }
    void clear() { size_ = 0; }

    // Room for `count` more bytes at end(); commit() takes what was written.
    char* reserveMore(size_t count)
    {
        if (capacity_ - size_ < count)
            grow(count);
        return data_.get() + size_;
    }
    void commit(const char* end) { size_ = size_t(end - data_.get()); }

    void append(const char* text, size_t length)
    {
        char* at = reserveMore(length);
        std::memcpy(at, text, length);
        size_ += length;
    }
    // A literal: its length is known here, and so the copy is a few moves.
    template <size_t N>
    void append(const char (&text)[N])
    {
        append(static_cast<const char*>(text), N - 1);
    }
    void operator+=(char c)
    {
        *reserveMore(1) = c;
        ++size_;
    }

private:
    void grow(size_t count);

    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

ContentBuffer& operator<<(ContentBuffer& out, const QByteArray& text);
template <size_t N>
ContentBuffer& operator<<(ContentBuffer& out, const char (&text)[N])
{
    out.append(text);
    return out;
}

// Numbers go into any of these buffers.
template <typename Bytes>
concept ByteBuffer = std::same_as<Bytes, QByteArray> || std::same_as<Bytes, std::string>;

template <ByteBuffer Bytes>
void appendNumber(Bytes& out, double value)
{
    char buffer[kNumberChars];
    out.append(buffer, formatNumber(buffer, value) - buffer);
}

template <ByteBuffer Bytes>
Bytes& operator<<(Bytes& out, double value)
{
    char buffer[kNumberChars + 1];
    char* end = formatNumber(buffer, value);
    *end++ = ' ';
    out.append(buffer, end - buffer);
    return out;
}

inline void appendNumber(ContentBuffer& out, double value)
{
    out.commit(formatNumber(out.reserveMore(kNumberChars), value));
}

inline ContentBuffer& operator<<(ContentBuffer& out, double value)
{
    char* end = formatNumber(out.reserveMore(kNumberChars + 1), value);
    *end++ = ' ';
    out.commit(end);
    return out;
}

// "id 0 R".
QByteArray ref(int id);

// A text string of the document information: UTF-16 with its byte-order
// mark, written in hex so that no character needs escaping.
QByteArray textString(const QString& text);

// A write to the file failed (the disk is full, or the stop request came):
// the writing ends.
struct WriteFailed {};

// The objects of the file, numbered from 1, and where each starts.  What
// is written goes to the device in pieces, so that a long document is not
// held whole in memory.
class ObjectWriter {
public:
    explicit ObjectWriter(QIODevice& device);

    int reserve();

    void object(int id, const QByteArray& body);

    void stream(int id, QByteArray dictionary, const QByteArray& data, int level = kSmallDeflate);
    // A stream whose data is already encoded as `dictionary` says.
    void encodedStream(int id, QByteArray dictionary, const QByteArray& data);

    void finish(int catalog, int info);

private:
    static constexpr qsizetype kPiece = 1 << 18;

    void start(int id);

    void flushFull();

    void flush();

    QIODevice& device_;
    QByteArray out_;
    qsizetype written_ = 0;
    std::vector<qsizetype> offsets_;
};

} // namespace quillet::surface::pdf

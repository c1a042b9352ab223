#include "surface/pdf_syntax.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quillet::surface::pdf {
namespace {

// A deflated stream body: qCompress gives a zlib stream behind a 4-byte
// length of its own.
QByteArray deflate(const QByteArray& data, int level)
{
    return qCompress(data, level).mid(4);
}

} // namespace

// A number as the file holds it: three decimals, within what every PDF
// reader takes.
namespace {

// The whole number of thousandths a number is written as.
double thousandthsOf(double value)
{
    return std::isfinite(value) ? std::round(std::clamp(value, -1e9, 1e9) * 1000.0) : 0.0;
}

} // namespace

double asWritten(double value)
{
    return thousandthsOf(value) / 1000.0;
}

// The digits of `value` as asWritten rounds it, into `buffer` (at least
// kNumberChars long): the thousandths as a whole number, written with the
// point put back and trailing zeros dropped.  That is the text of the
// rounded double itself, whose error is far below a thousandth.  Returns
// the end.
char* formatNumber(char* buffer, double value)
{
    auto whole = static_cast<long long>(thousandthsOf(value));
    char* at = buffer;
    if (whole < 0) {
        *at++ = '-';
        whole = -whole;
    }
    const long long units = whole / 1000;
    const int fraction = int(whole % 1000);
    at = std::to_chars(at, at + 24, units).ptr;
    if (fraction != 0) {
        *at++ = '.';
        const char digits[3] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
        int kept = 3;
        while (digits[kept - 1] == '0')
            --kept;
        for (int i = 0; i < kept; ++i)
            *at++ = digits[i];
    }
    return at;
}

void appendInt(QByteArray& out, long long value)
{
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end - buffer);
}

QByteArray& operator<<(QByteArray& out, const char* text)
{
    return out.append(text);
}

QByteArray& operator<<(QByteArray& out, const QByteArray& text)
{
    return out.append(text);
}

void ContentBuffer::grow(size_t count)
{
    const size_t capacity = std::max({capacity_ * 2, size_ + count, size_t(4096)});
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_ != 0)
        std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
}

ContentBuffer& operator<<(ContentBuffer& out, const QByteArray& text)
{
    out.append(text.constData(), size_t(text.size()));
    return out;
}

QByteArray& operator<<(QByteArray& out, int value)
{
    appendInt(out, value);
    out.append(' ');
    return out;
}

void appendHex(QByteArray& out, unsigned value, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.append(kDigits[(value >> shift) & 0xF]);
}

QByteArray ref(int id)
{
    QByteArray out;
    appendInt(out, id);
    out.append(" 0 R");
    return out;
}

// A text string of the document information: UTF-16 with its byte-order
// mark, written in hex so that no character needs escaping.
QByteArray textString(const QString& text)
{
    QByteArray out("<FEFF");
    for (QChar c : text)
        appendHex(out, c.unicode(), 4);
    out.append('>');
    return out;
}

ObjectWriter::ObjectWriter(QIODevice& device) : device_(device)
{
    out_.reserve(kPiece * 2);
    out_.append("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int ObjectWriter::reserve()
{
    offsets_.push_back(-1);
    return int(offsets_.size());
}

void ObjectWriter::object(int id, const QByteArray& body)
{
    start(id);
    out_.append(body);
    out_.append("\nendobj\n");
    flushFull();
}

void ObjectWriter::stream(int id, QByteArray dictionary, const QByteArray& data, int level)
{
    if (!data.isEmpty())
        dictionary.append("/Filter/FlateDecode");
    encodedStream(id, std::move(dictionary), data.isEmpty() ? data : deflate(data, level));
}

void ObjectWriter::encodedStream(int id, QByteArray dictionary, const QByteArray& body)
{
    start(id);
    out_.append("<<");
    out_.append(dictionary);
    out_.append("/Length ");
    appendInt(out_, body.size());
    out_.append(">>\nstream\n");
    out_.append(body);
    out_.append("\nendstream\nendobj\n");
    flushFull();
}

void ObjectWriter::finish(int catalog, int info)
{
    const qsizetype xref = written_ + out_.size();
    out_.append("xref\n0 ");
    appendInt(out_, qsizetype(offsets_.size()) + 1);
    out_.append("\n0000000000 65535 f \n");
    char line[32];
    for (qsizetype offset : offsets_) {
        std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(std::max<qsizetype>(offset, 0)));
        out_.append(line, 20);
    }
    out_.append("trailer\n<</Size ");
    appendInt(out_, qsizetype(offsets_.size()) + 1);
    out_.append("/Root ");
    out_.append(ref(catalog));
    out_.append("/Info ");
    out_.append(ref(info));
    out_.append(">>\nstartxref\n");
    appendInt(out_, xref);
    out_.append("\n%%EOF\n");
    flush();
}

void ObjectWriter::start(int id)
{
    offsets_[size_t(id - 1)] = written_ + out_.size();
    appendInt(out_, id);
    out_.append(" 0 obj\n");
}

void ObjectWriter::flushFull()
{
    if (out_.size() >= kPiece)
        flush();
}

void ObjectWriter::flush()
{
    if (device_.write(out_) != out_.size())
        throw WriteFailed();
    written_ += out_.size();
    out_.clear();
}

} // namespace quillet::surface::pdf

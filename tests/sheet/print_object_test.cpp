// The print object's arithmetic, driven through its member table as a
// script would drive it, against a surface with fixed metrics.
#include "../settings/temp_folder.h"
#include "fake_surface.h"

#include "common/vb_error.h"
#include "sheet/cls_print_wrapper.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;
using script::Access;
using script::Value;

namespace {

class PrintObjectTest : public ::testing::Test {
protected:
    PrintObjectTest() : print(new clsPrintWrapper([this](const Text& t) { log.push_back(t); }, &portrait))
    {
        holder = Value::object(print);
        print->SetPrintPreviewObject(&surface);
    }

    Value call(const char16_t* member, std::vector<Value> args = {})
    {
        const int m = print->findMember(member);
        EXPECT_NE(m, script::kNoMember) << toUtf8(member);
        return print->invoke(m, Access::Get, args);
    }
    void let(const char16_t* member, Value value)
    {
        std::vector<Value> args{std::move(value)};
        print->invoke(print->findMember(member), Access::Let, args);
    }
    int errorOf(auto&& f)
    {
        try {
            f();
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    }
    std::string lastCall() const { return surface.calls.empty() ? "" : surface.calls.back(); }

    FakeSurface surface;
    FakePortrait portrait;
    std::vector<Text> log;
    clsPrintWrapper* print;
    Value holder; // owns the print object
};

Value d(double v) { return Value::dbl(v); }
Value i(int16_t v) { return Value::integer(v); }
Value s(const char16_t* v) { return Value::string(v); }

} // namespace

TEST_F(PrintObjectTest, ScaleModesAndLengthProperties)
{
    let(u"ScaleMode", i(5));
    EXPECT_EQ(call(u"ScaleMode").rawInteger(), 0);
    EXPECT_EQ(print->unitFactor(), 1440);
    let(u"ScaleMode", i(1));
    let(u"MarginLeft", i(2));
    EXPECT_EQ(surface.marginLeft(), 1134);
    let(u"ScaleMode", i(0));
    surface.setCurrentX(720);
    EXPECT_FLOAT_EQ(call(u"CurrentX").rawSingle(), 0.5f);
    let(u"PageWidth", d(8.5));
    EXPECT_EQ(surface.pageWidth(), 12240);
    EXPECT_FLOAT_EQ(call(u"PageWidth").rawSingle(), 8.5f);
    let(u"ScaleMode", i(2));
    let(u"CurrentY", d(100.5));
    EXPECT_FLOAT_EQ(surface.currentY(), 100.5f);
    EXPECT_EQ(errorOf([&] { let(u"MarginTop", s(u"wide")); }), vberr::TypeMismatch);
    EXPECT_EQ(errorOf([&] { let(u"MarginTop", Value::null()); }), vberr::InvalidUseOfNull);
}

TEST_F(PrintObjectTest, FontSizesAndPlainProperties)
{
    for (auto [in, out] : {std::pair{0.0, 1.0f}, {-3.0, 1.0f}, {10.5, 10.0f}, {11.5, 12.0f}}) {
        let(u"FontSize", d(in));
        EXPECT_EQ(surface.fontSize(), out) << in;
    }
    surface.setFontSize(11.25f);
    EXPECT_EQ(call(u"FontSize").rawInteger(), 11);
    let(u"HeaderFontSize", i(0));
    EXPECT_EQ(surface.headerFontSize(), 0.0f);
    let(u"ScaleMode", i(1));
    let(u"TablePen", i(20));
    EXPECT_EQ(surface.tablePen(), 20) << "pens are never converted";
    let(u"FontBold", s(u"True"));
    EXPECT_TRUE(surface.fontBold());
    EXPECT_EQ(call(u"FontBold").type(), script::Type::Boolean);
    let(u"TableSeparator", s(u"#;"));
    EXPECT_EQ(call(u"TableSeparator").rawText(), u"#;");
    let(u"BrushColor", d(255));
    EXPECT_EQ(call(u"BrushColor").rawLong(), 255);
    let(u"Text", s(u"hello"));
    let(u"Paragraph", s(u"para"));
    let(u"TextRTF", s(u"{\\b x}"));
    EXPECT_EQ(call(u"Text").rawText(), u"");
    EXPECT_EQ(call(u"Paragraph").rawText(), u"");
    EXPECT_EQ(surface.calls[0], "text hello at 1440,1440");
    EXPECT_EQ(surface.calls[1], "paragraph para");
    EXPECT_EQ(surface.calls[2], "rtf {\\b x}");
}

TEST_F(PrintObjectTest, AlignedText)
{
    surface.charWidth = 100;
    call(u"PrintAtRight", {s(u"0123456789"), d(7.5)});
    EXPECT_EQ(lastCall(), "text 0123456789 at 9800,1440");
    surface.charWidth = 100.1; // 10 characters: 1001 twips
    call(u"PrintAtCenter", {s(u"0123456789"), d(4.25)});
    EXPECT_EQ(lastCall(), "text 0123456789 at 5620,1440") << "6120 - 500.5 rounds to even";
    surface.charWidth = 50.1;
    call(u"PrintCentered", {s(u"0123456789"), i(1), i(2)});
    EXPECT_EQ(lastCall(), "text 0123456789 at 1910,1440");
    surface.charWidth = 200;
    call(u"PrintCentered", {s(u"0123456789"), i(1), i(2)});
    EXPECT_EQ(lastCall(), "text 0123456789 at 1160,1440") << "wider than the space starts left of it";
    call(u"PrintAtLeft", {s(u"x"), d(0.3333)});
    EXPECT_EQ(lastCall(), "text x at 479.9519958,1440") << "not rounded (single precision)";
    const size_t before = surface.calls.size();
    call(u"PrintAtCenter", {s(u""), i(3)});
    EXPECT_FLOAT_EQ(surface.currentX(), 4320);
    EXPECT_EQ(surface.calls.size(), before + 1);
    call(u"PrintAtLeft", {i(42), i(1)});
    EXPECT_EQ(lastCall(), "text 42 at 1440,1440") << "numbers print as their text";
    EXPECT_EQ(errorOf([&] { call(u"PrintAtLeft", {Value::null(), i(1)}); }), vberr::InvalidUseOfNull);
}

TEST_F(PrintObjectTest, Measuring)
{
    surface.lineHeight = 240;
    EXPECT_FLOAT_EQ(call(u"ReturnCenterY", {s(u"x"), i(1), d(1.5)}).rawSingle(), 1680.0f / 1440.0f);
    surface.charWidth = 100;
    EXPECT_FLOAT_EQ(call(u"TextWidth", {s(u"0123456789")}).rawSingle(), 1000.0f / 1440.0f);
    let(u"ScaleMode", i(2));
    EXPECT_FLOAT_EQ(call(u"TextWidth", {s(u"0123456789")}).rawSingle(), 1000.0f);
    EXPECT_FLOAT_EQ(call(u"TextHeight", {s(u"x")}).rawSingle(), 240.0f);
}

TEST_F(PrintObjectTest, ALeftOutTextIsNotOptional)
{
    for (const char16_t* member : {u"TextWidth", u"TextHeight", u"DebugLog"})
        EXPECT_EQ(errorOf([&] { call(member, {Value::missing()}); }), vberr::ArgumentNotOptional) << toUtf8(member);
    EXPECT_EQ(errorOf([&] { call(u"PrintCentered", {Value::missing(), i(1), i(2)}); }), vberr::ArgumentNotOptional);
    EXPECT_EQ(errorOf([&] { call(u"ReturnCenterY", {Value::missing(), i(1), i(2)}); }), vberr::ArgumentNotOptional);
}

TEST_F(PrintObjectTest, TextBoxPassesFlagsAsGiven)
{
    call(u"TextBox", {s(u"abc"), i(1), d(1.5), i(2), i(0)});
    EXPECT_EQ(lastCall(), "textBox abc 1440,2160 2880x0 omitted omitted omitted");
    call(u"TextBox", {s(u"abc"), i(1), i(1), i(1), i(1), Value::boolean(false), Value::missing(), i(1)});
    EXPECT_EQ(lastCall(), "textBox abc 1440,1440 1440x1440 false omitted 1");
    EXPECT_EQ(errorOf([&] { call(u"TextBox", {s(u"a"), i(1), i(1), i(1)}); }), vberr::WrongArgCount);
}

TEST_F(PrintObjectTest, BoxesAndLines)
{
    surface.setBrushColor(255);
    call(u"DrawBox", {i(1), i(1), i(2), i(2), Value::boolean(false)});
    EXPECT_EQ(surface.calls, std::vector<std::string>{"rect 1440,1440 2880,2880 brush 16777215 pen 0"});
    EXPECT_EQ(call(u"BrushColor").rawLong(), 16777215);
    surface.calls.clear();
    call(u"DrawBox", {i(1), i(1), i(2), i(2), s(u"-1")});
    EXPECT_EQ(surface.calls[0], "rect 1512,1512 2952,2952 brush 13158600 pen 13158600");
    EXPECT_EQ(surface.calls[1], "rect 1440,1440 2880,2880 brush 16777215 pen 0");
    surface.calls.clear();
    let(u"ScaleMode", i(1));
    call(u"DrawBox", {i(1), i(1), i(2), i(2), Value::null()});
    EXPECT_EQ(surface.calls, std::vector<std::string>{"rect 567,567 1134,1134 brush 16777215 pen 0"});
    let(u"ScaleMode", i(2));
    surface.calls.clear();
    call(u"DrawBox", {d(0.5), d(1.5), d(2.5), d(3.5), i(0)});
    EXPECT_EQ(lastCall(), "rect 0,2 2,4 brush 16777215 pen 0");
    let(u"ScaleMode", i(0));
    call(u"DrawLine", {i(0), i(0), d(8.5), d(0.3333)});
    EXPECT_EQ(lastCall(), "line 0,0 12240,479.952");
    surface.calls.clear();
    EXPECT_EQ(errorOf([&] { call(u"DrawBox", {i(1), s(u"x"), i(2), i(2), i(0)}); }), vberr::TypeMismatch);
    EXPECT_EQ(errorOf([&] { call(u"DrawBox", {d(3e6), i(1), i(2), i(2), i(0)}); }), vberr::Overflow);
    EXPECT_TRUE(surface.calls.empty()) << "a failed box draws nothing";
    EXPECT_EQ(errorOf([&] { call(u"DrawBox", {i(1), i(1), i(2), i(2)}); }), vberr::WrongArgCount);
}

TEST_F(PrintObjectTest, TableFormatsInScriptUnits)
{
    const auto format = [&](const char16_t* f) {
        call(u"AddTable", {s(f), s(u""), s(u""), Value(), Value(), Value()});
        return lastCall();
    };
    EXPECT_EQ(format(u"<2|>1.25|^0.5"), "table <2880|>1800|^720 [] [] empty empty empty");
    EXPECT_EQ(format(u"2"), "table 2880 [] [] empty empty empty");
    EXPECT_EQ(format(u""), "table  [] [] empty empty empty");
    EXPECT_EQ(format(u"1.5in"), "table 2160 [] [] empty empty empty");
    EXPECT_EQ(format(u"<0|>abc|"), "table <0|>abc| [] [] empty empty empty");
    EXPECT_EQ(format(u"||"), "table || [] [] empty empty empty");
    EXPECT_EQ(format(u"-1"), "table -1440 [] [] empty empty empty");
    let(u"ScaleMode", i(1));
    EXPECT_EQ(format(u"<2.5|>3"), "table <1417.5|>1701 [] [] empty empty empty");
    call(u"AddTable", {s(u"1"), i(7), d(1.5), i(0), s(u"255"), Value::boolean(true)});
    EXPECT_EQ(lastCall(), "table 567 [7] [1.5] 0 '255' true");
    EXPECT_EQ(errorOf([&] { call(u"AddTable", {Value::null(), s(u""), s(u""), i(0), i(0), i(0)}); }),
              vberr::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { call(u"AddTable", {s(u""), s(u""), s(u""), i(0), i(0)}); }), vberr::WrongArgCount);
}

TEST_F(PrintObjectTest, PicturesKeepTheirProportions)
{
    TempFolder folder;
    folder.write("face.png", "x");
    const std::string file = folder.file("face.png");

    call(u"Picture", {s(u"   "), i(1), i(1), i(2), i(2)});
    EXPECT_EQ(log.back(), u"  No portrait; not printing");
    call(u"Picture", {s(u"/nowhere/a.bmp"), i(1), i(1), i(2), i(2)});
    EXPECT_EQ(log.back(), u"  Portrait file '/nowhere/a.bmp' not found; not printing");
    EXPECT_TRUE(surface.calls.empty());

    portrait.width = 200;
    portrait.height = 300;
    call(u"Picture", {Value::string(u"  " + fromUtf8(file) + u" "), i(1), i(1), i(2), i(2)});
    EXPECT_EQ(surface.calls[0], "pictureRect 1440,1440 3360,4320");
    EXPECT_EQ(surface.calls[1], "placePicture " + file);
    EXPECT_FLOAT_EQ(surface.currentY(), 4320);
    EXPECT_EQ(print->pictureName(), fromUtf8(file));
    call(u"Picture", {Value::string(fromUtf8(file)), i(1), i(1), i(2), i(2), Value::boolean(true)});
    EXPECT_EQ(surface.calls[2], "pictureRect 1440,1440 4320,4320");
    portrait.width = 300;
    portrait.height = 200;
    call(u"Picture", {Value::string(fromUtf8(file)), i(1), i(1), i(2), i(2), Value::null()});
    EXPECT_EQ(surface.calls[4], "pictureRect 1440,1440 4320,3360");
    portrait.width = 0;
    EXPECT_NE(errorOf([&] { call(u"Picture", {Value::string(fromUtf8(file)), i(1), i(1), i(2), i(2)}); }), 0);
}

TEST_F(PrintObjectTest, WithoutASurface)
{
    print->SetPrintPreviewObject(nullptr);
    EXPECT_EQ(errorOf([&] { call(u"NewPage"); }), vberr::ObjectNotSet);
    EXPECT_EQ(errorOf([&] { let(u"CurrentX", i(1)); }), vberr::ObjectNotSet);
    let(u"ScaleMode", i(2));
    EXPECT_EQ(call(u"ScaleMode").rawInteger(), 2);
    call(u"DebugLog", {s(u"still logs")});
    EXPECT_EQ(log.back(), u"  still logs");
    EXPECT_EQ(call(u"Text").rawText(), u"");
}

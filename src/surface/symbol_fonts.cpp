#include "surface/symbol_fonts.h"

#include <array>
#include <string>

namespace quillet::surface {
namespace {

struct Picture {
    unsigned char code;
    char32_t character;
};

// Where a picture has no character of its own in the basic plane, the
// nearest one there is used (a ballot box for the box with a bold tick),
// because that plane is what the drawing fonts cover.  Codes not listed
// keep their character: in Symbol that is right for the digits and most
// punctuation, which it shares with ordinary fonts.

constexpr Picture kSymbol[] = {
    {0x22, U'\u2200'}, {0x24, U'\u2203'}, {0x27, U'\u220B'}, {0x2A, U'\u2217'}, {0x2D, U'\u2212'},
    {0x40, U'\u2245'}, {0x41, U'\u0391'}, {0x42, U'\u0392'}, {0x43, U'\u03A7'}, {0x44, U'\u0394'},
    {0x45, U'\u0395'}, {0x46, U'\u03A6'}, {0x47, U'\u0393'}, {0x48, U'\u0397'}, {0x49, U'\u0399'},
    {0x4A, U'\u03D1'}, {0x4B, U'\u039A'}, {0x4C, U'\u039B'}, {0x4D, U'\u039C'}, {0x4E, U'\u039D'},
    {0x4F, U'\u039F'}, {0x50, U'\u03A0'}, {0x51, U'\u0398'}, {0x52, U'\u03A1'}, {0x53, U'\u03A3'},
    {0x54, U'\u03A4'}, {0x55, U'\u03A5'}, {0x56, U'\u03C2'}, {0x57, U'\u03A9'}, {0x58, U'\u039E'},
    {0x59, U'\u03A8'}, {0x5A, U'\u0396'}, {0x5C, U'\u2234'}, {0x5E, U'\u22A5'}, {0x60, U'\u203E'},
    {0x61, U'\u03B1'}, {0x62, U'\u03B2'}, {0x63, U'\u03C7'}, {0x64, U'\u03B4'}, {0x65, U'\u03B5'},
    {0x66, U'\u03C6'}, {0x67, U'\u03B3'}, {0x68, U'\u03B7'}, {0x69, U'\u03B9'}, {0x6A, U'\u03D5'},
    {0x6B, U'\u03BA'}, {0x6C, U'\u03BB'}, {0x6D, U'\u03BC'}, {0x6E, U'\u03BD'}, {0x6F, U'\u03BF'},
    {0x70, U'\u03C0'}, {0x71, U'\u03B8'}, {0x72, U'\u03C1'}, {0x73, U'\u03C3'}, {0x74, U'\u03C4'},
    {0x75, U'\u03C5'}, {0x76, U'\u03D6'}, {0x77, U'\u03C9'}, {0x78, U'\u03BE'}, {0x79, U'\u03C8'},
    {0x7A, U'\u03B6'}, {0x7E, U'\u223C'},
    {0xA0, U'\u20AC'}, {0xA1, U'\u03D2'}, {0xA2, U'\u2032'}, {0xA3, U'\u2264'}, {0xA4, U'\u2044'},
    {0xA5, U'\u221E'}, {0xA6, U'\u0192'}, {0xA7, U'\u2663'}, {0xA8, U'\u2666'}, {0xA9, U'\u2665'},
    {0xAA, U'\u2660'}, {0xAB, U'\u2194'}, {0xAC, U'\u2190'}, {0xAD, U'\u2191'}, {0xAE, U'\u2192'},
    {0xAF, U'\u2193'}, {0xB0, U'\u00B0'}, {0xB1, U'\u00B1'}, {0xB2, U'\u2033'}, {0xB3, U'\u2265'},
    {0xB4, U'\u00D7'}, {0xB5, U'\u221D'}, {0xB6, U'\u2202'}, {0xB7, U'\u2022'}, {0xB8, U'\u00F7'},
    {0xB9, U'\u2260'}, {0xBA, U'\u2261'}, {0xBB, U'\u2248'}, {0xBC, U'\u2026'}, {0xBD, U'\u2502'},
    {0xBE, U'\u2500'}, {0xBF, U'\u21B5'}, {0xC0, U'\u2135'}, {0xC1, U'\u2111'}, {0xC2, U'\u211C'},
    {0xC3, U'\u2118'}, {0xC4, U'\u2297'}, {0xC5, U'\u2295'}, {0xC6, U'\u2205'}, {0xC7, U'\u2229'},
    {0xC8, U'\u222A'}, {0xC9, U'\u2283'}, {0xCA, U'\u2287'}, {0xCB, U'\u2284'}, {0xCC, U'\u2282'},
    {0xCD, U'\u2286'}, {0xCE, U'\u2208'}, {0xCF, U'\u2209'}, {0xD0, U'\u2220'}, {0xD1, U'\u2207'},
    {0xD2, U'\u00AE'}, {0xD3, U'\u00A9'}, {0xD4, U'\u2122'}, {0xD5, U'\u220F'}, {0xD6, U'\u221A'},
    {0xD7, U'\u22C5'}, {0xD8, U'\u00AC'}, {0xD9, U'\u2227'}, {0xDA, U'\u2228'}, {0xDB, U'\u21D4'},
    {0xDC, U'\u21D0'}, {0xDD, U'\u21D1'}, {0xDE, U'\u21D2'}, {0xDF, U'\u21D3'}, {0xE0, U'\u25CA'},
    {0xE1, U'\u27E8'}, {0xE2, U'\u00AE'}, {0xE3, U'\u00A9'}, {0xE4, U'\u2122'}, {0xE5, U'\u2211'},
    {0xE6, U'\u239B'}, {0xE7, U'\u239C'}, {0xE8, U'\u239D'}, {0xE9, U'\u23A1'}, {0xEA, U'\u23A2'},
    {0xEB, U'\u23A3'}, {0xEC, U'\u23A7'}, {0xED, U'\u23A8'}, {0xEE, U'\u23A9'}, {0xEF, U'\u23AA'},
    {0xF1, U'\u27E9'}, {0xF2, U'\u222B'}, {0xF3, U'\u2320'}, {0xF4, U'\u23AE'}, {0xF5, U'\u2321'},
    {0xF6, U'\u239E'}, {0xF7, U'\u239F'}, {0xF8, U'\u23A0'}, {0xF9, U'\u23A4'}, {0xFA, U'\u23A5'},
    {0xFB, U'\u23A6'}, {0xFC, U'\u23AB'}, {0xFD, U'\u23AC'}, {0xFE, U'\u23AD'},
};

constexpr Picture kWingdings[] = {
    {0x21, U'\u270F'}, {0x22, U'\u2702'}, {0x23, U'\u2701'}, {0x24, U'\U0001F453'}, {0x25, U'\U0001F56D'},
    {0x26, U'\U0001F56E'}, {0x27, U'\U0001F56F'}, {0x28, U'\u260E'}, {0x29, U'\u2706'}, {0x2A, U'\u2709'},
    {0x2B, U'\U0001F583'}, {0x2C, U'\U0001F4EA'}, {0x2D, U'\U0001F4EB'}, {0x2E, U'\U0001F4EC'},
    {0x2F, U'\U0001F4ED'}, {0x30, U'\U0001F4C1'}, {0x31, U'\U0001F4C2'}, {0x32, U'\U0001F4C4'},
    {0x33, U'\U0001F5CF'}, {0x34, U'\U0001F5D0'}, {0x35, U'\U0001F5C4'}, {0x36, U'\u25D4'},
    {0x37, U'\U0001F5AE'}, {0x38, U'\U0001F5B0'}, {0x39, U'\U0001F5B2'}, {0x3A, U'\U0001F5B3'},
    {0x3B, U'\U0001F5B4'}, {0x3C, U'\U0001F5AB'}, {0x3D, U'\U0001F5AC'}, {0x3E, U'\u2707'}, {0x3F, U'\u270D'},
    {0x40, U'\U0001F58E'}, {0x41, U'\u270C'}, {0x42, U'\U0001F44C'}, {0x43, U'\U0001F44D'},
    {0x44, U'\U0001F44E'}, {0x45, U'\u261C'}, {0x46, U'\u261E'}, {0x47, U'\u261D'}, {0x48, U'\u261F'},
    {0x49, U'\U0001F590'}, {0x4A, U'\u263A'}, {0x4B, U'\U0001F610'}, {0x4C, U'\u2639'}, {0x4D, U'\U0001F4A3'},
    {0x4E, U'\u2620'}, {0x4F, U'\u2690'}, {0x50, U'\u2691'}, {0x51, U'\u2708'}, {0x52, U'\u263C'},
    {0x53, U'\U0001F4A7'}, {0x54, U'\u2744'}, {0x55, U'\u271D'}, {0x56, U'\u271E'}, {0x57, U'\U0001F548'},
    {0x58, U'\u2720'}, {0x59, U'\u2721'}, {0x5A, U'\u262A'}, {0x5B, U'\u262F'}, {0x5C, U'\u262C'},
    {0x5D, U'\u2638'}, {0x5E, U'\u2648'}, {0x5F, U'\u2649'}, {0x60, U'\u264A'}, {0x61, U'\u264B'},
    {0x62, U'\u264C'}, {0x63, U'\u264D'}, {0x64, U'\u264E'}, {0x65, U'\u264F'}, {0x66, U'\u2650'},
    {0x67, U'\u2651'}, {0x68, U'\u2652'}, {0x69, U'\u2653'}, {0x6A, U'\U0001F670'}, {0x6B, U'\U0001F675'},
    {0x6C, U'\u25CF'}, {0x6D, U'\u274D'}, {0x6E, U'\u25A0'}, {0x6F, U'\u25A1'}, {0x70, U'\u25A1'},
    {0x71, U'\u2751'}, {0x72, U'\u2752'}, {0x73, U'\u25C6'}, {0x74, U'\u29EB'}, {0x75, U'\u25C6'},
    {0x76, U'\u2756'}, {0x77, U'\u25C6'}, {0x78, U'\u2327'}, {0x79, U'\u25B2'}, {0x7A, U'\u2318'},
    {0x7B, U'\u2740'}, {0x7C, U'\u273F'}, {0x7D, U'\u275D'}, {0x7E, U'\u275E'},
    {0x80, U'\u25EF'}, {0x81, U'\u2460'}, {0x82, U'\u2461'}, {0x83, U'\u2462'}, {0x84, U'\u2463'},
    {0x85, U'\u2464'}, {0x86, U'\u2465'}, {0x87, U'\u2466'}, {0x88, U'\u2467'}, {0x89, U'\u2468'},
    {0x8A, U'\u2469'}, {0x8B, U'\u25CF'}, {0x8C, U'\u2776'}, {0x8D, U'\u2777'}, {0x8E, U'\u2778'},
    {0x8F, U'\u2779'}, {0x90, U'\u277A'}, {0x91, U'\u277B'}, {0x92, U'\u277C'}, {0x93, U'\u277D'},
    {0x94, U'\u277E'}, {0x95, U'\u277F'}, {0x96, U'\U0001F662'}, {0x97, U'\U0001F660'}, {0x98, U'\U0001F661'},
    {0x99, U'\U0001F663'}, {0x9A, U'\U0001F65E'}, {0x9B, U'\U0001F65C'}, {0x9C, U'\U0001F65D'},
    {0x9D, U'\U0001F65F'}, {0x9E, U'\u00B7'}, {0x9F, U'\u2022'}, {0xA0, U'\u25AA'}, {0xA1, U'\u25CB'},
    {0xA2, U'\u25CB'}, {0xA3, U'\u25CB'}, {0xA4, U'\u25C9'}, {0xA5, U'\u25CE'}, {0xA6, U'\u274D'},
    {0xA7, U'\u25AA'}, {0xA8, U'\u25FB'}, {0xA9, U'\U0001F7C2'}, {0xAA, U'\u2726'}, {0xAB, U'\u2605'},
    {0xAC, U'\u2736'}, {0xAD, U'\u2734'}, {0xAE, U'\u2739'}, {0xAF, U'\u2735'}, {0xB0, U'\u25A3'},
    {0xB1, U'\u2295'}, {0xB2, U'\u25C7'}, {0xB3, U'\u2311'}, {0xB4, U'\u2047'}, {0xB5, U'\u272A'},
    {0xB6, U'\u2730'}, {0xB7, U'\U0001F550'}, {0xB8, U'\U0001F551'}, {0xB9, U'\U0001F552'},
    {0xBA, U'\U0001F553'}, {0xBB, U'\U0001F554'}, {0xBC, U'\U0001F555'}, {0xBD, U'\U0001F556'},
    {0xBE, U'\U0001F557'}, {0xBF, U'\U0001F558'}, {0xC0, U'\U0001F559'}, {0xC1, U'\U0001F55A'},
    {0xC2, U'\U0001F55B'}, {0xC3, U'\u21B2'}, {0xC4, U'\u21B3'}, {0xC5, U'\u21B0'}, {0xC6, U'\u21B1'},
    {0xC7, U'\u21B4'}, {0xC8, U'\u21B5'}, {0xC9, U'\u21B6'}, {0xCA, U'\u21B7'}, {0xCB, U'\U0001F66A'},
    {0xCC, U'\U0001F66B'}, {0xCD, U'\U0001F655'}, {0xCE, U'\U0001F654'}, {0xCF, U'\U0001F657'},
    {0xD0, U'\U0001F656'}, {0xD1, U'\U0001F650'}, {0xD2, U'\U0001F651'}, {0xD3, U'\U0001F652'},
    {0xD4, U'\U0001F653'}, {0xD5, U'\u232B'}, {0xD6, U'\u2326'}, {0xD7, U'\u25C4'}, {0xD8, U'\u27A2'},
    {0xD9, U'\u25B2'}, {0xDA, U'\u25BC'}, {0xDB, U'\u2B05'}, {0xDC, U'\u27A1'}, {0xDD, U'\u2B06'},
    {0xDE, U'\u2B07'}, {0xDF, U'\U0001F868'}, {0xE0, U'\U0001F86A'}, {0xE1, U'\U0001F869'},
    {0xE2, U'\U0001F86B'}, {0xE3, U'\U0001F86C'}, {0xE4, U'\U0001F86D'}, {0xE5, U'\U0001F86F'},
    {0xE6, U'\U0001F86E'}, {0xE7, U'\U0001F878'}, {0xE8, U'\U0001F87A'}, {0xE9, U'\U0001F879'},
    {0xEA, U'\U0001F87B'}, {0xEB, U'\U0001F87C'}, {0xEC, U'\U0001F87D'}, {0xED, U'\U0001F87F'},
    {0xEE, U'\U0001F87E'}, {0xEF, U'\u21E6'}, {0xF0, U'\u21E8'}, {0xF1, U'\u21E7'}, {0xF2, U'\u21E9'},
    {0xF3, U'\u2B04'}, {0xF4, U'\u21F3'}, {0xF5, U'\u2B01'}, {0xF6, U'\u2B00'}, {0xF7, U'\u2B03'},
    {0xF8, U'\u2B02'}, {0xF9, U'\U0001F8AC'}, {0xFA, U'\U0001F8AD'}, {0xFB, U'\u2717'}, {0xFC, U'\u2714'},
    {0xFD, U'\u2612'}, {0xFE, U'\u2611'},
};

constexpr Picture kWingdings2[] = {
    {0x21, U'\u2712'}, {0x22, U'\u2712'}, {0x25, U'\u2704'}, {0x26, U'\u2702'}, {0x27, U'\u260E'},
    {0x28, U'\u260F'}, {0x42, U'\u261C'}, {0x43, U'\u261E'}, {0x4A, U'\u261D'}, {0x4B, U'\u261F'},
    {0x4F, U'\u2717'}, {0x50, U'\u2713'}, {0x51, U'\u2612'}, {0x52, U'\u2611'}, {0x53, U'\u2612'},
    {0x54, U'\u2612'}, {0x55, U'\u2297'}, {0x58, U'\u2298'}, {0x5D, U'\u203D'}, {0x69, U'\u25EF'},
    {0x6A, U'\u2460'}, {0x6B, U'\u2461'}, {0x6C, U'\u2462'}, {0x6D, U'\u2463'}, {0x6E, U'\u2464'},
    {0x6F, U'\u2465'}, {0x70, U'\u2466'}, {0x71, U'\u2467'}, {0x72, U'\u2468'}, {0x73, U'\u2469'},
    {0x74, U'\u25CF'}, {0x75, U'\u2776'}, {0x76, U'\u2777'}, {0x77, U'\u2778'}, {0x78, U'\u2779'},
    {0x79, U'\u277A'}, {0x7A, U'\u277B'}, {0x7B, U'\u277C'}, {0x7C, U'\u277D'}, {0x7D, U'\u277E'},
    {0x7E, U'\u277F'}, {0x80, U'\u2609'}, {0x82, U'\u263D'}, {0x83, U'\u263E'}, {0x85, U'\u271D'},
    {0x9E, U'\u00B7'}, {0x9F, U'\u2022'}, {0xA0, U'\u25AA'}, {0xA3, U'\u2610'},
};

constexpr Picture kWingdings3[] = {
    {0x21, U'\u2190'}, {0x22, U'\u2192'}, {0x23, U'\u2191'}, {0x24, U'\u2193'}, {0x25, U'\u2196'},
    {0x26, U'\u2197'}, {0x27, U'\u2199'}, {0x28, U'\u2198'}, {0x70, U'\u25B2'}, {0x71, U'\u25BC'},
    {0x72, U'\u25B3'}, {0x73, U'\u25BD'}, {0x74, U'\u25C0'}, {0x75, U'\u25B6'}, {0x76, U'\u25C1'},
    {0x77, U'\u25B7'}, {0x78, U'\u25E3'}, {0x79, U'\u25E2'}, {0x7A, U'\u25E4'}, {0x7B, U'\u25E5'},
};

constexpr Picture kWebdings[] = {
    {0x21, U'\U0001F577'}, {0x22, U'\U0001F578'}, {0x23, U'\U0001F572'}, {0x24, U'\U0001F576'},
    {0x25, U'\U0001F3C6'}, {0x26, U'\U0001F396'}, {0x27, U'\U0001F587'}, {0x28, U'\U0001F5E8'},
    {0x29, U'\U0001F5E9'}, {0x2A, U'\U0001F5F0'}, {0x2B, U'\U0001F5F1'}, {0x2C, U'\U0001F336'},
    {0x2D, U'\U0001F397'}, {0x2E, U'\U0001F67E'}, {0x2F, U'\U0001F67C'}, {0x30, U'\U0001F5D5'},
    {0x31, U'\U0001F5D6'}, {0x32, U'\U0001F5D7'}, {0x33, U'\u25C0'}, {0x34, U'\u25B6'}, {0x35, U'\u25B2'},
    {0x36, U'\u25BC'}, {0x37, U'\u25C0'}, {0x38, U'\u25B6'}, {0x39, U'\u25C0'}, {0x3A, U'\u25B6'},
    {0x3B, U'\u2016'}, {0x3C, U'\u25A0'}, {0x3D, U'\u25CF'}, {0x3E, U'\U0001F5DA'}, {0x3F, U'\U0001F5F3'},
    {0x40, U'\U0001F6E0'}, {0x41, U'\U0001F3D7'}, {0x42, U'\U0001F3D8'}, {0x43, U'\U0001F3D9'},
    {0x44, U'\U0001F3DA'}, {0x45, U'\U0001F3DC'}, {0x46, U'\U0001F3ED'}, {0x47, U'\U0001F3DB'},
    {0x48, U'\U0001F3E0'}, {0x49, U'\U0001F3D6'}, {0x4A, U'\U0001F3DD'}, {0x4B, U'\U0001F6E3'},
    {0x4C, U'\U0001F50D'}, {0x4D, U'\U0001F3D4'}, {0x4E, U'\U0001F441'}, {0x4F, U'\U0001F442'},
    {0x50, U'\U0001F3DE'}, {0x51, U'\U0001F3D5'}, {0x52, U'\U0001F6E4'}, {0x53, U'\U0001F3DF'},
    {0x54, U'\U0001F6F3'}, {0x55, U'\U0001F56C'}, {0x56, U'\U0001F56B'}, {0x57, U'\U0001F568'},
    {0x58, U'\U0001F508'}, {0x59, U'\U0001F394'}, {0x5A, U'\U0001F395'}, {0x5B, U'\U0001F5EC'},
    {0x5C, U'\U0001F67D'}, {0x5D, U'\U0001F5ED'}, {0x5E, U'\U0001F5EA'}, {0x5F, U'\U0001F5EB'},
    {0x60, U'\u21BB'}, {0x61, U'\u2714'}, {0x62, U'\U0001F6B2'}, {0x63, U'\u25A1'}, {0x64, U'\U0001F6E1'},
    {0x65, U'\U0001F4E6'}, {0x66, U'\U0001F6F1'}, {0x67, U'\u25A0'}, {0x68, U'\U0001F691'},
    {0x69, U'\u2139'}, {0x6A, U'\U0001F6E9'}, {0x6B, U'\U0001F6F0'}, {0x6C, U'\U0001F7C8'},
    {0x6D, U'\U0001F574'}, {0x6E, U'\u25CF'}, {0x6F, U'\U0001F6E5'}, {0x70, U'\U0001F694'},
    {0x71, U'\U0001F5D8'}, {0x72, U'\u2715'}, {0x73, U'\u003F'}, {0x74, U'\U0001F6F2'},
    {0x75, U'\U0001F687'}, {0x76, U'\U0001F68D'}, {0x77, U'\u2691'}, {0x78, U'\U0001F6C7'},
    {0x79, U'\u2296'}, {0x7A, U'\U0001F6AD'}, {0x7B, U'\U0001F5EE'}, {0x7D, U'\U0001F5EF'},
    {0x7E, U'\U0001F5F2'},
};

using CodeTable = std::array<char32_t, 256>;

template <size_t N>
CodeTable tableOf(const Picture (&pictures)[N])
{
    CodeTable table{};
    for (const Picture& p : pictures)
        table[p.code] = p.character;
    return table;
}

const CodeTable& tableFor(SymbolFont font)
{
    static const CodeTable none{};
    static const CodeTable symbol = tableOf(kSymbol);
    static const CodeTable wingdings = tableOf(kWingdings);
    static const CodeTable wingdings2 = tableOf(kWingdings2);
    static const CodeTable wingdings3 = tableOf(kWingdings3);
    static const CodeTable webdings = tableOf(kWebdings);
    switch (font) {
    case SymbolFont::None: break;
    case SymbolFont::Symbol: return symbol;
    case SymbolFont::Wingdings: return wingdings;
    case SymbolFont::Wingdings2: return wingdings2;
    case SymbolFont::Wingdings3: return wingdings3;
    case SymbolFont::Webdings: return webdings;
    }
    return none;
}

// The characters Windows-1252 puts at 0x80..0x9F, back to their bytes.
unsigned windows1252Byte(char16_t c)
{
    static const Text upper = [] {
        std::string bytes;
        for (int b = 0x80; b < 0xA0; ++b)
            bytes += static_cast<char>(b);
        return fromWindows1252(bytes);
    }();
    const size_t at = upper.find(c);
    return at == Text::npos || at >= 0x20 ? 0 : static_cast<unsigned>(0x80 + at);
}

void appendCharacter(Text& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

} // namespace

SymbolFont symbolFontNamed(TextView fontName)
{
    // Asked for every text drawn: no copies of the name.
    const TextView name = trimSpacesView(fontName);
    if (equalsIgnoreCase(name, u"symbol"))
        return SymbolFont::Symbol;
    if (equalsIgnoreCase(name, u"wingdings"))
        return SymbolFont::Wingdings;
    if (equalsIgnoreCase(name, u"wingdings 2"))
        return SymbolFont::Wingdings2;
    if (equalsIgnoreCase(name, u"wingdings 3"))
        return SymbolFont::Wingdings3;
    if (equalsIgnoreCase(name, u"webdings"))
        return SymbolFont::Webdings;
    return SymbolFont::None;
}

unsigned symbolCodeOf(char16_t c)
{
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return c;
    if (c >= 0xF020 && c <= 0xF0FF)
        return c - 0xF000;
    if (c >= 0x100)
        return windows1252Byte(c);
    return 0;
}

char32_t symbolFontCharacter(SymbolFont font, unsigned code)
{
    return code < 256 ? tableFor(font)[code] : 0;
}

Text symbolFontText(SymbolFont font, TextView text)
{
    if (font == SymbolFont::None)
        return Text(text);
    Text out;
    out.reserve(text.size());
    for (char16_t c : text) {
        const char32_t picture = symbolFontCharacter(font, symbolCodeOf(c));
        if (picture)
            appendCharacter(out, picture);
        else if (c >= 0xF020 && c <= 0xF0FF)
            out += static_cast<char16_t>(c - 0xF000);  // a shared character such as a digit
        else
            out += c;
    }
    return out;
}

} // namespace quillet::surface

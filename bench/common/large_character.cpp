#include "large_character.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace quillet::bench {
namespace {

constexpr std::array<const char*, 16> kWords = {
    "Ancient", "Mountain", "Courtly",  "Hidden",   "Northern", "Silver", "Tidal",    "Ember",
    "Stone",   "Forest",   "Merchant", "Shadowed", "Harbour",  "Winter", "Thunder",  "Glass"};
constexpr std::array<const char*, 8> kTypes = {"IQ/E", "IQ/A", "IQ/H", "IQ/VH", "DX/E", "DX/A", "DX/H", "HT/A"};
constexpr std::array<const char*, 6> kTimes = {"1 sec", "2 sec", "5 sec", "10 sec", "1 min", "1 hr"};
constexpr std::array<const char*, 6> kDurations = {"Instant", "10 sec", "1 min", "10 min", "1 hr", "1 day"};

std::string num(long n)
{
    return std::to_string(n);
}

// Two words picked by `i`, so that names vary in length as real ones do.
std::string words(int i)
{
    return std::string(kWords[static_cast<size_t>(i) % kWords.size()]) + " " +
           kWords[static_cast<size_t>(i / 7 + 3) % kWords.size()];
}

// Paragraphs of prose joined with the file format's paragraph mark.
std::string prose(const char* subject, int paragraphs)
{
    std::string text;
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0)
            text += "~P";
        text += "Entry " + num(p + 1) + " about " + subject + ": ";
        for (int s = 0; s < 6; ++s) {
            text += "The " + words(p * 6 + s) +
                    " road climbs past the old watchtower, where the company rested for " + num(2 + (p + s) % 9) +
                    " days and traded stories with the wardens of the pass. ";
        }
    }
    return text;
}

} // namespace

std::string largeCharacterText(int scale)
{
    std::string t = "[system]\r\nversion(2.3)\r\n[general]\r\ncharname(Benedikt Largely-Equipped)\r\n"
                    "playername(Generated for timing)\r\ncharinplay(1)\r\n";
    t += "description(" + prose("his travels", 24 * scale) + ")\r\n";
    t += "notes(" + prose("the campaign", 24 * scale) + ")\r\n";
    t += "[points]\r\nattributes(150), ads(900), disads(-120), quirks(-5), powers(40), skills(2500), "
         "spells(1400), total(4765), unspent(3.5)\r\n";
    t += "[race]\r\nname(Human), st(0), stcost(0), dx(0), dxcost(0), iq(0), iqcost(0), ht(0), htcost(0)\r\n";
    t += "[attributes]\r\n";
    const std::array<const char*, 8> attributes = {"ST", "DX", "IQ", "HT", "Hit Points", "Will", "Basic Speed",
                                                   "Move"};
    for (size_t i = 0; i < attributes.size(); ++i)
        t += std::string("name(") + attributes[i] + "), level(" + num(10 + long(i) % 5) + "), points(" +
             num(10 * long(i)) + ")\r\n";
    t += "[advantages]\r\n";
    for (int i = 0; i < 300 * scale; ++i)
        t += "name(" + words(i) + " Gift " + num(i) + "), level(" + num(1 + i % 4) + "), points(" +
             num(1 + i % 25) + "), page(B" + num(20 + i % 180) + ")\r\n";
    t += "[disadvantages]\r\n";
    for (int i = 0; i < 25 * scale; ++i)
        t += "name(" + words(i + 5) + " Burden " + num(i) + "), points(-" + num(5 + i % 10) + "), page(B" +
             num(120 + i % 40) + ")\r\n";
    t += "[quirks]\r\n";
    for (int i = 0; i < 15 * scale; ++i)
        t += "name(Collects " + words(i + 2) + " trinkets, number " + num(i) + "), points(-1)\r\n";
    t += "[powers]\r\n";
    for (int i = 0; i < 7 * scale; ++i)
        t += "name(" + words(i + 9) + " Surge), level(" + num(1 + i) + "), points(" + num(5 + i) +
             "), notes(Recharges at dawn; " + words(i) + ")\r\n";
    t += "[skills]\r\n";
    for (int i = 0; i < 1000 * scale; ++i) {
        t += "name(" + words(i) + " Lore " + num(i) + ")";
        if (i % 3 == 0)
            t += ", nameext(" + words(i + 11) + ")";
        t += ", type(" + std::string(kTypes[static_cast<size_t>(i) % kTypes.size()]) + "), level(" +
             num(8 + i % 10) + "), points(" + num(1 + i % 8) + "), page(B" + num(100 + i % 200) + ")\r\n";
    }
    t += "[spells]\r\n";
    for (int i = 0; i < 700 * scale; ++i)
        t += "name(" + words(i + 4) + " Ward " + num(i) + "), college(" + kWords[static_cast<size_t>(i) % 16] +
             "), class(Regular), time(" + kTimes[static_cast<size_t>(i) % kTimes.size()] + "), duration(" +
             kDurations[static_cast<size_t>(i / 3) % kDurations.size()] + "), cost(" + num(1 + i % 6) +
             "), level(" + num(12 + i % 6) + "), points(" + num(1 + i % 4) + ")\r\n";
    t += "[pd/dr]\r\nname(head), pd(1), dr(3)\r\nname(body), pd(2), dr(4)\r\n";
    return t;
}

ScratchFolder::ScratchFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder like " + pattern);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::write(const std::string& name, const std::string& text) const
{
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + file.string());
    return file;
}

} // namespace quillet::bench

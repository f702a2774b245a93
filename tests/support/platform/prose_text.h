#pragma once
// Generated prose for the layout benchmarks: paragraphs of common hanzi with
// punctuation and the occasional digit, Latin letter and blank line.
#include <cstddef>
#include <random>
#include <string>

namespace pagora {

struct ProseShape {
    unsigned seed = 7;
    std::size_t units = 60000; // at least this many code units
    bool cutToUnits = false;   // exactly this many
    int paragraphMin = 40;     // units per paragraph: min + rng % spread
    int paragraphSpread = 400;
    unsigned hanziBelow = 85;       // of 100: hanzi below this roll,
    unsigned punctuationBelow = 93; // then "，" or "。",
    unsigned digitBelow = 96;       // then a digit, else a Latin letter
    bool blankLines = true;         // one paragraph in eight is followed by a blank line
};

inline std::u16string proseText(const ProseShape &shape)
{
    const std::u16string hanzi =
        u"之乎者也天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲律呂調陽雲騰致雨露結為霜";
    std::mt19937 rng(shape.seed);
    std::u16string t;
    t.reserve(shape.units + 64);
    while (t.size() < shape.units) {
        const int paragraph = shape.paragraphMin + int(rng() % unsigned(shape.paragraphSpread));
        for (int k = 0; k < paragraph; ++k) {
            const unsigned roll = rng() % 100;
            if (roll < shape.hanziBelow)
                t += hanzi[rng() % hanzi.size()];
            else if (roll < shape.punctuationBelow)
                t += (rng() & 1) ? u'，' : u'。';
            else if (roll < shape.digitBelow)
                t += char16_t(u'0' + rng() % 10);
            else
                t += char16_t(u'a' + rng() % 26);
        }
        if (shape.blankLines)
            t += (rng() % 8 == 0) ? u"\r\n\r\n" : u"\r\n";
        else
            t += u"\r\n";
    }
    if (shape.cutToUnits)
        t.resize(shape.units);
    return t;
}

} // namespace pagora

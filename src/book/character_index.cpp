#include "book/character_index.h"

#include "platform/files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

namespace pagora {

namespace {

constexpr char kMagic[4] = {'P', 'G', 'C', 'I'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kSlotSize = 8; // code point, offset of its text
// An index beyond this is not one we wrote.
constexpr std::uint32_t kMaxEntries = 0x110000;

void putU32(std::string &out, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(char((v >> (8 * k)) & 0xFF));
}

std::uint32_t getU32(const std::string &bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= std::uint32_t(std::uint8_t(bytes[at + std::size_t(k)])) << (8 * k);
    return v;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t to = std::min(text.find(separator, from), text.size());
        if (to > from)
            parts.push_back(text.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

int leadingNumber(std::string_view text)
{
    int v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9' || v > 100000)
            break;
        v = v * 10 + (ch - '0');
    }
    return v;
}

// "U+4E48 U+5E7A<kSource" to the characters named.
std::u32string codePoints(std::string_view text)
{
    std::u32string out;
    for (std::string_view token : split(text, ' ')) {
        token = token.substr(0, token.find('<'));
        if (token.size() < 3 || token[0] != 'U' || token[1] != '+')
            continue;
        char32_t c = 0;
        for (char ch : token.substr(2)) {
            const int digit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
            if (digit < 0 || c > 0x10FFFF) {
                c = 0;
                break;
            }
            c = c * 16 + char32_t(digit);
        }
        if (c > 0 && c <= 0x10FFFF)
            out.push_back(c);
    }
    return out;
}

// One code point of UTF-8 at i; 0xFFFD for a bad sequence.
char32_t decodeUtf8(std::string_view s, std::size_t &i)
{
    const unsigned char b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80)
        return b;
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0)
        return 0xFFFD;
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return c;
}

// A letter of a pinyin syllable: the plain letter ('v' for ü, 'E' for ê) and
// the tone its mark gives (0 none).
struct PinyinLetter {
    char32_t written;
    char plain;
    int tone;
};

// The letters with tone marks that pinyin writes.
constexpr std::array<PinyinLetter, 34> kToned = {{
    {U'ā', 'a', 1}, {U'á', 'a', 2}, {U'ǎ', 'a', 3},    {U'à', 'a', 4},    {U'ē', 'e', 1}, {U'é', 'e', 2},
    {U'ě', 'e', 3}, {U'è', 'e', 4}, {U'ī', 'i', 1},    {U'í', 'i', 2},    {U'ǐ', 'i', 3}, {U'ì', 'i', 4},
    {U'ō', 'o', 1}, {U'ó', 'o', 2}, {U'ǒ', 'o', 3},    {U'ò', 'o', 4},    {U'ū', 'u', 1}, {U'ú', 'u', 2},
    {U'ǔ', 'u', 3}, {U'ù', 'u', 4}, {U'ǖ', 'v', 1},    {U'ǘ', 'v', 2},    {U'ǚ', 'v', 3}, {U'ǜ', 'v', 4},
    {U'ü', 'v', 0}, {U'ê', 'E', 0}, {U'ế', 'E', 2},    {U'ề', 'E', 4},    {U'ḿ', 'm', 2}, {U'ń', 'n', 2},
    {U'ň', 'n', 3}, {U'ǹ', 'n', 4}, {U'\u0304', 0, 1}, {U'\u030C', 0, 3},
}};

struct Sound {
    const char *pinyin;
    const char *zhuyin;
};

constexpr std::array<Sound, 21> kInitials = {{
    {"zh", "ㄓ"}, {"ch", "ㄔ"}, {"sh", "ㄕ"}, {"b", "ㄅ"}, {"p", "ㄆ"}, {"m", "ㄇ"}, {"f", "ㄈ"},
    {"d", "ㄉ"},  {"t", "ㄊ"},  {"n", "ㄋ"},  {"l", "ㄌ"}, {"g", "ㄍ"}, {"k", "ㄎ"}, {"h", "ㄏ"},
    {"j", "ㄐ"},  {"q", "ㄑ"},  {"x", "ㄒ"},  {"r", "ㄖ"}, {"z", "ㄗ"}, {"c", "ㄘ"}, {"s", "ㄙ"},
}};

// Finals in their full spelling (iou, uei, uen; v for ü).
constexpr std::array<Sound, 39> kFinals = {{
    {"a", "ㄚ"},     {"o", "ㄛ"},      {"e", "ㄜ"},     {"E", "ㄝ"},      {"ai", "ㄞ"},     {"ei", "ㄟ"},
    {"ao", "ㄠ"},    {"ou", "ㄡ"},     {"an", "ㄢ"},    {"en", "ㄣ"},     {"ang", "ㄤ"},    {"eng", "ㄥ"},
    {"ong", "ㄨㄥ"}, {"er", "ㄦ"},     {"i", "ㄧ"},     {"ia", "ㄧㄚ"},   {"io", "ㄧㄛ"},   {"ie", "ㄧㄝ"},
    {"iai", "ㄧㄞ"}, {"iao", "ㄧㄠ"},  {"iou", "ㄧㄡ"}, {"ian", "ㄧㄢ"},  {"in", "ㄧㄣ"},   {"iang", "ㄧㄤ"},
    {"ing", "ㄧㄥ"}, {"iong", "ㄩㄥ"}, {"u", "ㄨ"},     {"ua", "ㄨㄚ"},   {"uo", "ㄨㄛ"},   {"uai", "ㄨㄞ"},
    {"uei", "ㄨㄟ"}, {"uan", "ㄨㄢ"},  {"uen", "ㄨㄣ"}, {"uang", "ㄨㄤ"}, {"ueng", "ㄨㄥ"}, {"v", "ㄩ"},
    {"ve", "ㄩㄝ"},  {"van", "ㄩㄢ"},  {"vn", "ㄩㄣ"},
}};

// Syllables without a vowel, and ê alone.
constexpr std::array<Sound, 6> kSyllabic = {{
    {"m", "ㄇ"},
    {"n", "ㄋ"},
    {"ng", "ㄫ"},
    {"hm", "ㄏㄇ"},
    {"hng", "ㄏㄫ"},
    {"E", "ㄝ"},
}};

const char *lookUp(const Sound *begin, const Sound *end, std::string_view key)
{
    for (const Sound *s = begin; s != end; ++s)
        if (key == s->pinyin)
            return s->zhuyin;
    return nullptr;
}

// The final as written after y or w, in its full spelling.
std::string finalAfterGlide(char glide, std::string_view rest)
{
    if (glide == 'y') {
        if (!rest.empty() && rest[0] == 'i')
            return std::string(rest);
        if (!rest.empty() && rest[0] == 'u')
            return "v" + std::string(rest.substr(1));
        return "i" + std::string(rest);
    }
    if (rest == "u")
        return "u";
    return "u" + std::string(rest);
}

} // namespace

bool CharacterIndex::open(Files &files, const std::string &path)
{
    m_bytes.clear();
    m_count = 0;
    std::string bytes;
    if (!readWholeFile(files, path, bytes) || bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 4) != 0 ||
        getU32(bytes, 4) != kVersion)
        return false;
    const std::uint32_t count = getU32(bytes, 8);
    // Every slot, the sentinel slot too, inside the file; every offset
    // within the text that follows, in order.
    if (count == 0 || count > kMaxEntries || (bytes.size() - kHeaderSize) / kSlotSize < std::size_t(count) + 1)
        return false;
    const std::size_t textStart = kHeaderSize + (std::size_t(count) + 1) * kSlotSize;
    std::uint32_t previousOffset = 0;
    char32_t previous = 0;
    for (std::uint32_t k = 0; k <= count; ++k) {
        const std::size_t at = kHeaderSize + std::size_t(k) * kSlotSize;
        const std::uint32_t offset = getU32(bytes, at + 4);
        if (offset < previousOffset || textStart + offset > bytes.size())
            return false;
        const char32_t c = getU32(bytes, at);
        if (k < count && k > 0 && c <= previous)
            return false;
        previous = c;
        previousOffset = offset;
    }
    m_bytes = std::move(bytes);
    m_count = count;
    return true;
}

bool CharacterIndex::find(char32_t c, CharacterEntry &entry) const
{
    if (m_count == 0)
        return false;
    std::uint32_t low = 0, high = m_count;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (getU32(m_bytes, kHeaderSize + std::size_t(mid) * kSlotSize) < c)
            low = mid + 1;
        else
            high = mid;
    }
    const std::size_t slot = kHeaderSize + std::size_t(low) * kSlotSize;
    if (low == m_count || getU32(m_bytes, slot) != c)
        return false;
    const std::size_t textStart = kHeaderSize + (std::size_t(m_count) + 1) * kSlotSize;
    const std::uint32_t from = getU32(m_bytes, slot + 4);
    const std::uint32_t to = getU32(m_bytes, slot + kSlotSize + 4);
    const std::string_view text = std::string_view(m_bytes).substr(textStart + from, to - from);

    std::array<std::string_view, 7> f{};
    std::size_t k = 0, start = 0;
    for (std::size_t i = 0; i <= text.size() && k < f.size(); ++i) {
        if (i == text.size() || text[i] == '\t') {
            f[k++] = text.substr(start, i - start);
            start = i + 1;
        }
    }
    entry = CharacterEntry{};
    entry.character = c;
    for (std::string_view p : split(f[0], ' '))
        entry.pinyin.emplace_back(p);
    for (std::string_view j : split(f[1], ' '))
        entry.jyutping.emplace_back(j);
    const auto radicals = split(f[2], ' ');
    entry.radical = radicals.empty() ? 0 : leadingNumber(radicals.front());
    // Where two counts are given the second is the traditional form's.
    const auto strokes = split(f[3], ' ');
    entry.strokes = strokes.empty() ? 0 : leadingNumber(strokes.back());
    entry.traditional = codePoints(f[4]);
    entry.simplified = codePoints(f[5]);
    entry.definition = std::string(f[6]);
    return true;
}

std::string CharacterIndex::encode(const std::vector<std::pair<char32_t, CharacterFields>> &fields)
{
    auto sorted = fields;
    std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::string out(kMagic, 4);
    putU32(out, kVersion);
    putU32(out, std::uint32_t(sorted.size()));
    std::string text;
    for (const auto &[c, f] : sorted) {
        putU32(out, c);
        putU32(out, std::uint32_t(text.size()));
        for (const std::string *value :
             {&f.mandarin, &f.cantonese, &f.radicalStrokes, &f.totalStrokes, &f.traditional, &f.simplified}) {
            text += *value;
            text += '\t';
        }
        text += f.definition;
    }
    putU32(out, 0);
    putU32(out, std::uint32_t(text.size()));
    return out + text;
}

std::string allReadings(std::string_view mandarin, const std::vector<std::string_view> &dictionaryFields)
{
    std::vector<std::string_view> readings = split(mandarin, ' ');
    // Unihan gives the mainland's reading first and Taiwan's second.
    std::reverse(readings.begin(), readings.end());
    for (std::string_view field : dictionaryFields) {
        for (std::string_view located : split(field, ' ')) {
            const std::size_t colon = located.find(':');
            if (colon == std::string_view::npos)
                continue;
            for (std::string_view reading : split(located.substr(colon + 1), ','))
                if (std::find(readings.begin(), readings.end(), reading) == readings.end())
                    readings.push_back(reading);
        }
    }
    std::string out;
    for (std::string_view reading : readings)
        out += (out.empty() ? "" : " ") + std::string(reading);
    return out;
}

char16_t kangxiRadical(int number)
{
    static constexpr std::u16string_view radicals =
        u"一丨丶丿乙亅二亠人儿入八冂冖冫几凵刀力勹匕匚匸十卜卩厂厶又口囗土士夂夊夕大女子宀寸小尢尸屮山巛工己巾干幺广廴"
        u"廾弋弓彐彡彳心戈戶手支攴文斗斤方无日"
        u"曰月木欠止歹殳毋比毛氏气水火爪父爻爿片牙牛犬玄玉瓜瓦甘生用田疋疒癶白皮皿目矛矢石示禸禾穴立竹米糸缶网羊羽老而"
        u"耒耳聿肉臣自至臼舌舛舟艮色艸虍虫血行"
        u"衣襾見角言谷豆豕豸貝赤走足身車辛辰辵邑酉釆里金長門阜隶隹雨靑非面革韋韭音頁風飛食首香馬骨高髟鬥鬯鬲鬼魚鳥鹵鹿"
        u"麥麻黃黍黑黹黽鼎鼓鼠鼻齊齒龍龜龠";
    return number >= 1 && number <= int(radicals.size()) ? radicals[std::size_t(number - 1)] : u'\0';
}

std::string zhuyinFromPinyin(std::string_view pinyin)
{
    std::string plain;
    int tone = 0;
    for (std::size_t i = 0; i < pinyin.size();) {
        const char32_t c = decodeUtf8(pinyin, i);
        if (c >= U'a' && c <= U'z') {
            plain.push_back(char(c));
            continue;
        }
        const auto it =
            std::find_if(kToned.begin(), kToned.end(), [c](const PinyinLetter &l) { return l.written == c; });
        if (c == U'\u0301' || c == U'\u0300') {
            tone = c == U'\u0301' ? 2 : 4;
            continue;
        }
        if (it == kToned.end())
            return {};
        if (it->plain != 0)
            plain.push_back(it->plain);
        if (it->tone != 0)
            tone = it->tone;
    }
    std::string out;
    if (const char *z = lookUp(kSyllabic.begin(), kSyllabic.end(), plain)) {
        out = z;
    } else {
        std::string_view rest = plain;
        std::string finalPart;
        const char *initial = nullptr;
        if (!rest.empty() && (rest[0] == 'y' || rest[0] == 'w')) {
            finalPart = finalAfterGlide(rest[0], rest.substr(1));
        } else {
            for (const Sound &s : kInitials) {
                if (rest.starts_with(s.pinyin)) {
                    initial = s.zhuyin;
                    rest.remove_prefix(std::strlen(s.pinyin));
                    break;
                }
            }
            finalPart = std::string(rest);
            const bool palatal = !plain.empty() && (plain[0] == 'j' || plain[0] == 'q' || plain[0] == 'x');
            if (palatal && !finalPart.empty() && finalPart[0] == 'u')
                finalPart[0] = 'v';
            if (finalPart == "iu")
                finalPart = "iou";
            else if (finalPart == "ui")
                finalPart = "uei";
            else if (finalPart == "un")
                finalPart = "uen";
        }
        // zhi, chi, shi, ri, zi, ci, si: the initial alone.
        const bool buzzed =
            initial && finalPart == "i" && std::string_view("zcsr").find(plain[0]) != std::string_view::npos;
        const char *finalZhuyin = buzzed ? "" : lookUp(kFinals.begin(), kFinals.end(), finalPart);
        if (!finalZhuyin || (!initial && finalPart.empty()))
            return {};
        out = std::string(initial ? initial : "") + finalZhuyin;
    }
    switch (tone) {
    case 0: return "˙" + out;
    case 2: return out + "ˊ";
    case 3: return out + "ˇ";
    case 4: return out + "ˋ";
    default: return out;
    }
}

std::u32string distinctCharacters(std::u16string_view text)
{
    std::u32string out;
    std::unordered_set<char32_t> seen;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (seen.insert(c).second)
            out.push_back(c);
    }
    return out;
}

std::vector<std::string> characterIndexPaths(const std::string &programFolder)
{
    return {programFolder + "characters.idx", programFolder + "../share/pagora/characters.idx"};
}

const CharacterIndex *LookUpIndex::open(Files &files, const std::string &programFolder)
{
    if (!m_tried) {
        m_tried = true;
        for (const std::string &path : characterIndexPaths(programFolder))
            if (m_index.open(files, path))
                break;
    }
    return m_index.isOpen() ? &m_index : nullptr;
}

} // namespace pagora

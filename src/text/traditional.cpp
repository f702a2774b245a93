#include "text/traditional.h"

#include "text/traditional_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagora {

namespace tf = traditional;

namespace {

// How much each kind of evidence weighs, in natural-log units, in classical
// and in modern text: the context counts come from classical poetry and
// prose, the word weights and the conversion tables' phrases from modern use.
struct Weights {
    double first;   // the form the character table lists first
    double listed;  // per phrase of the conversion tables
    double word;    // per unit of log word weight
    double context; // times log P(character | neighbour)
};
constexpr Weights kClassical{0.5, 2.0, 0.3, 1.0};
constexpr Weights kModern{8.0, 20.0, 0.2, 0.1};
constexpr double kPairShare = 0.95; // of the neighbour's own counts against the single characters
constexpr std::size_t kMaxCands = 8;

// Characters of modern written Chinese that classical text hardly uses.
bool isModernMarker(char32_t c)
{
    return c == U'的' || c == U'们' || c == U'这' || c == U'吗' || c == U'呢' || c == U'么' || c == U'哪' ||
           c == U'她' || c == U'您' || c == U'吧' || c == U'啊' || c == U'很' || c == U'们' || c == U'个';
}

struct View {
    const std::uint64_t *prefixes;
    const std::uint32_t *info;
    const std::uint32_t *cands;
    std::size_t candCount;
    const tf::PhraseSlot *phrases;
    std::uint32_t phraseMask;
    const std::uint32_t *pool;
    std::size_t poolCount;
    const tf::ContextSlot *context;
    std::uint32_t contextMask;
    const std::uint32_t *variants;
    std::size_t variantCount;
    double total;
};

const tf::Header &headerOf(const std::uint8_t *data)
{
    return *reinterpret_cast<const tf::Header *>(data);
}

template <typename T> const T *sectionOf(const std::uint8_t *data, tf::Section s)
{
    return reinterpret_cast<const T *>(data + headerOf(data).offset[s]);
}

View viewOf(const std::uint8_t *data)
{
    const tf::Header &h = headerOf(data);
    View v{};
    v.prefixes = sectionOf<std::uint64_t>(data, tf::kPrefixes);
    v.info = sectionOf<std::uint32_t>(data, tf::kInfo);
    v.cands = sectionOf<std::uint32_t>(data, tf::kCands);
    v.candCount = h.size[tf::kCands] / 4;
    v.phrases = sectionOf<tf::PhraseSlot>(data, tf::kPhrases);
    v.phraseMask = std::uint32_t(h.size[tf::kPhrases] / sizeof(tf::PhraseSlot) - 1);
    v.pool = sectionOf<std::uint32_t>(data, tf::kPool);
    v.poolCount = h.size[tf::kPool] / 4;
    v.context = sectionOf<tf::ContextSlot>(data, tf::kContext);
    v.contextMask = std::uint32_t(h.size[tf::kContext] / sizeof(tf::ContextSlot) - 1);
    v.variants = sectionOf<std::uint32_t>(data, tf::kVariants);
    v.variantCount = h.size[tf::kVariants] / 8;
    v.total = h.total;
    return v;
}

bool isPowerOfTwo(std::size_t n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// Everything the converter later indexes without checking; the phrases are
// checked where they are read, which spares reading them all here.
bool isValid(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(tf::Header))
        return false;
    const tf::Header &h = headerOf(data);
    if (std::memcmp(h.magic, tf::kMagic, 4) != 0 || h.version != tf::kVersion)
        return false;
    for (std::uint32_t s = 0; s < tf::kSections; ++s) {
        if (h.offset[s] % 4 != 0 || std::uint64_t(h.offset[s]) + h.size[s] > size || h.size[s] % 4 != 0)
            return false;
    }
    if (h.size[tf::kInfo] != tf::kInfoChars * 4 || h.size[tf::kVariants] % 8 != 0 ||
        h.size[tf::kPhrases] % sizeof(tf::PhraseSlot) != 0 || h.size[tf::kContext] % sizeof(tf::ContextSlot) != 0 ||
        !isPowerOfTwo(h.size[tf::kPhrases] / sizeof(tf::PhraseSlot)) ||
        !isPowerOfTwo(h.size[tf::kContext] / sizeof(tf::ContextSlot)) || h.offset[tf::kPhrases] % 8 != 0 ||
        h.offset[tf::kPrefixes] % 8 != 0 || h.size[tf::kPrefixes] != tf::kPrefixWords * 8)
        return false;
    const View v = viewOf(data);
    for (std::uint32_t c = 0; c < tf::kInfoChars; ++c) {
        const std::uint32_t info = v.info[c];
        if ((info & tf::kCandIndexMask) + ((info >> tf::kCandCountShift) & 15) > v.candCount)
            return false;
    }
    return true;
}

bool mayStart(const View &v, std::uint32_t hash, std::uint32_t length)
{
    const std::uint32_t bit = tf::prefixBit(hash, length);
    return (v.prefixes[bit / 64] >> (bit % 64)) & 1;
}

std::uint32_t infoOf(const View &v, char32_t c)
{
    return c < tf::kInfoChars ? v.info[c] : 0;
}

std::uint32_t candCount(std::uint32_t info)
{
    return (info >> tf::kCandCountShift) & 15;
}

char32_t firstForm(const View &v, char32_t c)
{
    const std::uint32_t info = infoOf(v, c);
    return candCount(info) ? v.cands[info & tf::kCandIndexMask] : c;
}

// Calls found(slot) for every phrase of kind whose key is text[0, length).
template <typename Found>
void findPhrases(const View &v, const char32_t *text, std::size_t length, std::uint32_t hash, std::uint32_t kind,
                 Found &&found)
{
    const std::uint32_t mixed = tf::hashMix(hash, kind);
    for (std::uint32_t i = mixed & v.phraseMask, probes = 0; probes <= v.phraseMask;
         i = (i + 1) & v.phraseMask, ++probes) {
        const tf::PhraseSlot &p = v.phrases[i];
        if (p.keyLength == 0)
            return;
        if (p.hash != mixed || p.keyLength != length || p.kind != kind ||
            std::uint64_t(p.keyOffset) + p.keyLength > v.poolCount ||
            std::uint64_t(p.valueOffset) + p.valueLength > v.poolCount ||
            (kind == tf::kSimplifiedPhrase && p.valueLength != p.keyLength))
            continue;
        if (std::equal(text, text + length, v.pool + p.keyOffset))
            found(p);
    }
}

std::uint32_t contextCount(const View &v, std::uint32_t a, std::uint32_t b)
{
    for (std::uint32_t i = tf::contextHash(a, b) & v.contextMask, probes = 0; probes <= v.contextMask;
         i = (i + 1) & v.contextMask, ++probes) {
        const tf::ContextSlot &s = v.context[i];
        if (s.count == 0)
            return 0;
        if (s.a == a && s.b == b)
            return s.count;
    }
    return 0;
}

// log P(b | a), interpolated with how often b occurs at all: a rare a must
// not make every unseen neighbour likely.
double contextScore(const View &v, char32_t a, char32_t b)
{
    const double alone = (contextCount(v, 0, b) + 1.0) / (v.total + 50000.0);
    const double first = contextCount(v, 0, a);
    const double pair = first > 0 ? contextCount(v, a, b) / first : 0.0;
    return std::log(kPairShare * pair + (1 - kPairShare) * alone);
}

// What the context counts saw: every quote one mark, ASCII punctuation in
// its full-width form (as tools/convert/learn_context.py counts).
char32_t contextChar(char32_t c)
{
    switch (c) {
    case U'\n':
    case U'\r': return tf::kLineMark;
    case U'"':
    case U'\'':
    case U'“':
    case U'”':
    case U'‘':
    case U'’':
    case U'」':
    case U'『':
    case U'』': return U'「';
    case U',': return U'，';
    case U':': return U'：';
    case U';': return U'；';
    case U'?': return U'？';
    case U'!': return U'！';
    case U'(': return U'（';
    case U')': return U'）';
    default: return c;
    }
}

struct Cand {
    char32_t c;
    bool first;
    float listed; // phrases of the conversion tables that want it
    float word;   // log weights of the words that want it
};

struct Choice {
    std::uint32_t pos;
    std::uint32_t count;
    std::array<Cand, kMaxCands> cand;
};

// A listed phrase counts in full where the tables' own converter would take
// it, a quarter where a longer or earlier one overlaps it; a word counts a
// quarter where it straddles such a phrase.
void support(Choice &choice, char32_t c, std::uint32_t score, bool segment, bool straddles)
{
    std::uint32_t k = 0;
    while (k < choice.count && choice.cand[k].c != c)
        ++k;
    if (k == choice.count) {
        if (k == kMaxCands)
            return;
        choice.cand[choice.count++] = {c, false, 0, 0};
    }
    choice.cand[k].listed += score & tf::kListedPhrase ? (segment ? 1.0f : 0.25f) : 0.0f;
    choice.cand[k].word += float(score & 0xFFFFFF) / (straddles ? 4000.0f : 1000.0f);
}

double nodeScore(const Weights &w, const Cand &c)
{
    return w.first * c.first + w.listed * c.listed + w.word * c.word;
}

// The phrases of the conversion tables, matched longest first from the
// start as their own converter does: matched[i] is the length of the one
// starting at i (0 for none), bounds[i] is 1 where one starts or ends.
void segmentText(const View &v, std::u32string_view text, std::vector<std::uint8_t> &matched,
                 std::vector<std::uint8_t> &bounds)
{
    const std::size_t n = text.size();
    matched.assign(n + 1, 0);
    bounds.assign(n + 1, 0);
    for (std::size_t i = 0; i + 1 < n;) {
        const std::size_t longest = std::min<std::size_t>((infoOf(v, text[i]) >> tf::kPhraseLenShift) & 15, n - i);
        std::size_t match = 0;
        std::uint32_t hash = tf::hashStep(tf::kHashStart, text[i]);
        for (std::size_t length = 2; length <= longest; ++length) {
            hash = tf::hashStep(hash, text[i + length - 1]);
            if (length <= 3 && !mayStart(v, hash, std::uint32_t(length)))
                break;
            findPhrases(v, text.data() + i, length, hash, tf::kSegmentPhrase,
                        [&](const tf::PhraseSlot &) { match = length; });
        }
        if (match == 0) {
            ++i;
            continue;
        }
        bounds[i] = bounds[i + match] = 1;
        matched[i] = std::uint8_t(match);
        i += match;
    }
}

// Best path through one run of neighbouring choices, between fixed neighbours.
void choosePath(const View &v, const Weights &w, Choice *run, std::size_t length, char32_t left, char32_t right,
                char32_t *out)
{
    std::vector<std::array<std::uint8_t, kMaxCands>> back(length);
    std::array<double, kMaxCands> score{}, next{};
    for (std::uint32_t k = 0; k < run[0].count; ++k)
        score[k] = nodeScore(w, run[0].cand[k]) + w.context * contextScore(v, left, run[0].cand[k].c);
    for (std::size_t r = 1; r < length; ++r) {
        for (std::uint32_t k = 0; k < run[r].count; ++k) {
            double best = -1e300;
            for (std::uint32_t j = 0; j < run[r - 1].count; ++j) {
                const double s = score[j] + w.context * contextScore(v, run[r - 1].cand[j].c, run[r].cand[k].c);
                if (s > best) {
                    best = s;
                    back[r][k] = std::uint8_t(j);
                }
            }
            next[k] = best + nodeScore(w, run[r].cand[k]);
        }
        score = next;
    }
    std::uint32_t best = 0;
    double bestScore = -1e300;
    for (std::uint32_t k = 0; k < run[length - 1].count; ++k) {
        const double s = score[k] + w.context * contextScore(v, run[length - 1].cand[k].c, right);
        if (s > bestScore) {
            bestScore = s;
            best = k;
        }
    }
    for (std::size_t r = length; r-- > 0;) {
        out[run[r].pos] = run[r].cand[best].c;
        best = back[r][best];
    }
}

// Settles the characters at ambiguous positions of mid, a first conversion of text.
void choose(const View &v, std::u32string_view text, const std::vector<std::uint8_t> &modernAt,
            const std::vector<std::uint8_t> &matched,
            const std::vector<std::uint8_t> &bounds, std::u32string &mid, const std::vector<std::uint32_t> &ambiguous)
{
    constexpr std::uint32_t none = std::uint32_t(-1);
    const std::size_t n = text.size();
    std::vector<Choice> choices;
    choices.reserve(ambiguous.size());
    std::vector<std::uint32_t> choiceAt(n, none);
    for (std::uint32_t pos : ambiguous) {
        Choice c{pos, 0, {}};
        const std::uint32_t info = infoOf(v, text[pos]);
        const std::uint32_t count = std::min<std::uint32_t>(candCount(info), kMaxCands);
        for (std::uint32_t k = 0; k < count; ++k)
            c.cand[c.count++] = {v.cands[(info & tf::kCandIndexMask) + k], k == 0, 0, 0};
        if (c.count == 0)
            c.cand[c.count++] = {text[pos], true, 0, 0};
        choiceAt[pos] = std::uint32_t(choices.size());
        choices.push_back(c);
    }
    // Phrases that reach an ambiguous character vote for their forms.
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::uint32_t longest = (infoOf(v, text[i]) >> tf::kPhraseLenShift) & 15;
        if (longest < 2)
            continue;
        while (next < ambiguous.size() && ambiguous[next] < i)
            ++next;
        if (next == ambiguous.size())
            break;
        if (ambiguous[next] >= i + longest)
            continue;
        std::uint32_t hash = tf::hashStep(tf::kHashStart, text[i]);
        for (std::size_t length = 2; length <= longest && i + length <= n; ++length) {
            hash = tf::hashStep(hash, text[i + length - 1]);
            if (length <= 3 && !mayStart(v, hash, std::uint32_t(length)))
                break;
            if (i + length <= ambiguous[next])
                continue;
            findPhrases(v, text.data() + i, length, hash, tf::kSimplifiedPhrase, [&](const tf::PhraseSlot &p) {
                bool straddles = false;
                for (std::size_t k = i + 1; k < i + length; ++k)
                    straddles = straddles || bounds[k];
                for (std::size_t j = 0; j < length; ++j) {
                    const char32_t form = v.pool[p.valueOffset + j];
                    std::uint32_t &at = choiceAt[i + j];
                    if (at == none) {
                        if (form == mid[i + j])
                            continue;
                        at = std::uint32_t(choices.size());
                        choices.push_back({std::uint32_t(i + j), 1, {{{mid[i + j], true, 0, 0}}}});
                    }
                    support(choices[at], form, p.score, matched[i] == length, straddles);
                }
            });
        }
    }
    std::sort(choices.begin(), choices.end(), [](const Choice &a, const Choice &b) { return a.pos < b.pos; });
    for (std::size_t a = 0; a < choices.size();) {
        const bool modern = modernAt[choices[a].pos];
        std::size_t b = a + 1;
        while (b < choices.size() && choices[b].pos == choices[b - 1].pos + 1)
            ++b;
        const std::uint32_t first = choices[a].pos, last = choices[b - 1].pos;
        const char32_t left = first > 0 ? contextChar(mid[first - 1]) : tf::kLineMark;
        const char32_t right = last + 1 < n ? contextChar(mid[last + 1]) : tf::kLineMark;
        choosePath(v, modern ? kModern : kClassical, choices.data() + a, b - a, left, right, mid.data());
        a = b;
    }
}

char32_t taiwanVariant(const View &v, char32_t c)
{
    const std::uint32_t *end = v.variants + 2 * v.variantCount;
    std::size_t lo = 0, hi = v.variantCount;
    while (lo < hi) {
        const std::size_t m = (lo + hi) / 2;
        if (v.variants[2 * m] < c)
            lo = m + 1;
        else
            hi = m;
    }
    return v.variants + 2 * lo < end && v.variants[2 * lo] == c ? v.variants[2 * lo + 1] : c;
}

// Taiwan's words for whole phrases (longest first) that no phrase of the
// conversion tables straddles, then Taiwan's standard forms.
// Classical text keeps the phrases it writes itself (消息, 萬象).
void taiwanForms(const View &v, const std::vector<std::uint8_t> &modernAt, const std::vector<std::uint8_t> &bounds,
                 const std::u32string &mid, std::u32string &out)
{
    const std::size_t n = mid.size();
    for (std::size_t i = 0; i < n;) {
        const char32_t c = mid[i];
        const std::uint32_t info = infoOf(v, c);
        const std::size_t longest = std::min<std::size_t>((info >> tf::kTaiwanLenShift) & 15, n - i);
        if (longest >= 2) {
            std::array<std::uint32_t, tf::kMaxPhrase + 1> hashes{};
            std::uint32_t hash = tf::hashStep(tf::kHashStart, c);
            std::size_t reach = 1;
            for (std::size_t length = 2; length <= longest; ++length) {
                hashes[length] = hash = tf::hashStep(hash, mid[i + length - 1]);
                if (length <= 3 && !mayStart(v, hash, std::uint32_t(length)))
                    break;
                reach = length;
            }
            const tf::PhraseSlot *match = nullptr;
            for (std::size_t length = reach; length >= 2 && !match; --length) {
                findPhrases(v, mid.data() + i, length, hashes[length], tf::kTaiwanPhrase,
                            [&](const tf::PhraseSlot &p) {
                                if (modernAt[i] || !(p.score & tf::kClassicalToo))
                                    match = &p;
                            });
                if (!match)
                    continue;
                for (std::size_t k = i + 1; k < i + length; ++k)
                    if (bounds[k])
                        match = nullptr;
            }
            if (match) {
                out.append(reinterpret_cast<const char32_t *>(v.pool + match->valueOffset), match->valueLength);
                i += match->keyLength;
                continue;
            }
        }
        out.push_back(info & tf::kTaiwanVariant ? taiwanVariant(v, c) : c);
        ++i;
    }
}

// Appends text converted to out; mid is scratch.
// Whether text, as a whole, is modern written Chinese.
template <typename Char> bool isModernText(std::basic_string_view<Char> text)
{
    std::size_t markers = 0, han = 0;
    for (Char c : text) {
        markers += isModernMarker(c);
        han += c >= 0x3400 && c < 0xA000;
    }
    return markers * 40 >= han && han > 0;
}

// Each line is classical or modern by its share of modern words; in a
// modern text only a long line with none of them (a quoted poem, say) is
// classical, and a short line is as the whole text.
void markModernLines(std::u32string_view text, bool modernText, std::vector<std::uint8_t> &modernAt)
{
    const auto isHan = [](char32_t c) { return c >= 0x3400 && c < 0xA000; };
    modernAt.resize(text.size());
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = start, markers = 0, han = 0;
        for (; end < text.size() && text[end] != u'\n'; ++end) {
            markers += isModernMarker(text[end]);
            han += isHan(text[end]);
        }
        const bool modern = markers * 40 >= han || (modernText && (markers > 0 || han < 24));
        end = std::min(end + 1, text.size());
        std::fill(modernAt.begin() + std::ptrdiff_t(start), modernAt.begin() + std::ptrdiff_t(end), modern);
        start = end;
    }
}

void convertInto(const View &v, std::u32string_view text, bool modernText, std::u32string &mid, std::u32string &out)
{
    mid.resize(text.size());
    std::vector<std::uint32_t> ambiguous;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t info = infoOf(v, text[i]);
        const std::uint32_t count = candCount(info);
        mid[i] = count ? v.cands[info & tf::kCandIndexMask] : text[i];
        if (count > 1 || (info & tf::kPhrasePivot))
            ambiguous.push_back(std::uint32_t(i));
    }
    std::vector<std::uint8_t> matched, bounds, modernAt;
    segmentText(v, text, matched, bounds);
    markModernLines(text, modernText, modernAt);
    if (!ambiguous.empty())
        choose(v, text, modernAt, matched, bounds, mid, ambiguous);
    taiwanForms(v, modernAt, bounds, mid, out);
}

// Pieces converted one at a time, cut at line ends (no phrase spans a line),
// so that the working buffers stay small.
constexpr std::size_t kPiece = 1 << 15;

} // namespace

std::vector<std::string> traditionalTablePaths(const std::string &programFolder)
{
    return {programFolder + kTraditionalTableName, programFolder + "../share/pagora/" + kTraditionalTableName};
}

std::vector<std::string> traditionalTablePaths()
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder(self, n > 0 ? std::size_t(n) : 0);
    folder.resize(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/') + 1);
    return traditionalTablePaths(folder.empty() ? "./" : folder);
}

TraditionalTable::~TraditionalTable()
{
    close();
}

void TraditionalTable::close()
{
    if (m_data)
        ::munmap(const_cast<std::uint8_t *>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}

bool TraditionalTable::open(const std::string &path, std::string &why)
{
    close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = "the conversion table " + path + " cannot be opened";
        return false;
    }
    struct stat st {};
    void *mapped = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= (1 << 30))
        mapped = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) {
        why = "the conversion table " + path + " cannot be read";
        return false;
    }
    if (!isValid(static_cast<const std::uint8_t *>(mapped), std::size_t(st.st_size))) {
        ::munmap(mapped, std::size_t(st.st_size));
        why = "the conversion table " + path + " is damaged";
        return false;
    }
    m_data = static_cast<const std::uint8_t *>(mapped);
    m_size = std::size_t(st.st_size);
    return true;
}

bool TraditionalTable::openFirst(const std::vector<std::string> &paths, std::string &why)
{
    for (const std::string &path : paths) {
        std::string whyNot;
        if (open(path, whyNot))
            return true;
        if (why.empty() || ::access(path.c_str(), F_OK) == 0)
            why = whyNot;
    }
    return false;
}

std::u32string toTraditional(const TraditionalTable &table, std::u32string_view text)
{
    if (!table.isOpen())
        return std::u32string(text);
    std::u32string mid, out;
    out.reserve(text.size() + text.size() / 16);
    convertInto(viewOf(table.data()), text, isModernText(text), mid, out);
    return out;
}

std::u16string toTraditional(const TraditionalTable &table, std::u16string_view text)
{
    if (!table.isOpen())
        return std::u16string(text);
    const View v = viewOf(table.data());
    std::u16string result;
    result.reserve(text.size() + text.size() / 16);
    std::u32string wide, mid, out;
    const bool modernText = isModernText(text);
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = std::min(text.size(), pos + kPiece);
        while (end < text.size() && text[end - 1] != u'\n')
            ++end;
        wide.clear();
        for (std::size_t i = pos; i < end; ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < end && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            wide.push_back(c);
        }
        out.clear();
        convertInto(v, wide, modernText, mid, out);
        for (char32_t c : out) {
            if (c >= 0x10000) {
                result.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
                result.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
            } else {
                result.push_back(char16_t(c));
            }
        }
        pos = end;
    }
    return result;
}

std::u32string traditionalForms(const TraditionalTable &table, char32_t c)
{
    if (!table.isOpen())
        return {};
    const View v = viewOf(table.data());
    const std::uint32_t info = infoOf(v, c);
    return {reinterpret_cast<const char32_t *>(v.cands + (info & tf::kCandIndexMask)), candCount(info)};
}

ScriptCounts scriptCounts(const TraditionalTable &table, std::u16string_view text)
{
    ScriptCounts counts;
    if (!table.isOpen())
        return counts;
    const View v = viewOf(table.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        const bool han = (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F);
        if (!han)
            continue;
        ++counts.han;
        if (firstForm(v, c) != c)
            ++counts.simplifiedOnly;
        if (infoOf(v, c) & tf::kChangesToSimplified)
            ++counts.traditionalOnly;
    }
    return counts;
}

} // namespace pagora

// Writes the Simplified to Traditional table from the conversion tables (as
// text, one "key<TAB>value value..." a line), a word list with weights, and
// the context counts that learn_context.py makes from classical text.
//
// make_traditional_table OUT DICT_FOLDER CONTEXT CLASSICAL_PHRASES [WORDS]
//
// DICT_FOLDER holds STCharacters, STPhrases, TSCharacters, TWPhrases and
// TWVariants as .txt. CLASSICAL_PHRASES lists the Taiwan phrases' keys that
// classical text writes too, one a line. WORDS lines are
// "word<TAB>reading<TAB>weight".
#include "text/traditional_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace tf = pagora::traditional;

namespace {

// Empty for bad UTF-8.
std::u32string decode(const std::string &s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + std::size_t(extra) >= s.size() + 0 + (extra == 0))
            return {};
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + std::size_t(k)]) & 0x3F);
        out.push_back(c);
        i += std::size_t(extra) + 1;
    }
    return out;
}

std::vector<std::string> fields(const std::string &line, char separator)
{
    std::vector<std::string> out;
    std::stringstream ss(line);
    std::string f;
    while (std::getline(ss, f, separator))
        out.push_back(f);
    return out;
}

// key -> values, first one preferred.
std::map<std::u32string, std::vector<std::u32string>> readDict(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::map<std::u32string, std::vector<std::u32string>> dict;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = fields(line, '\t');
        if (f.size() < 2)
            continue;
        std::vector<std::u32string> values;
        for (const std::string &v : fields(f[1], ' '))
            if (!v.empty())
                values.push_back(decode(v));
        const std::u32string key = decode(f[0]);
        if (!key.empty() && !values.empty())
            dict[key] = values;
    }
    return dict;
}

struct Phrase {
    std::u32string key, value;
    std::uint32_t kind;
    std::uint32_t score;
};

template <typename T> void append(std::string &out, const std::vector<T> &items)
{
    out.append(reinterpret_cast<const char *>(items.data()), items.size() * sizeof(T));
    while (out.size() % 8)
        out.push_back('\0');
}

std::size_t tableSize(std::size_t count)
{
    std::size_t n = 16;
    while (n * 3 < count * 4)
        n *= 2;
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::cerr << "usage: make_traditional_table OUT DICT_FOLDER CONTEXT CLASSICAL_PHRASES [WORDS]\n";
        return 2;
    }
    try {
        const std::string folder = std::string(argv[2]) + "/";
        const auto st = readDict(folder + "STCharacters.txt");
        const auto stPhrases = readDict(folder + "STPhrases.txt");
        const auto ts = readDict(folder + "TSCharacters.txt");
        const auto twPhrases = readDict(folder + "TWPhrases.txt");
        const auto twVariants = readDict(folder + "TWVariants.txt");

        std::vector<std::uint32_t> info(tf::kInfoChars, 0);
        std::vector<std::uint32_t> cands;
        std::unordered_map<char32_t, std::vector<char32_t>> forms;
        for (const auto &[key, values] : st) {
            if (key.size() != 1 || key[0] >= tf::kInfoChars)
                continue;
            std::vector<char32_t> list;
            for (const std::u32string &v : values)
                if (v.size() == 1 && std::find(list.begin(), list.end(), v[0]) == list.end())
                    list.push_back(v[0]);
            list.resize(std::min<std::size_t>(list.size(), 15));
            if (list.empty())
                continue;
            info[key[0]] = std::uint32_t(cands.size()) | std::uint32_t(list.size() << tf::kCandCountShift);
            cands.insert(cands.end(), list.begin(), list.end());
            forms[key[0]] = list;
        }
        auto isAmbiguous = [&](char32_t c) { return forms.count(c) && forms[c].size() > 1; };
        auto firstForm = [&](char32_t c) { return forms.count(c) ? forms[c][0] : c; };
        auto canBe = [&](char32_t s, char32_t t) {
            if (!forms.count(s))
                return s == t;
            const auto &f = forms[s];
            return std::find(f.begin(), f.end(), t) != f.end();
        };
        auto toSimplified = [&](char32_t c) {
            const auto it = ts.find(std::u32string(1, c));
            return it == ts.end() || it->second[0].size() != 1 ? c : it->second[0][0];
        };
        for (const auto &[key, values] : ts)
            if (key.size() == 1 && key[0] < tf::kInfoChars && values[0] != key)
                info[key[0]] |= tf::kChangesToSimplified;

        // Simplified phrases: those listed, and words of the word list; only
        // the ones that reach an ambiguous character or change a form matter.
        std::map<std::pair<std::u32string, std::u32string>, std::uint32_t> simplified;
        std::size_t pivots = 0;
        std::vector<std::u32string> segments;
        for (const auto &[key, values] : stPhrases) {
            const std::u32string &value = values[0];
            if (key.size() < 2 || key.size() > tf::kMaxPhrase)
                continue;
            segments.push_back(key);
            if (value.size() != key.size())
                continue;
            bool ambiguous = false, changes = false;
            for (std::size_t j = 0; j < key.size(); ++j) {
                ambiguous = ambiguous || isAmbiguous(key[j]);
                changes = changes || firstForm(key[j]) != value[j];
            }
            if (!ambiguous && !changes)
                continue;
            if (!ambiguous && key[0] < tf::kInfoChars) {
                pivots += (info[key[0]] & tf::kPhrasePivot) == 0;
                info[key[0]] |= tf::kPhrasePivot;
            }
            simplified[{key, value}] |= tf::kListedPhrase;
        }
        std::size_t words = 0;
        if (argc > 5) {
            std::ifstream in(argv[5]);
            if (!in)
                throw std::runtime_error(std::string("cannot read ") + argv[5]);
            std::map<std::u32string, double> weights;
            std::string line;
            while (std::getline(in, line)) {
                const std::vector<std::string> f = fields(line, '\t');
                if (f.size() < 3 || line[0] == '#')
                    continue;
                const std::u32string word = decode(f[0]);
                if (word.size() < 2 || word.size() > tf::kMaxPhrase)
                    continue;
                double &w = weights[word];
                w = std::max(w, std::atof(f[2].c_str()));
            }
            for (const auto &[word, weight] : weights) {
                std::u32string key;
                bool ambiguous = false, fits = true;
                for (char32_t c : word) {
                    const char32_t s = toSimplified(c);
                    key.push_back(s);
                    ambiguous = ambiguous || isAmbiguous(s);
                    fits = fits && canBe(s, c);
                }
                if (!ambiguous || !fits)
                    continue;
                std::uint32_t &score = simplified[{key, word}];
                score |= std::min<std::uint32_t>(std::uint32_t(1000.0 * std::log1p(weight)), 0xFFFFFF);
                ++words;
            }
        }
        std::vector<Phrase> phrases;
        for (const auto &[kv, score] : simplified) {
            phrases.push_back({kv.first, kv.second, tf::kSimplifiedPhrase, score});
            std::uint32_t &i = info[kv.first[0] < tf::kInfoChars ? kv.first[0] : 0];
            const std::uint32_t longest =
                std::max<std::uint32_t>((i >> tf::kPhraseLenShift) & 15, std::uint32_t(kv.first.size()));
            i = (i & ~(15u << tf::kPhraseLenShift)) | (longest << tf::kPhraseLenShift);
        }
        info[0] &= ~(15u << tf::kPhraseLenShift);
        for (const std::u32string &key : segments) {
            if (key[0] >= tf::kInfoChars)
                continue;
            phrases.push_back({key, {}, tf::kSegmentPhrase, 0});
            std::uint32_t &i = info[key[0]];
            const std::uint32_t longest =
                std::max<std::uint32_t>((i >> tf::kPhraseLenShift) & 15, std::uint32_t(key.size()));
            i = (i & ~(15u << tf::kPhraseLenShift)) | (longest << tf::kPhraseLenShift);
        }
        auto variant = [&](std::u32string s) {
            for (char32_t &c : s) {
                const auto it = twVariants.find(std::u32string(1, c));
                if (it != twVariants.end() && it->second[0].size() == 1)
                    c = it->second[0][0];
            }
            return s;
        };
        std::set<std::u32string> classical;
        {
            std::ifstream in(argv[4]);
            if (!in)
                throw std::runtime_error(std::string("cannot read ") + argv[4]);
            for (std::string line; std::getline(in, line);)
                classical.insert(decode(line));
        }
        for (const auto &[key, values] : twPhrases) {
            if (key.size() < 2 || key.size() > tf::kMaxPhrase || key[0] >= tf::kInfoChars)
                continue;
            phrases.push_back({key, variant(values[0]), tf::kTaiwanPhrase, classical.count(key) ? tf::kClassicalToo : 0});
            std::uint32_t &i = info[key[0]];
            const std::uint32_t longest =
                std::max<std::uint32_t>((i >> tf::kTaiwanLenShift) & 15, std::uint32_t(key.size()));
            i = (i & ~(15u << tf::kTaiwanLenShift)) | (longest << tf::kTaiwanLenShift);
        }
        std::vector<std::uint32_t> variants;
        for (const auto &[key, values] : twVariants) {
            if (key.size() != 1 || values[0].size() != 1 || key[0] >= tf::kInfoChars)
                continue;
            variants.push_back(key[0]);
            variants.push_back(values[0][0]);
            info[key[0]] |= tf::kTaiwanVariant;
        }

        std::vector<std::uint32_t> pool;
        std::vector<tf::PhraseSlot> slots(tableSize(phrases.size()));
        const std::uint32_t phraseMask = std::uint32_t(slots.size() - 1);
        for (const Phrase &p : phrases) {
            std::uint32_t h = tf::kHashStart;
            for (char32_t c : p.key)
                h = tf::hashStep(h, c);
            tf::PhraseSlot s{};
            s.hash = tf::hashMix(h, p.kind);
            s.keyOffset = std::uint32_t(pool.size());
            s.keyLength = std::uint16_t(p.key.size());
            pool.insert(pool.end(), p.key.begin(), p.key.end());
            s.valueOffset = std::uint32_t(pool.size());
            s.valueLength = std::uint16_t(p.value.size());
            pool.insert(pool.end(), p.value.begin(), p.value.end());
            s.kind = std::uint16_t(p.kind);
            s.score = p.score;
            std::uint32_t at = s.hash & phraseMask;
            while (slots[at].keyLength != 0)
                at = (at + 1) & phraseMask;
            slots[at] = s;
        }

        std::ifstream contextIn(argv[3]);
        if (!contextIn)
            throw std::runtime_error(std::string("cannot read ") + argv[3]);
        std::vector<tf::ContextSlot> pairs;
        double total = 0;
        std::string line;
        while (std::getline(contextIn, line)) {
            const std::vector<std::string> f = fields(line, '\t');
            if (f.size() != 2)
                continue;
            const std::u32string chars = decode(f[0]);
            const std::uint32_t count = std::uint32_t(std::atol(f[1].c_str()));
            if (count == 0 || chars.empty() || chars.size() > 2)
                continue;
            if (chars.size() == 1)
                total += count;
            pairs.push_back({chars.size() == 1 ? 0 : std::uint32_t(chars[0]), std::uint32_t(chars.back()), count});
        }
        std::vector<tf::ContextSlot> context(tableSize(pairs.size()));
        const std::uint32_t contextMask = std::uint32_t(context.size() - 1);
        for (const tf::ContextSlot &p : pairs) {
            std::uint32_t at = tf::contextHash(p.a, p.b) & contextMask;
            while (context[at].count != 0)
                at = (at + 1) & contextMask;
            context[at] = p;
        }

        std::vector<std::uint64_t> prefixes(tf::kPrefixWords, 0);
        for (const Phrase &p : phrases) {
            std::uint32_t h = tf::hashStep(tf::kHashStart, p.key[0]);
            for (std::uint32_t length = 2; length <= 3 && length <= p.key.size(); ++length) {
                h = tf::hashStep(h, p.key[length - 1]);
                const std::uint32_t bit = tf::prefixBit(h, length);
                prefixes[bit / 64] |= std::uint64_t(1) << (bit % 64);
            }
        }

        tf::Header header{};
        std::memcpy(header.magic, tf::kMagic, 4);
        header.version = tf::kVersion;
        header.total = std::uint32_t(std::min(total, 4e9));
        std::string body(sizeof header + (sizeof header % 8 ? 4 : 0), '\0');
        auto section = [&](tf::Section s, const auto &items) {
            header.offset[s] = std::uint32_t(body.size());
            header.size[s] = std::uint32_t(items.size() * sizeof(items[0]));
            append(body, items);
        };
        section(tf::kInfo, info);
        section(tf::kPhrases, slots);
        section(tf::kContext, context);
        section(tf::kCands, cands);
        section(tf::kPool, pool);
        section(tf::kVariants, variants);
        section(tf::kPrefixes, prefixes);
        std::memcpy(body.data(), &header, sizeof header);
        const std::string temp = std::string(argv[1]) + ".tmp";
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(body.data(), std::streamsize(body.size()));
        out.close();
        if (!out || std::rename(temp.c_str(), argv[1]) != 0)
            throw std::runtime_error(std::string("cannot write ") + argv[1]);
        std::cout << "conversion table: " << body.size() << " bytes, " << phrases.size() << " phrases (" << words
                  << " words, " << pivots << " pivot characters), " << pairs.size() << " context counts\n";
    } catch (const std::exception &e) {
        std::cerr << "make_traditional_table: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

#pragma once
// One fuzz input: a book file and a bookmark record to store in it. Every
// record other than the bookmark record must keep its bytes, and the
// bookmark record must read back as given. Shared by the libFuzzer target
// and the test that replays the saved corpus.
#include "book/bookmark_store.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

namespace bookmarkfuzz {

// Each record's bytes as the reader finds them through the record list;
// nullopt where it would refuse to read one.
inline std::vector<std::optional<std::string>> records(std::string_view book)
{
    std::vector<std::optional<std::string>> out;
    if (book.size() < 78)
        return out;
    const auto byte = [&](std::size_t i) { return std::uint32_t(std::uint8_t(book[i])); };
    const std::size_t count = byte(76) << 8 | byte(77);
    if (78 + 8 * count > book.size())
        return out;
    const auto offset = [&](std::size_t i) {
        const std::size_t at = 78 + 8 * i;
        return std::uint64_t(byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3));
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t start = offset(i);
        const std::uint64_t end = i + 1 == count ? book.size() : offset(i + 1);
        if (start >= end || end > book.size())
            out.emplace_back();
        else
            out.emplace_back(std::string(book.substr(start, end - start)));
    }
    return out;
}

// A broken invariant is a finding: stop right here.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Input: section count, record length n, n record bytes, then the book.
inline int runInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int sectionCount = data[0];
    const std::size_t n = std::min<std::size_t>(data[1], size - 2);
    const std::string_view all(reinterpret_cast<const char *>(data), size);
    const std::string_view record = all.substr(2, n);
    const std::string_view book = all.substr(2 + n);

    std::string out;
    if (!bookWithBookmarkRecord(book, sectionCount, record, out))
        return 0;
    const auto before = records(book);
    const auto after = records(out);
    const std::size_t index = std::size_t(sectionCount) + 1;
    require(before.size() >= index && after.size() == std::max(before.size(), index + 1));
    for (std::size_t i = 0; i < before.size(); ++i)
        require(i == index || before[i] == after[i]);
    require(after[index] == (record.empty() ? std::nullopt : std::optional<std::string>(record)));
    return 0;
}

} // namespace bookmarkfuzz

} // namespace pagora

#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora {

// SHA-256 (FIPS 180-4), fed in pieces of any size.
class Sha256 {
public:
    Sha256();
    void add(const void *bytes, std::size_t count);
    // The digest; the object is spent afterwards.
    std::array<std::uint8_t, 32> finish();
    // The digest as 64 lower-case hexadecimal digits.
    std::string finishHex();

private:
    void block(const std::uint8_t *p);
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_total = 0;
};

std::string sha256Hex(std::string_view bytes);

} // namespace pagora

// Shared by the fuzz targets: reading the fuzzer's bytes as the pieces a target needs, and an oracle
// for GBK character boundaries written apart from the code under test.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// Takes bytes off the front of the input.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_p(data), m_end(data + size) {}
    size_t Left() const { return static_cast<size_t>(m_end - m_p); }
    unsigned Byte() { return m_p < m_end ? *m_p++ : 0; }
    // Text up to the next NUL byte (or the end), which is consumed.
    std::string Text()
    {
        std::string text;
        while (m_p < m_end && *m_p != 0)
            text += static_cast<char>(*m_p++);
        if (m_p < m_end)
            ++m_p;
        return text;
    }
    std::string Rest()
    {
        std::string rest(reinterpret_cast<const char*>(m_p), Left());
        m_p = m_end;
        return rest;
    }

private:
    const uint8_t* m_p;
    const uint8_t* m_end;
};

// The byte offsets at which the characters of text begin: a byte of 0x81..0xFE followed by another
// byte starts a two-byte character; every other byte is a character of its own.
inline std::vector<size_t> CharacterStarts(const std::string& text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size();) {
        starts.push_back(i);
        const unsigned char b = static_cast<unsigned char>(text[i]);
        i += (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    }
    return starts;
}

inline void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace fuzz

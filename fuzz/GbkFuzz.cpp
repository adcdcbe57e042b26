// Cutting GBK text: a cut is a prefix, never splits a character, fits, and keeps every character that
// fits; CopyTo never writes past its buffer and says whether it had to cut; a dropped full stop is a
// last character.
#include "FuzzText.h"
#include "framework/Gbk.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const size_t maxBytes = in.Byte();
    const std::string text = in.Text();
    const std::vector<size_t> starts = fuzz::CharacterStarts(text);

    std::string cut = text;
    gbk::CutToBytes(cut, maxBytes);
    fuzz::Check(text.compare(0, cut.size(), cut) == 0);
    fuzz::Check(cut.size() <= maxBytes);
    fuzz::Check(cut.size() == text.size() || std::find(starts.begin(), starts.end(), cut.size()) != starts.end());
    if (cut.size() < text.size()) {
        // The next character would not have fitted.
        const auto next = std::upper_bound(starts.begin(), starts.end(), cut.size());
        const size_t nextEnd = next == starts.end() ? text.size() : *next;
        fuzz::Check(nextEnd > maxBytes);
    }

    std::unique_ptr<char[]> buffer(new char[maxBytes + 1]);
    const bool whole = gbk::CopyTo(buffer.get(), maxBytes + 1, text);
    fuzz::Check(std::strlen(buffer.get()) <= maxBytes);
    fuzz::Check(whole == (std::strlen(buffer.get()) == text.size()));
    fuzz::Check(text.compare(0, std::strlen(buffer.get()), buffer.get()) == 0);

    for (size_t i = 0; i < starts.size(); ++i) {
        const char* next = gbk::Next(text.c_str() + starts[i]);
        fuzz::Check(static_cast<size_t>(next - text.c_str()) == (i + 1 < starts.size() ? starts[i + 1] : text.size()));
    }

    std::string tail = text;
    gbk::DropPartialTail(tail);
    fuzz::Check(text.compare(0, tail.size(), tail) == 0 && text.size() - tail.size() <= 1);

    // Dropping a full stop takes the last character or nothing.
    std::string stopped = text;
    gbk::DropFullStop(stopped);
    fuzz::Check(text.compare(0, stopped.size(), stopped) == 0 && text.size() - stopped.size() <= 2);
    fuzz::Check(stopped.size() == text.size() || std::find(starts.begin(), starts.end(), stopped.size()) != starts.end());
    return 0;
}

#include "Names.h"

#include "Text.h"

#include <windows.h>

namespace hostile {

namespace {

const size_t kPathLimit = 259;
// Bytes of a name on the Linux side (UTF-8), which takes at most 255.
const size_t kNameBytes = 250;
// Characters outside GBK: the narrow functions give them as a look-alike ('â' as 'a', '¹' as '1') or '?'.
const wchar_t kOutsideGbk[] = { 0x00E2, 0x00B9, 0x00B2, 0x0151, 0x00F1, 0x00DF, 0x00F8, 0x0107 };
const char* const kExtensions[] = { ".txt", ".csv", ".TXT", "", ".dat", ".xml", ".part" };
const char* const kWords[] = { "ORD", "inv", "订单", "x", "发货单", "Stock", "20261207", "明细", "a b", "退货", "CON" };

} // namespace

CNames::CNames(CRandom& random, const std::vector<std::string>& clientCodes)
    : m_random(random), m_clientCodes(clientCodes)
{
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail : { 0x5C, 0x5F }) {
            const char bytes[2] = { static_cast<char>(lead), static_cast<char>(trail) };
            wchar_t wide[2];
            if (::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, 2, wide, 2) == 1)
                m_trailByteCharacters.push_back(std::string(bytes, 2));
        }
    }
}

std::string CNames::TrailByteCharacter()
{
    return m_random.Pick(m_trailByteCharacters);
}

std::string CNames::Word()
{
    if (m_random.Percent(15))
        return TrailByteCharacter() + (m_random.Percent(50) ? TrailByteCharacter() : std::string("1"));
    return kWords[m_random.Below(sizeof(kWords) / sizeof(kWords[0]))];
}

std::wstring CNames::WithCode(const std::string& code)
{
    return FromGbk("ORD_" + code + "_" + std::to_string(m_random.Below(1000)) + ".txt");
}

std::wstring CNames::Pattern()
{
    std::string code = m_clientCodes.empty() || m_random.Percent(20) ? "C9" + std::to_string(m_random.Below(10))
                                                                     : m_random.Pick(m_clientCodes);
    if (m_random.Percent(5))
        code = TrailByteCharacter();
    const std::string ext = kExtensions[m_random.Below(sizeof(kExtensions) / sizeof(kExtensions[0]))];
    switch (m_random.Below(20)) {
    case 0:
        return FromGbk("_" + code + "_" + Word() + ext);
    case 1:
        return FromGbk(Word() + "__" + Word() + ext);
    case 2:
        return FromGbk(Word() + "_" + code + ext);
    case 3:
        return FromGbk(Word() + "_" + code + "_" + Word() + "_" + Word() + ext);
    case 4:
    case 5:
    case 6:
        return FromGbk(Word() + ext);
    default:
        return FromGbk(Word() + "_" + code + "_" + Word() + std::to_string(m_random.Below(100)) + ext);
    }
}

std::wstring CNames::Temporary(bool stale)
{
    return std::wstring(L".~qrvlnk-") + (stale ? L"0000000000000000" : L"7fffffffffffffff") + L"-1a-2b-0123456789abcdef.part";
}

std::wstring CNames::Make(size_t pathLength)
{
    std::wstring name = Pattern();
    const size_t form = m_random.Below(200);
    if (form < 3 && !m_made.empty()) {
        // A twin that differs only in case: the file system on this side keeps both.
        name = Upper(m_random.Pick(m_made));
    } else if (form < 9) {
        name = Temporary(m_random.Percent(50));
    } else if (form < 13) {
        name = L"Backup";
    } else if (form < 25) {
        name.insert(m_random.Below(name.size() + 1), 1, kOutsideGbk[m_random.Below(sizeof(kOutsideGbk) / sizeof(wchar_t))]);
    } else if (form < 33) {
        name += std::wstring(m_random.Between(1, 2), m_random.Percent(50) ? L'.' : L' ');
    } else if (form < 45 && pathLength + 10 < kPathLimit) {
        // Up to the limit, give or take a few characters: the temporary copy's longer name passes it.
        const size_t wanted = kPathLimit - pathLength - 1 + m_random.Between(0, 6) - 3;
        const size_t bytes = Utf8(name).size();
        const size_t room = bytes < kNameBytes ? kNameBytes - bytes : 0;
        const size_t padding = name.size() < wanted ? wanted - name.size() : 0;
        name.insert(name.find(L'.') == std::wstring::npos ? name.size() : name.find(L'.'), padding < room ? padding : room, L'z');
    }
    m_made.push_back(name);
    return name;
}

} // namespace hostile

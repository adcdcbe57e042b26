// File names from a grammar: the "prefix_code_rest" pattern and names outside it, GBK characters whose
// trail byte is '\' or '_', characters outside GBK that the narrow functions spell another way, trailing
// dots and blanks, names near the path limit, and names shaped like Backup or the temporary copies.
#pragma once
#include "Random.h"

#include <string>
#include <vector>

namespace hostile {

class CNames {
public:
    // Names whose pattern uses the given client codes (GBK) most of the time.
    CNames(CRandom& random, const std::vector<std::string>& clientCodes);

    // A new name; pathLength is the length of the folder path a run writes it to, which a long name fills
    // up to about the platform's limit of 259 characters.
    std::wstring Make(size_t pathLength);
    // A name with the given client code (GBK), plain ASCII apart from it.
    std::wstring WithCode(const std::string& code);
    // A GBK character whose trail byte is '\' or '_'.
    std::string TrailByteCharacter();
    // The name of a temporary copy, one a run removes (dated long ago) or one it must leave (dated ahead).
    static std::wstring Temporary(bool stale);

private:
    std::string Word();
    std::wstring Pattern();

    CRandom& m_random;
    std::vector<std::string> m_clientCodes;
    std::vector<std::string> m_trailByteCharacters;
    std::vector<std::wstring> m_made;
};

} // namespace hostile

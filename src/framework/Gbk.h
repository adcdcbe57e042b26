// Byte-level helpers for GBK text (code page 936). A lead byte is any of 0x81..0xFE; a trail byte may be
// any of 0x40..0xFE except 0x7F, so it can equal '\\' or '_': scanning must step over double-byte
// characters. Plain text logic: no Windows header, so it builds and is fuzzed natively too.
#pragma once
#include <string>

namespace gbk {

bool IsLeadByte(char c);
// Start of the character after the one at p (p must point into a zero-terminated string).
const char* Next(const char* p);
// First occurrence of the single-byte character c at a character boundary, or nullptr.
const char* Find(const char* text, char c);
// True when the last character of text is the single-byte character c.
bool EndsWith(const std::string& text, char c);
// Cuts text to at most maxBytes bytes without splitting a double-byte character.
void CutToBytes(std::string& text, size_t maxBytes);
// Drops a final full stop ("。" or ".") of text, so that a sentence can stand inside brackets.
void DropFullStop(std::string& text);
// Drops a lead byte left alone at the end of text by a byte-wise cut elsewhere.
void DropPartialTail(std::string& text);
// Copies text into a buffer of size bytes, terminator included, cut at a character boundary.
// Returns false when the text had to be cut.
bool CopyTo(char* buffer, size_t size, const std::string& text);

} // namespace gbk

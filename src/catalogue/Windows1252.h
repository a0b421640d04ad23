#pragma once
// Windows-1252 <-> UTF-8. The list files are Windows-1252; the data set's texts are UTF-8.
//
// Every byte decodes: the 27 printable characters of 0x80-0x9F (the euro sign at 0x80 ...) to
// their Unicode characters, and the five bytes without one (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the
// control characters of the same value, as Windows does, so that any file reads and writes back
// unchanged.

#include <string>
#include <string_view>

enum class EncodeProblem { None, InvalidUtf8, NotRepresentable };

struct EncodeResult {
    EncodeProblem problem = EncodeProblem::None;
    char32_t codePoint = 0; // NotRepresentable: the character
    std::size_t offset = 0; // byte offset of the problem in the UTF-8 text
};

// Encodes utf8 into out (replacing it). On a problem out is unspecified.
EncodeResult EncodeWindows1252(const std::string& utf8, std::string& out);

std::string DecodeWindows1252(std::string_view bytes);

// True when every byte is part of strict UTF-8: no overlong form, surrogate or code point beyond
// U+10FFFF.
bool IsUtf8(const std::string& text);

// True when EncodeWindows1252 would succeed.
bool IsWindows1252Text(const std::string& utf8);

// "U+03A9" followed by the character itself in quotes when it is printable.
std::string DescribeCodePoint(char32_t codePoint);

// The text as a message can quote it: control characters (U+0000 to U+001F, U+007F to U+009F) and
// bytes that are not part of valid UTF-8 become "<0x1A>" (the value in hex), everything else stays.
// A DOS end-of-file byte or a stray carriage return is then seen instead of shown as nothing.
std::string VisibleText(const std::string& text);

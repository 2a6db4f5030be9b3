#include "platform/window/Utf8.h"

namespace platform
{

namespace
{
constexpr char32_t Replacement = 0xFFFD;
constexpr char32_t EscapedByte = 0xDC00;

bool IsEscapedByte(char32_t code)
{
    return code >= EscapedByte + 0x80 && code <= EscapedByte + 0xFF;
}

// Surrogates and anything past U+10FFFF have no UTF-8 form.
bool IsEncodable(char32_t code)
{
    return code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}
} // namespace

std::string WideToUtf8(std::wstring_view text)
{
    constexpr unsigned char LeadBits[] = {0x00, 0xC0, 0xE0, 0xF0};
    std::string out;
    out.reserve(text.size());
    for (wchar_t unit : text)
    {
        auto code = static_cast<char32_t>(unit);
        if (IsEscapedByte(code))
        {
            out += static_cast<char>(code - EscapedByte);
            continue;
        }
        code = IsEncodable(code) ? code : Replacement;
        const int tail = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
        out += static_cast<char>(LeadBits[tail] | (code >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k)
        {
            out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    // The smallest code point each length may hold: anything less is an overlong form.
    constexpr char32_t Minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The sequence's length as its lead byte says; 0 for a byte that cannot lead.
        const size_t length = lead < 0x80             ? 1
                              : (lead & 0xE0) == 0xC0 ? 2
                              : (lead & 0xF0) == 0xE0 ? 3
                              : (lead & 0xF8) == 0xF0 ? 4
                                                      : 0;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= Minimum[length] && IsEncodable(code);
        // Only a byte of 0x80 or more can be invalid: ASCII always decodes.
        out += static_cast<wchar_t>(valid ? code : EscapedByte + lead);
        i += valid ? length : 1;
    }
    return out;
}

std::wstring ShownText(std::wstring_view text)
{
    std::wstring out(text);
    for (wchar_t& unit : out)
    {
        unit = IsEscapedByte(unit) ? static_cast<wchar_t>(Replacement) : unit;
    }
    return out;
}

} // namespace platform

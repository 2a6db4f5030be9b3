#include "platform/window/Utf8.h"

namespace platform
{

namespace
{
constexpr char32_t Replacement = 0xFFFD;
constexpr char32_t EscapedByte = 0xDC00;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

bool IsEscapedByte(char32_t code)
{
    return code >= EscapedByte + 0x80 && code <= EscapedByte + 0xFF;
}
} // namespace

std::string WideToUtf8(std::wstring_view text)
{
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
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        {
            code = Replacement;
        }
        if (code < 0x80)
        {
            out += static_cast<char>(code);
        }
        else if (code < 0x800)
        {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        else if (code < 0x10000)
        {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80)
        {
            length = 1;
            code = lead;
        }
        else if ((lead & 0xE0) == 0xC0)
        {
            length = 2;
            code = lead & 0x1F;
            minimum = 0x80;
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            length = 3;
            code = lead & 0x0F;
            minimum = 0x800;
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            length = 4;
            code = lead & 0x07;
            minimum = 0x10000;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = IsContinuation(next);
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
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
        unit =
            IsEscapedByte(static_cast<char32_t>(unit)) ? static_cast<wchar_t>(Replacement) : unit;
    }
    return out;
}

} // namespace platform

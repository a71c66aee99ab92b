// Key handling of the age field.

#include "study/AgeInput.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace uroflow {

namespace {

// The separator keys: comma, full stop and slash, and Б, Ю, б, ю, which sit on
// the comma and full-stop keys of a Russian layout.
constexpr char16_t kSeparatorKeys[] = {u',',      u'.',      u'/',     u'\u0411',
                                       u'\u042E', u'\u0431', u'\u044E'};

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// The run-time's text-to-number conversion: blanks around, an optional sign,
// digits with at most one separator, an optional exponent.
std::optional<double> parseNumber(std::u16string_view text, char16_t separator) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    std::string ascii;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') ascii.push_back('-');
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i]));
            digits = true;
        } else if (text[i] == separator && !point) {
            ascii.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii.push_back(static_cast<char>(text[i++]));
        bool exponent = false;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            ascii.push_back(static_cast<char>(text[i]));
            exponent = true;
        }
        if (!exponent) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

// The shortest text of the number, 15 significant digits at most, with the
// locale's separator; large and tiny values as "1,5E20".
std::u16string shortestText(double value, char16_t separator) {
    char buffer[64];
    const auto result =
        std::to_chars(std::begin(buffer), std::end(buffer), value, std::chars_format::general, 15);
    const std::string_view ascii(buffer, result.ptr);
    std::u16string text;
    const std::size_t e = ascii.find('e');
    for (const char c : ascii.substr(0, e)) text.push_back(c == '.' ? separator : char16_t(c));
    if (e != std::string_view::npos) {
        std::string_view exponent = ascii.substr(e + 1);
        text.push_back(u'E');
        if (exponent.front() == '-') text.push_back(u'-');
        if (exponent.front() == '-' || exponent.front() == '+') exponent.remove_prefix(1);
        while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
        for (const char c : exponent) text.push_back(char16_t(c));
    }
    return text;
}

}  // namespace

std::optional<char16_t> ageKeyPress(char16_t typed, std::u16string_view text, char16_t separator) {
    char16_t c = typed;
    if (std::ranges::find(kSeparatorKeys, c) != std::end(kSeparatorKeys)) {
        c = separator;
    } else if (!isDigit(c)) {
        return std::nullopt;
    }
    if (c == separator && text.find(separator) != std::u16string_view::npos) return std::nullopt;
    return c;
}

AgeKeyUp ageKeyUp(const AgeField& field, bool backspace, char16_t separator) {
    AgeKeyUp result{field, std::nullopt};
    AgeField& f = result.field;
    f.caret = std::min(f.caret, f.text.size());

    if (!f.text.empty() && f.text.front() == separator) {
        f.text.insert(f.text.begin(), u'0');
        f.caret = f.text.size();
    }

    // Position of the first separator counted from 1, 0 without one.
    const std::size_t found = f.text.find(separator);
    const std::size_t position = found == std::u16string::npos ? 0 : found + 1;
    if (position != f.text.size() && f.text.back() != u'0') {
        const std::optional<double> value = parseNumber(f.text, separator);
        if (!value) {
            result.error = "'" + toUtf8(f.text) + "' is not a valid floating point value";
            return result;
        }
        const std::u16string shortest = shortestText(*value, separator);
        // Assigning the text the field holds changes nothing, the caret included.
        if (shortest != u"0" && shortest != f.text) {
            f.text = shortest;
            f.caret = 0;
        }
    }

    if (backspace && f.caret > 0) {
        f.text.erase(f.caret - 1, 1);
        f.caret = 0;
    }
    f.caret = f.text.size();
    return result;
}

}  // namespace uroflow

#include "number_text.h"

#include "rez_error.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace rez {
namespace {

std::string PadLeft(std::string text, int width) {
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatFixed1(double value, int width, char sep) {
    if (std::isnan(value))
        return PadLeft("NAN", width);
    if (std::isinf(value))
        return PadLeft(value < 0 ? "-INF" : "INF", width);

    // 15 significant digits: "d.dddddddddddddde+XXX".
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p))
            digits.push_back(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // Digit i weighs 10^(exponent - i); keep the digits down to tenths (i <= exponent + 1)
    // and round on the hundredths digit.
    const int keep = exponent + 2;
    std::string tenths; // |value| * 10, as decimal digits
    for (int i = 0; i < keep; ++i)
        tenths.push_back(i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)]
                                                             : '0');
    const bool roundUp = keep >= 0 && keep < static_cast<int>(digits.size()) &&
                         digits[static_cast<std::size_t>(keep)] >= '5';
    if (roundUp) {
        int i = static_cast<int>(tenths.size()) - 1;
        for (; i >= 0 && tenths[static_cast<std::size_t>(i)] == '9'; --i)
            tenths[static_cast<std::size_t>(i)] = '0';
        if (i >= 0)
            ++tenths[static_cast<std::size_t>(i)];
        else
            tenths.insert(0, 1, '1');
    }
    while (tenths.size() < 2)
        tenths.insert(0, 1, '0');
    const bool isZero = tenths.find_first_not_of('0') == std::string::npos;

    std::string text;
    if (value < 0 && !isZero)
        text.push_back('-');
    text.append(tenths, 0, tenths.size() - 1);
    text.push_back(sep);
    text.push_back(tenths.back());
    return PadLeft(std::move(text), width);
}

double ParseTotal(std::string_view text, char sep) {
    const std::optional<double> value = TryParseTotal(text, sep);
    if (!value)
        throw RezError(MsgNotAFloat(text));
    return *value;
}

std::optional<double> TryParseTotal(std::string_view text, char sep) {
    const auto fail = []() -> std::optional<double> { return std::nullopt; };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t intStart = i;
    while (i < n && IsDigit(text[i]))
        ++i;
    const std::string_view intDigits = text.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < n && text[i] == sep) {
        const std::size_t fracStart = ++i;
        while (i < n && IsDigit(text[i]))
            ++i;
        fracDigits = text.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return fail();
    // Exponent, saturated far beyond any double's range.
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        const std::size_t expStart = i;
        while (i < n && IsDigit(text[i])) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (i == expStart)
            return fail();
        if (expNegative)
            exponent = -exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return fail();

    // Decimal exponent of the leading non-zero digit decides overflow against underflow.
    const std::size_t firstInt = intDigits.find_first_not_of('0');
    const std::size_t firstFrac = fracDigits.find_first_not_of('0');
    if (firstInt == std::string_view::npos && firstFrac == std::string_view::npos)
        return negative ? -0.0 : 0.0;
    const long long magnitude =
        exponent + (firstInt != std::string_view::npos
                        ? static_cast<long long>(intDigits.size() - firstInt) - 1
                        : -static_cast<long long>(firstFrac) - 1);
    if (magnitude > std::numeric_limits<double>::max_exponent10)
        return fail();
    if (magnitude < std::numeric_limits<double>::min_exponent10 - 30)
        return negative ? -0.0 : 0.0;

    // Canonical C text for from_chars, which ignores the C locale.
    std::string canonical;
    canonical.reserve(intDigits.size() + fracDigits.size() + 24);
    canonical.append(intDigits.empty() ? std::string_view("0") : intDigits);
    canonical.push_back('.');
    canonical.append(fracDigits.empty() ? std::string_view("0") : fracDigits);
    canonical.push_back('e');
    canonical.append(std::to_string(exponent));
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude > 0)
            return fail();
        value = 0.0;
    } else if (ec != std::errc() || end != canonical.data() + canonical.size()) {
        return fail();
    }
    if (!std::isfinite(value))
        return fail();
    return negative ? -value : value;
}

} // namespace rez

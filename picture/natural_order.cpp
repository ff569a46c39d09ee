#include "picture/natural_order.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>

#include <locale.h>
#include <wctype.h>

namespace natural_order {

namespace {

// A text as a sequence to compare element by element: a character is its lower case plus one ("/" is
// 0); a run of digits is the element of "0", then its length without leading zeros, then those digits,
// so that a longer number is larger and numbers of one length compare digit by digit.
using Key = std::vector<uint64_t>;

constexpr uint64_t kNumberMark = uint64_t('0') + 1;
constexpr uint64_t kLengthBase = 0x110000;  // above every code point

// The case mapping of C.UTF-8, whatever locale the process runs in; ASCII only where that is missing.
wint_t Lower(wint_t c) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (unicode)
        return towlower_l(c, unicode);
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

bool IsDigit(wxUniChar c) { return c >= '0' && c <= '9'; }

Key MakeKey(const wxString& text) {
    Key key;
    key.reserve(text.length() + 2);
    for (auto it = text.begin(); it != text.end();) {
        const wxUniChar c = *it;
        if (!IsDigit(c)) {
            key.push_back(c == '/' ? 0 : uint64_t(Lower(wint_t(c.GetValue()))) + 1);
            ++it;
            continue;
        }
        while (it != text.end() && *it == '0')
            ++it;
        const auto digits = it;
        while (it != text.end() && IsDigit(*it))
            ++it;
        key.push_back(kNumberMark);
        key.push_back(kLengthBase + uint64_t(std::distance(digits, it)));
        for (auto d = digits; d != it; ++d)
            key.push_back(uint64_t((*d).GetValue()));
    }
    return key;
}

bool KeyLess(const Key& keyA, const wxString& a, const Key& keyB, const wxString& b) {
    if (keyA != keyB)
        return keyA < keyB;
    return a.compare(b) < 0;
}

template <typename Texts>
void SortTexts(Texts& texts) {
    std::vector<Key> keys;
    keys.reserve(texts.size());
    for (const wxString& text : texts)
        keys.push_back(MakeKey(text));
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(),
              [&](size_t i, size_t j) { return KeyLess(keys[i], texts[i], keys[j], texts[j]); });
    Texts sorted;
    sorted.reserve(texts.size());
    for (size_t i : order)
        sorted.push_back(texts[i]);
    texts.swap(sorted);
}

}  // namespace

bool Less(const wxString& a, const wxString& b) { return KeyLess(MakeKey(a), a, MakeKey(b), b); }

void Sort(std::vector<wxString>& texts) { SortTexts(texts); }

void Sort(wxArrayString& texts) { SortTexts(texts); }

}  // namespace natural_order

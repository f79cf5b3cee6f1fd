#include "html_text.h"

namespace provider {

namespace {

struct NamedReference {
    const char32_t *name;
    char32_t value;
};
const NamedReference kReferences[] = {
    {U"amp", U'&'},      {U"lt", U'<'},       {U"gt", U'>'},      {U"quot", U'"'},
    {U"apos", U'\''},    {U"nbsp", 0xA0},     {U"copy", 0xA9},    {U"reg", 0xAE},
    {U"euro", 0x20AC},   {U"auml", 0xE4},     {U"ouml", 0xF6},    {U"uuml", 0xFC},
    {U"Auml", 0xC4},     {U"Ouml", 0xD6},     {U"Uuml", 0xDC},    {U"szlig", 0xDF},
    {U"eacute", 0xE9},   {U"egrave", 0xE8},   {U"agrave", 0xE0},  {U"ccedil", 0xE7},
    {U"mdash", 0x2014},  {U"ndash", 0x2013},  {U"hellip", 0x2026}, {U"laquo", 0xAB},
    {U"raquo", 0xBB},    {U"rsquo", 0x2019},  {U"lsquo", 0x2018}, {U"rdquo", 0x201D},
    {U"ldquo", 0x201C},
};

// Tags whose end starts a new line.
const char32_t *const kBlockTags[] = {U"p", U"div", U"br", U"tr", U"li", U"h1", U"h2", U"h3",
                                      U"h4", U"h5", U"h6", U"table", U"ul", U"ol", U"blockquote",
                                      U"pre", U"hr"};
// Tags whose content is not text.
const char32_t *const kHiddenTags[] = {U"script", U"style", U"head", U"title"};

bool is_space(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == 0x0C; }

char32_t lower(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; }

std::u32string tag_name(const std::u32string &html, std::size_t start, bool &closing)
{
    std::size_t i = start;
    closing = i < html.size() && html[i] == U'/';
    if (closing) ++i;
    std::u32string name;
    while (i < html.size() && !is_space(html[i]) && html[i] != U'>' && html[i] != U'/') {
        name += lower(html[i]);
        ++i;
    }
    return name;
}

bool listed(const std::u32string &name, const char32_t *const *names, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        if (name == names[k]) return true;
    }
    return false;
}

// A character reference starting at html[i] == '&'; i moves past it.
char32_t reference(const std::u32string &html, std::size_t &i)
{
    std::size_t end = html.find(U';', i);
    const std::size_t kLongestReference = 10;
    if (end == std::u32string::npos || end - i > kLongestReference) {
        ++i;
        return U'&';
    }
    std::u32string body = html.substr(i + 1, end - i - 1);
    char32_t value = 0;
    if (!body.empty() && body[0] == U'#') {
        bool hex = body.size() > 1 && (body[1] == U'x' || body[1] == U'X');
        for (std::size_t k = hex ? 2 : 1; k < body.size(); ++k) {
            char32_t c = body[k];
            int digit = c >= U'0' && c <= U'9' ? static_cast<int>(c - U'0')
                        : hex && lower(c) >= U'a' && lower(c) <= U'f' ? static_cast<int>(lower(c) - U'a' + 10)
                                                                      : -1;
            if (digit < 0 || value > 0x10FFFF) {
                value = 0;
                break;
            }
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
    } else {
        for (const NamedReference &named : kReferences) {
            if (body == named.name) value = named.value;
        }
    }
    if (value == 0 || value > 0x10FFFF) {
        ++i;
        return U'&';
    }
    i = end + 1;
    return value == 0xA0 ? U' ' : value;
}

} // namespace

std::u32string html_to_text(const std::u32string &html)
{
    std::u32string lowered;
    lowered.reserve(html.size());
    for (char32_t c : html) {
        lowered += lower(c);
    }
    std::u32string text;
    bool pending_space = false;
    std::size_t i = 0;
    auto new_line = [&]() {
        while (!text.empty() && text.back() == U' ') text.pop_back();
        if (!text.empty() && text.back() != U'\n') text += U'\n';
        pending_space = false;
    };
    while (i < html.size()) {
        char32_t c = html[i];
        if (c == U'<') {
            if (html.compare(i, 4, U"<!--") == 0) {
                std::size_t end = html.find(U"-->", i + 4);
                i = end == std::u32string::npos ? html.size() : end + 3;
                continue;
            }
            bool closing = false;
            std::u32string name = tag_name(html, i + 1, closing);
            std::size_t end = html.find(U'>', i);
            i = end == std::u32string::npos ? html.size() : end + 1;
            if (!closing && listed(name, kHiddenTags, sizeof kHiddenTags / sizeof kHiddenTags[0])) {
                // Raw content up to the closing tag, whatever it holds.
                std::size_t close = lowered.find(U"</" + name, i);
                std::size_t close_end = close == std::u32string::npos ? close : html.find(U'>', close);
                i = close_end == std::u32string::npos ? html.size() : close_end + 1;
                continue;
            }
            if (listed(name, kBlockTags, sizeof kBlockTags / sizeof kBlockTags[0])) {
                if (name == U"br") {
                    while (!text.empty() && text.back() == U' ') text.pop_back();
                    text += U'\n';
                    pending_space = false;
                } else {
                    new_line();
                }
            }
            continue;
        }
        if (is_space(c)) {
            pending_space = !text.empty() && text.back() != U'\n';
            ++i;
            continue;
        }
        if (pending_space) {
            text += U' ';
            pending_space = false;
        }
        if (c == U'&') {
            text += reference(html, i);
        } else {
            text += c;
            ++i;
        }
    }
    while (!text.empty() && (text.back() == U' ' || text.back() == U'\n')) text.pop_back();
    return text;
}

} // namespace provider

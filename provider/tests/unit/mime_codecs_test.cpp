// Base64, quoted-printable and encoded words, both ways.
#include <gtest/gtest.h>

#include "charsets.h"
#include "mime_codecs.h"

namespace provider {
namespace {

std::string sample_bytes(std::size_t size)
{
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

TEST(Base64, RoundTripsEverySizeAroundTheLineLength)
{
    for (std::size_t size : {0u, 1u, 2u, 3u, 56u, 57u, 58u, 114u, 1000u, 100000u}) {
        std::string bytes = sample_bytes(size);
        std::string encoded = base64_encode_lines(bytes);
        EXPECT_EQ(base64_decode(encoded), bytes) << size;
        std::size_t start = 0;
        for (std::size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2) {
            EXPECT_LE(end - start, kBase64LineLength) << size;
        }
        EXPECT_EQ(start, encoded.size()) << "every line ends in CR LF";
    }
}

TEST(Base64, DecodesKnownTextAndSkipsNoise)
{
    EXPECT_EQ(base64_encode("Man"), "TWFu");
    EXPECT_EQ(base64_encode("Ma"), "TWE=");
    EXPECT_EQ(base64_decode("TW\r\nF u!*"), "Man");
    EXPECT_EQ(base64_decode("TWE="), "Ma");
    EXPECT_EQ(base64_decode("TWE=garbage after padding"), "Ma");
    EXPECT_EQ(base64_decode(""), "");
    EXPECT_EQ(base64_decode("@@@@"), "");
}

struct QpCase {
    const char *label;
    std::string text;
};

class QuotedPrintable : public ::testing::TestWithParam<QpCase> {};

TEST_P(QuotedPrintable, RoundTripsWithShortLines)
{
    const std::string &text = GetParam().text;
    std::string encoded = quoted_printable_encode(text);
    std::string decoded = quoted_printable_decode(encoded);
    std::string lf;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n') continue;
        lf += decoded[i];
    }
    EXPECT_EQ(lf, text) << GetParam().label;
    std::size_t start = 0;
    for (std::size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, kQuotedPrintableLineLength) << GetParam().label;
        EXPECT_NE(encoded[end - 1 + (end == start)], ' ') << GetParam().label << ": a blank ends a line";
    }
    for (char c : encoded) {
        EXPECT_TRUE(static_cast<unsigned char>(c) < 128) << GetParam().label;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, QuotedPrintable,
                         ::testing::Values(QpCase{"empty", ""}, QpCase{"plain", "hello world\n"},
                                           QpCase{"long line", std::string(300, 'x') + "\nshort\n"},
                                           QpCase{"trailing blanks", "a \nb\t\nc  "},
                                           QpCase{"equals signs", "a=b ==\n="},
                                           QpCase{"eight bit", "caf\xC3\xA9 \xFF\x80\n"},
                                           QpCase{"dot and From", ".\nFrom here\n..\n"},
                                           QpCase{"controls", std::string("nul\0x\x01\x7f", 8)},
                                           QpCase{"long encoded", std::string(200, '\xE9')}));

TEST(QuotedPrintableDecode, KeepsWhatIsMalformed)
{
    EXPECT_EQ(quoted_printable_decode("a=3Db"), "a=b");
    EXPECT_EQ(quoted_printable_decode("a=3db"), "a=b");
    EXPECT_EQ(quoted_printable_decode("bad =ZZ and =4"), "bad =ZZ and =4");
    EXPECT_EQ(quoted_printable_decode("soft=\r\nbreak"), "softbreak");
    EXPECT_EQ(quoted_printable_decode("soft=\nbreak"), "softbreak");
    EXPECT_EQ(quoted_printable_decode("line   \r\nnext"), "line\r\nnext");
    EXPECT_EQ(quoted_printable_decode("ends with ="), "ends with ");
}

struct WordCase {
    const char *encoded;
    const char *host;
};

class HeaderWords : public ::testing::TestWithParam<WordCase> {};

TEST_P(HeaderWords, DecodeToHostText)
{
    EXPECT_EQ(decode_header_text(GetParam().encoded), GetParam().host) << GetParam().encoded;
}

INSTANTIATE_TEST_SUITE_P(
    Words, HeaderWords,
    ::testing::Values(WordCase{"plain text", "plain text"}, WordCase{"=?UTF-8?B?w6k=?=", "\xE9"},
                      WordCase{"=?utf-8?q?caf=C3=A9_au_lait?=", "caf\xE9 au lait"},
                      WordCase{"=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b?=", "ab"},
                      WordCase{"=?ISO-8859-1?Q?a?=  \t =?UTF-8?Q?b?= c", "ab c"},
                      WordCase{"x =?ISO-8859-1?Q?a?= y", "x a y"},
                      // A character split across two words of one charset.
                      WordCase{"=?UTF-8?B?ww==?= =?UTF-8?B?qQ==?=", "\xE9"},
                      WordCase{"=?UTF-8*en?Q?lang?=", "lang"},
                      WordCase{"=?utf-8?Q?no end", "=?utf-8?Q?no end"},
                      WordCase{"raw utf-8 \xC3\xBC", "raw utf-8 \xFC"}, WordCase{"raw latin \xFC", "raw latin \xFC"},
                      WordCase{"=?windows-1252?Q?=80?=", "\x80"},
                      WordCase{"=?UTF-8?B?8J+TiA==?=", "?"}));

TEST(HeaderWordsEncode, RoundTripsInWordsOfAtMost75)
{
    for (std::size_t length : {0u, 1u, 20u, 45u, 46u, 200u}) {
        std::string utf8;
        for (std::size_t i = 0; i < length; ++i) utf8 += i % 3 == 0 ? "\xC3\xA9" : "\xE2\x82\xAC";
        std::string encoded = encode_header_words(utf8, 60);
        std::size_t start = 0;
        for (std::size_t end = 0; end != std::string::npos; start = end + 3) {
            end = encoded.find("\r\n ", start);
            std::string word = encoded.substr(start, end == std::string::npos ? std::string::npos : end - start);
            EXPECT_LE(word.size(), 75u) << length;
        }
        EXPECT_EQ(encode_utf8(decode_utf8(utf8)), utf8);
        std::string unfolded;
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            if (encoded.compare(i, 3, "\r\n ") == 0) {
                unfolded += ' ';
                i += 2;
            } else {
                unfolded += encoded[i];
            }
        }
        EXPECT_EQ(decode_header_text(unfolded), encode_windows_1252(decode_utf8(utf8))) << length;
    }
}

} // namespace
} // namespace provider

#include "http/RequestParser.hpp"

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace http {
namespace {

using namespace std::string_literals;

enum class Outcome { good, bad, more };

Outcome outcomeOf(ParseResult result)
{
    if (result) {
        return Outcome::good;
    }
    return !result ? Outcome::bad : Outcome::more;
}

// What one way of feeding the input produced: the outcome, how many bytes were consumed
// up to the deciding byte, and the request as filled.
struct Parsed {
    Outcome outcome;
    std::size_t consumed;
    Request request;
};

Parsed parseWhole(const std::string& input)
{
    RequestParser parser;
    Request request;
    const auto [result, position] = parser.parse(request, input.begin(), input.end());
    return {outcomeOf(result), static_cast<std::size_t>(position - input.begin()), request};
}

// Feeds the input in pieces that end at the given positions, stopping once decided.
Parsed parseInPieces(const std::string& input, const std::vector<std::size_t>& cuts)
{
    RequestParser parser;
    Request request;
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        const auto [result, position] =
            parser.parse(request, input.begin() + start, input.begin() + cut);
        if (!boost::logic::indeterminate(result)) {
            return {outcomeOf(result), static_cast<std::size_t>(position - input.begin()), request};
        }
        start = cut;
    }
    return {Outcome::more, input.size(), request};
}

Parsed parseBytewise(const std::string& input)
{
    std::vector<std::size_t> cuts;
    for (std::size_t end = 1; end <= input.size(); ++end) {
        cuts.push_back(end);
    }
    return parseInPieces(input, cuts);
}

void expectSame(const Parsed& actual, const Parsed& expected, const std::string& how)
{
    EXPECT_EQ(actual.outcome, expected.outcome) << how;
    EXPECT_EQ(actual.consumed, expected.consumed) << how;
    EXPECT_EQ(actual.request, expected.request) << how;
}

struct ParseCase {
    const char* name;
    std::string input;
    Outcome outcome;
    // Bytes consumed when the result was decided (the whole input when undecided).
    std::size_t consumed;
    // Checked only for good heads.
    Request request;
};

const std::string getLine = "GET / HTTP/1.0\r\n";

Request get(std::vector<Header> headers = {})
{
    return Request{"GET", "/", 1, 0, std::move(headers)};
}

const std::vector<ParseCase> cases = {
    {"minimal head", getLine + "\r\n", Outcome::good, 18, get()},
    {"bytes after the final LF are not examined", getLine + "\r\n\x01junk", Outcome::good, 18,
     get()},
    {"lower-case method is kept", "get / HTTP/1.0\r\n\r\n", Outcome::good, 18,
     Request{"get", "/", 1, 0, {}}},
    {"lower-case protocol name", "get / http/1.0\r\n\r\n", Outcome::bad, 7, {}},
    {"second space inside the URI", "GET /a b HTTP/1.0\r\n\r\n", Outcome::bad, 8, {}},
    {"two spaces after the method", "GET  / HTTP/1.0\r\n\r\n", Outcome::good, 19,
     Request{"GET", " /", 1, 0, {}}},
    {"bare LF ends the request line", "GET / HTTP/1.0\n", Outcome::bad, 15, {}},
    {"bare LF ends a header line", getLine + "A: 1\n", Outcome::bad, 21, {}},
    {"bare LF ends the head", getLine + "\n", Outcome::bad, 17, {}},
    {"minor version missing", "GET / HTTP/1.\r\n", Outcome::bad, 14, {}},
    {"major version missing", "GET / HTTP/.0\r\n", Outcome::bad, 12, {}},
    {"several version digits", "GET / HTTP/12.34\r\n\r\n", Outcome::good, 20,
     Request{"GET", "/", 12, 34, {}}},
    {"version digits wrap modulo 2^32", "GET / HTTP/4294967297.2147483648\r\n\r\n", Outcome::good,
     36, Request{"GET", "/", 1, std::numeric_limits<std::int32_t>::min(), {}}},
    {"no space after the colon", getLine + "Host:x\r\n\r\n", Outcome::bad, 22, {}},
    {"second space starts the value", getLine + "Host:  x\r\n\r\n", Outcome::good, 28,
     get({{"Host", " x"}})},
    {"empty header value", getLine + "A: \r\n\r\n", Outcome::good, 23, get({{"A", ""}})},
    {"headers kept in order with duplicates", getLine + "B: 1\r\nA: 2\r\nB: 3\r\n\r\n",
     Outcome::good, 36, get({{"B", "1"}, {"A", "2"}, {"B", "3"}})},
    {"continuation appended without separator", getLine + "A: 1\r\n  2\r\n\r\n", Outcome::good, 29,
     get({{"A", "12"}})},
    {"tab-led continuation", getLine + "A: 1\r\n\t \t2 3\r\n\r\n", Outcome::good, 32,
     get({{"A", "12 3"}})},
    {"blank continuation line", getLine + "A: 1\r\n \r\n\r\n", Outcome::good, 27,
     get({{"A", "1"}})},
    {"continuation before any header", getLine + " x\r\n", Outcome::bad, 17, {}},
    {"slash in a header name", getLine + "A/B: 1\r\n", Outcome::bad, 18, {}},
    {"high byte in a header name", getLine + "A\x80: 1\r\n", Outcome::bad, 18, {}},
    {"slash and high byte in a value", getLine + "A: /\xC3\xA9\r\n\r\n", Outcome::good, 26,
     get({{"A", "/\xC3\xA9"}})},
    {"tab inside a value", getLine + "A: 1\t2\r\n", Outcome::bad, 21, {}},
    {"tab inside the URI", "GET /a\tb HTTP/1.0\r\n", Outcome::bad, 7, {}},
    {"high bytes in the URI", "GET /\xC3\xA9?x=1 HTTP/1.0\r\n\r\n", Outcome::good, 24,
     Request{"GET", "/\xC3\xA9?x=1", 1, 0, {}}},
    {"separator in the method", "G(ET / HTTP/1.0\r\n\r\n", Outcome::bad, 2, {}},
    {"NUL in the URI", "GET /\0 HTTP/1.0\r\n\r\n"s, Outcome::bad, 6, {}},
    {"CR where the head's LF belongs", getLine + "\r\r", Outcome::bad, 18, {}},
    {"empty input", "", Outcome::more, 0, {}},
    {"request line only", getLine, Outcome::more, 16, {}},
    {"header without its final line", getLine + "A: 1\r\n", Outcome::more, 22, {}},
};

TEST(RequestParser, EveryWayOfFeedingGivesTheSameResultAtTheSameByte)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto whole = parseWhole(c.input);
        EXPECT_EQ(whole.outcome, c.outcome);
        EXPECT_EQ(whole.consumed, c.consumed);
        if (c.outcome == Outcome::good) {
            EXPECT_EQ(whole.request, c.request);
        }
        expectSame(parseBytewise(c.input), whole, "one byte per call");
        for (std::size_t split = 0; split <= c.input.size(); ++split) {
            expectSame(parseInPieces(c.input, {split, c.input.size()}), whole,
                       "split at " + std::to_string(split));
        }
    }
}

TEST(RequestParser, HeadIsBoundedAsAWhole)
{
    const std::string prefix = getLine + "X: ";
    const std::string suffix = "\r\n\r\n";
    const auto headOfSize = [&](std::size_t size) {
        return prefix + std::string(size - prefix.size() - suffix.size(), 'v') + suffix;
    };

    const auto largest = parseWhole(headOfSize(RequestParser::maxHeadSize));
    EXPECT_EQ(largest.outcome, Outcome::good);
    EXPECT_EQ(largest.consumed, RequestParser::maxHeadSize);

    const auto tooLarge = parseWhole(headOfSize(RequestParser::maxHeadSize + 1));
    EXPECT_EQ(tooLarge.outcome, Outcome::bad);
    EXPECT_EQ(tooLarge.consumed, RequestParser::maxHeadSize + 1);

    const std::string endlessUri = "GET /" + std::string(RequestParser::maxHeadSize, 'a');
    const auto endless = parseBytewise(endlessUri);
    EXPECT_EQ(endless.outcome, Outcome::bad);
    EXPECT_EQ(endless.consumed, RequestParser::maxHeadSize + 1);
}

} // namespace
} // namespace http

#include "http/RequestParser.hpp"

#include <cstdint>
#include <string_view>

namespace http {
namespace {

constexpr unsigned char cr = 0x0D;
constexpr unsigned char lf = 0x0A;
constexpr unsigned char sp = 0x20;
constexpr unsigned char ht = 0x09;

bool isChar(unsigned char c)
{
    return c <= 127;
}

bool isCtl(unsigned char c)
{
    return c <= 31 || c == 127;
}

// The separators of RFC 2616 section 2.2.
bool isTspecial(unsigned char c)
{
    constexpr std::string_view separators = "()<>@,;:\\\"/[]?={} \t";
    return separators.find(static_cast<char>(c)) != std::string_view::npos;
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isToken(unsigned char c)
{
    return isChar(c) && !isCtl(c) && !isTspecial(c);
}

bool isBlank(unsigned char c)
{
    return c == sp || c == ht;
}

// Nothing reads the version, so its digits wrap modulo 2^32 instead of being limited.
void appendDigit(std::int32_t& number, unsigned char digit)
{
    const auto wrapped = static_cast<std::uint32_t>(number) * 10U + (digit - '0');
    number = static_cast<std::int32_t>(wrapped);
}

} // namespace

ParseResult RequestParser::consume(Request& request, char input)
{
    if (++headSize > maxHeadSize) {
        return false;
    }
    return transition(request, static_cast<unsigned char>(input));
}

ParseResult RequestParser::transition(Request& request, unsigned char input)
{
    const auto move = [this](State next) {
        state = next;
        return ParseResult(boost::logic::indeterminate);
    };
    const char byte = static_cast<char>(input);

    switch (state) {
    case State::methodFirst:
        if (isToken(input)) {
            request.method += byte;
            return move(State::methodRest);
        }
        break;
    case State::methodRest:
        if (input == sp) {
            return move(State::uriFirst);
        }
        if (isToken(input)) {
            request.method += byte;
            return move(State::methodRest);
        }
        break;
    case State::uriFirst:
        if (!isCtl(input)) {
            request.uri += byte;
            return move(State::uriRest);
        }
        break;
    case State::uriRest:
        if (input == sp) {
            return move(State::versionH);
        }
        if (!isCtl(input)) {
            request.uri += byte;
            return move(State::uriRest);
        }
        break;
    case State::versionH:
        if (input == 'H') {
            return move(State::versionT1);
        }
        break;
    case State::versionT1:
        if (input == 'T') {
            return move(State::versionT2);
        }
        break;
    case State::versionT2:
        if (input == 'T') {
            return move(State::versionP);
        }
        break;
    case State::versionP:
        if (input == 'P') {
            return move(State::versionSlash);
        }
        break;
    case State::versionSlash:
        if (input == '/') {
            request.versionMajor = 0;
            request.versionMinor = 0;
            return move(State::majorFirst);
        }
        break;
    case State::majorFirst:
        if (isDigit(input)) {
            appendDigit(request.versionMajor, input);
            return move(State::majorRest);
        }
        break;
    case State::majorRest:
        if (input == '.') {
            return move(State::minorFirst);
        }
        if (isDigit(input)) {
            appendDigit(request.versionMajor, input);
            return move(State::majorRest);
        }
        break;
    case State::minorFirst:
        if (isDigit(input)) {
            appendDigit(request.versionMinor, input);
            return move(State::minorRest);
        }
        break;
    case State::minorRest:
        if (input == cr) {
            return move(State::requestLineLf);
        }
        if (isDigit(input)) {
            appendDigit(request.versionMinor, input);
            return move(State::minorRest);
        }
        break;
    case State::requestLineLf:
        if (input == lf) {
            return move(State::lineStart);
        }
        break;
    case State::lineStart:
        if (input == cr) {
            return move(State::finalLf);
        }
        if (isBlank(input) && !request.headers.empty()) {
            return move(State::continuation);
        }
        if (isToken(input)) {
            request.headers.push_back(Header{std::string(1, byte), std::string()});
            return move(State::headerName);
        }
        break;
    case State::continuation:
        if (input == cr) {
            return move(State::headerLineLf);
        }
        if (isBlank(input)) {
            return move(State::continuation);
        }
        if (!isCtl(input)) {
            request.headers.back().value += byte;
            return move(State::headerValue);
        }
        break;
    case State::headerName:
        if (input == ':') {
            return move(State::afterColon);
        }
        if (isToken(input)) {
            request.headers.back().name += byte;
            return move(State::headerName);
        }
        break;
    case State::afterColon:
        if (input == sp) {
            return move(State::headerValue);
        }
        break;
    case State::headerValue:
        if (input == cr) {
            return move(State::headerLineLf);
        }
        if (!isCtl(input)) {
            request.headers.back().value += byte;
            return move(State::headerValue);
        }
        break;
    case State::headerLineLf:
        if (input == lf) {
            return move(State::lineStart);
        }
        break;
    case State::finalLf:
        if (input == lf) {
            return true;
        }
        break;
    }
    return false;
}

} // namespace http

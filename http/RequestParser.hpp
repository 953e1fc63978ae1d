#pragma once

#include "http/Request.hpp"

#include <cstddef>
#include <utility>

#include <boost/logic/tribool.hpp>

namespace http {

// good: a complete request head; bad: malformed input; indeterminate: more bytes needed.
using ParseResult = boost::logic::tribool;

// Reads one request head, byte by byte, so that it may arrive split across any number of
// reads. One parser serves one request head; it is never reset.
class RequestParser {
public:
    // The most bytes a request head may take, request line and header lines together.
    // Without a bound a client could make the server hold an ever-growing request.
    static constexpr std::size_t maxHeadSize = 64 * 1024;

    // One transition of the state machine for one input byte.
    ParseResult consume(Request& request, char input);

    // Feeds the range to consume until a byte decides the result. Returns that result and
    // the position just after the deciding byte, or indeterminate and the end of the range.
    template <typename InputIterator>
    std::pair<ParseResult, InputIterator> parse(Request& request, InputIterator begin,
                                                InputIterator end)
    {
        while (begin != end) {
            const ParseResult result = consume(request, *begin++);
            if (!boost::logic::indeterminate(result)) {
                return {result, begin};
            }
        }
        return {boost::logic::indeterminate, end};
    }

private:
    enum class State {
        methodFirst,
        methodRest,
        uriFirst,
        uriRest,
        versionH,
        versionT1,
        versionT2,
        versionP,
        versionSlash,
        majorFirst,
        majorRest,
        minorFirst,
        minorRest,
        requestLineLf,
        lineStart,
        continuation,
        headerName,
        afterColon,
        headerValue,
        headerLineLf,
        finalLf,
    };

    ParseResult transition(Request& request, unsigned char input);

    State state = State::methodFirst;
    std::size_t headSize = 0;
};

} // namespace http
